#pragma once
// The browser engine's sandbox cannot run for root, and its GPU process
// fails without a GPU (as under Xvfb). Only in those cases are the two
// turned off, and the program says so on the terminal.

#include <QString>

namespace WebEngineEnvironment {

// Applies what needed() says for this process, before the application object
// exists; returns the one line it printed, or "" when nothing was changed.
QString prepare();

}  // namespace WebEngineEnvironment
