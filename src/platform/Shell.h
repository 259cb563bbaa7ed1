#pragma once
// Handing things to the desktop: opening an address or a file with the
// application registered for it, and shortcut files (freedesktop entries).
// Nothing here waits for the application it starts.

#include "platform/Replaceable.h"

#include <QString>
#include <QUrl>

namespace Shell {

void open(const QUrl &url);

// Writes a link entry (to an address or file) or an application entry (to a
// program), replacing one of the same name. False when it cannot be saved.
bool writeLink(const QString &entryPath, const QString &target);
bool writeApplication(const QString &entryPath, const QString &program, const QString &name);

// Tests see what would be opened instead of starting applications.
using Seam = Replaceable<void(const QUrl &), struct ShellOpenTag>;
using Override = Seam::Override;

}  // namespace Shell
