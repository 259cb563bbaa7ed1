#include "platform/MessageBox.h"

#include <QMessageBox>

using namespace Qt::StringLiterals;

namespace MessageBox {
namespace {
Handler &currentHandler()
{
    static Handler handler;
    return handler;
}
}  // namespace

void show(const QString &text, QWidget *parent)
{
    if (const Handler &handler = currentHandler()) {
        handler(text);
        return;
    }
    QString shown = text;
    shown.replace(u"\r\n"_s, u"\n"_s).replace(QLatin1Char('\r'), QLatin1Char('\n'));
    QMessageBox box(QMessageBox::NoIcon, QString::fromUtf16(kTitle), shown, QMessageBox::Ok, parent);
    box.setTextFormat(Qt::PlainText);
    box.exec();
}

Override::Override(Handler handler) : previous_(std::move(currentHandler()))
{
    currentHandler() = std::move(handler);
}

Override::~Override()
{
    currentHandler() = std::move(previous_);
}

}  // namespace MessageBox
