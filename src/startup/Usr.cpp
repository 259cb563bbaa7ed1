#include "startup/Usr.h"

#include "mainwindow/fmMain.h"
#include "platform/BusyPointer.h"
#include "platform/FileSystem.h"
#include "platform/MessageBox.h"
#include "settings/yIni.h"
#include "startup/ClipHook.h"
#include "startup/ExeName.h"
#include "startup/RequestExchange.h"

#include <QApplication>
#include <QPointer>

QString sExeName;
bool bRunning = false;
std::unique_ptr<FileSystem> oFso;
std::unique_ptr<yIni> oIni;

namespace {
// The window made on first use is owned here: it lives until UnloadAll.
std::unique_ptr<fmMain> ownedForm;
// The main window that is loaded, whoever made it.
QPointer<fmMain> loadedForm;
bool unloading = false;
}  // namespace

void MainFormLoading(fmMain *form)
{
    loadedForm = form;
}

void FsoInit()
{
    if (!oFso)
        oFso = std::make_unique<FileSystem>();
}

yIni &Ini()
{
    if (!oIni)
        oIni = std::make_unique<yIni>();
    return *oIni;
}

fmMain &MainForm()
{
    if (!loadedForm)
        ownedForm = std::make_unique<fmMain>();
    return *loadedForm;
}

bool MainFormLoaded()
{
    return !loadedForm.isNull();
}

void UnloadAll()
{
    // Closing the main window runs its own closing, which calls back here.
    if (unloading)
        return;
    unloading = true;
    // Released first: a window closing from here finds a fresh store with no
    // file loaded, so a request dialog's end does not store its position.
    oIni.reset();
    ClipHook(0);
    const QList<QWidget *> windows = QApplication::topLevelWidgets();
    for (const QPointer<QWidget> w : windows) {
        if (w && (w->isVisible() || w == loadedForm))
            w->close();
    }
    loadedForm = nullptr;
    // Deleted once control is back in the event loop: this may run inside
    // the window's own close handling.
    if (ownedForm)
        ownedForm.release()->deleteLater();
    unloading = false;
}

std::optional<int> Main(const QStringList &arguments)
{
    BusyPointer::setBusy();
    sExeName = exeBaseName(QCoreApplication::applicationFilePath());
    const QString path = RequestExchange::requestPath(arguments);

    FsoInit();
    const RequestExchange::Start start = RequestExchange::examine(path, *oFso);
    std::optional<int> exitCode;
    switch (start.mode) {
    case RequestExchange::Start::Mode::Refused:
        BusyPointer::setDefault();
        MessageBox::show(start.message);
        exitCode = 1;
        break;
    case RequestExchange::Start::Mode::Request: {
        const QString message = RequestExchange::serve(path, start.text, [](const QString &text,
                                                                             const RequestExchange::AnswerWriter &write) {
            RequestExchange::DialogResult result;
            result.answer = text;
            MainForm().ActA(result.answer, result.accepted, write);
            return result;
        }, *oFso);
        UnloadAll();
        exitCode = 0;
        if (!message.isEmpty()) {
            BusyPointer::setDefault();
            MessageBox::show(message);
            exitCode = 1;
        }
        break;
    }
    case RequestExchange::Start::Mode::Window:
        MainForm().show();
        break;
    }
    BusyPointer::setDefault();
    return exitCode;
}
