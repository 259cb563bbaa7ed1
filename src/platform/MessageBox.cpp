#include "platform/MessageBox.h"

#include <QFontMetrics>
#include <QGuiApplication>
#include <QMessageBox>
#include <QScreen>
#include <QWidget>

#include <algorithm>

using namespace Qt::StringLiterals;

namespace MessageBox {

QString fittedToScreen(const QString &text, const QFontMetrics &metrics, const QWidget *near)
{
    const QScreen *screen = near && near->screen() ? near->screen() : QGuiApplication::primaryScreen();
    const QRect available = screen ? screen->availableGeometry() : QRect(0, 0, 1024, 768);
    // Lines are not wrapped: a long path keeps its start and its file name.
    const int maxWidth = std::max(200, available.width() * 2 / 3);
    const int maxLines = std::max(3, available.height() / 2 / std::max(1, metrics.lineSpacing()));
    QString normalised = text;
    normalised.replace(u"\r\n"_s, u"\n"_s).replace(QLatin1Char('\r'), QLatin1Char('\n'));
    QStringList lines = normalised.split(QLatin1Char('\n'));
    if (lines.size() > maxLines) {
        lines = lines.mid(0, maxLines);
        lines.last() = QString(QChar(0x2026));
    }
    for (QString &line : lines)
        line = metrics.elidedText(line, Qt::ElideMiddle, maxWidth);
    return lines.join(QLatin1Char('\n'));
}

void show(const QString &text, QWidget *parent)
{
    if (const Seam::Handler &handler = Seam::current()) {
        handler(text);
        return;
    }
    QMessageBox box(QMessageBox::NoIcon, QString::fromUtf16(kTitle), QString(), QMessageBox::Ok, parent);
    box.setTextFormat(Qt::PlainText);
    box.setText(fittedToScreen(text, box.fontMetrics(), parent));
    box.exec();
}

}  // namespace MessageBox
