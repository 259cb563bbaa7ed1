#pragma once
// The main window's watch on the clipboard: while it is installed, every new
// clipboard text goes to the main window's ClipEvent.

#include <QString>

class QWidget;

// 1 installs the watch, any other value removes it; each is idempotent.
void ClipHook(int mode);
bool ClipHookInstalled();
// One clipboard change; a change that arrives while the previous one is still
// being handled is not handed on again.
void ClipProc(const QString &text);
// Brings a window to the front and gives it the keyboard.
void SetFront(QWidget *window);
