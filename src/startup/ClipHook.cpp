#include "startup/ClipHook.h"

#include "mainwindow/fmMain.h"
#include "platform/ClipboardWatch.h"
#include "startup/Usr.h"

#include <QWidget>

#include <memory>

namespace {
std::unique_ptr<ClipboardWatch> watch;
bool bInClip = false;
}  // namespace

void ClipHook(int mode)
{
    if (mode == 1) {
        if (!watch)
            watch = std::make_unique<ClipboardWatch>(&ClipProc);
        watch->start();
    } else if (watch) {
        watch->stop();
    }
}

bool ClipHookInstalled()
{
    return watch && watch->active();
}

void ClipProc(const QString &text)
{
    if (bInClip || !MainFormLoaded())
        return;
    bInClip = true;
    MainForm().ClipEvent(text);
    bInClip = false;
}

void SetFront(QWidget *window)
{
    window->raise();
    window->activateWindow();
}
