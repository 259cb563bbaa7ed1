#include "platform/ClipboardWatch.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QMimeData>

ClipboardWatch::ClipboardWatch(Handler handler, QObject *parent) : QObject(parent), handler_(std::move(handler))
{
}

void ClipboardWatch::start()
{
    if (!connection_)
        connection_ = connect(QGuiApplication::clipboard(), &QClipboard::dataChanged, this, &ClipboardWatch::changed);
}

void ClipboardWatch::stop()
{
    if (connection_)
        disconnect(connection_);
    connection_ = {};
}

void ClipboardWatch::changed()
{
    const QClipboard *clipboard = QGuiApplication::clipboard();
    const QMimeData *data = clipboard->mimeData(QClipboard::Clipboard);
    if (data && data->hasText())
        handler_(clipboard->text(QClipboard::Clipboard));
}
