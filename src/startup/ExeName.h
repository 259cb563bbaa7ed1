#pragma once

#include <QString>

// The program's base name from its executable's path: the file name without
// the Windows ".exe", and without a trailing "_dv" in any letter case (the
// developer build answers to the same folders and files as the release).
QString exeBaseName(const QString &executablePath);
