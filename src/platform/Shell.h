#pragma once
// Handing things to the desktop: opening an address or a file with the
// application registered for it, and shortcut files (freedesktop entries).
// Nothing here waits for the application it starts.

#include "platform/Replaceable.h"

#include <QString>
#include <QUrl>

namespace Shell {

// False when no application could be started for it.
bool open(const QUrl &url);

// Writes a link entry (to an address or file) or an application entry (to a
// program), replacing one of the same name. False when it cannot be saved.
bool writeLink(const QString &entryPath, const QString &target);
// Values are escaped as entries require; a value holding a line break is
// refused, never written.
bool writeApplication(const QString &entryPath, const QString &program, const QString &name);

// The send-to places: an executable script for GNOME's file manager, which
// runs what lies in its scripts folder, and a service menu entry for KDE's.
bool writeFileManagerScript(const QString &scriptPath, const QString &program);
bool writeServiceMenu(const QString &entryPath, const QString &program, const QString &name);

// Tests see what would be opened instead of starting applications.
using Seam = Replaceable<bool(const QUrl &), struct ShellOpenTag>;
using Override = Seam::Override;

}  // namespace Shell
