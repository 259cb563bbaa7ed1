#include "platform/MessageBox.h"

#include <QMessageBox>

using namespace Qt::StringLiterals;

namespace MessageBox {
void show(const QString &text, QWidget *parent)
{
    if (const Seam::Handler &handler = Seam::current()) {
        handler(text);
        return;
    }
    QString shown = text;
    shown.replace(u"\r\n"_s, u"\n"_s).replace(QLatin1Char('\r'), QLatin1Char('\n'));
    QMessageBox box(QMessageBox::NoIcon, QString::fromUtf16(kTitle), shown, QMessageBox::Ok, parent);
    box.setTextFormat(Qt::PlainText);
    box.exec();
}

}  // namespace MessageBox
