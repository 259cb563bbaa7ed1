#pragma once
// Process-wide state and the ways in and out of the program: the entry
// point, the shared file-system helper and the one way of closing.

#include <QString>
#include <QStringList>

#include <memory>
#include <optional>

class FileSystem;
class fmMain;
class yIni;

extern QString sExeName;                   // the program's base name
extern bool bRunning;                      // the main window is up
extern std::unique_ptr<FileSystem> oFso;   // created by FsoInit on first need

extern std::unique_ptr<yIni> oIni;        // created on first use, released by UnloadAll

void FsoInit();
yIni &Ini();
// The one main window, created and loaded on first use.
fmMain &MainForm();
// True when the main window exists (without creating it).
bool MainFormLoaded();
// Called by the main window as it loads: it is the one from now on.
void MainFormLoading(fmMain *form);
// Closes every window and releases the shared objects; safe to call again.
void UnloadAll();

// Entry point after the application object exists. arguments: everything
// after the program's name. Returns the exit code, or nothing when the
// program goes on living on its event loop (window mode).
std::optional<int> Main(const QStringList &arguments);
