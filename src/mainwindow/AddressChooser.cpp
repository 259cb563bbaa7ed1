#include "mainwindow/AddressChooser.h"

#include "addresses/AddressComponent.h"

#include <QDialog>
#include <QGuiApplication>
#include <QListWidget>
#include <QScreen>
#include <QTableWidget>
#include <QVBoxLayout>

namespace AddressChooser {

int choose(const QStringList &texts, QTableWidget *grid, int row, int column)
{
    QDialog popup(grid, Qt::Popup);
    popup.setObjectName(QStringLiteral("addressChooser"));
    auto *layout = new QVBoxLayout(&popup);
    layout->setContentsMargins(0, 0, 0, 0);
    auto *list = new QListWidget(&popup);
    list->addItems(texts);
    list->setCurrentRow(0);
    layout->addWidget(list);
    QObject::connect(list, &QListWidget::itemActivated, &popup, &QDialog::accept);
    QObject::connect(list, &QListWidget::itemDoubleClicked, &popup, &QDialog::accept);

    // Wide enough for the longest text, a few rows high, under the cell.
    const QFontMetrics metrics = list->fontMetrics();
    int width = 0;
    for (const QString &t : texts)
        width = std::max(width, metrics.horizontalAdvance(t));
    const int rows = int(std::min<qsizetype>(texts.size(), 8));
    list->setMinimumSize(0, 0);
    popup.setFixedSize(width + 2 * list->frameWidth() + 24, rows * list->sizeHintForRow(0) + 2 * list->frameWidth());
    const QRect cell = grid->visualRect(grid->model()->index(row, column));
    QPoint at = grid->viewport()->mapToGlobal(cell.bottomLeft());
    if (const QScreen *screen = grid->screen()) {
        const QRect room = screen->availableGeometry();
        at.setX(std::clamp(at.x(), room.left(), std::max(room.left(), room.right() - popup.width())));
        if (at.y() + popup.height() > room.bottom())
            at.setY(grid->viewport()->mapToGlobal(cell.topLeft()).y() - popup.height());
    }
    popup.move(at);
    list->setFocus();
    return popup.exec() == QDialog::Accepted ? list->currentRow() : -1;
}

bool complete(AddressComponent &component, QString &zip, QString &address, QString &company, QTableWidget *grid)
{
    const QList<AddressCandidate> found = component.Candidates(zip, address, company, 1);
    if (found.size() < 2) {
        component.PutAdd(zip, address, company, 1);
        return true;
    }
    QStringList texts;
    for (const AddressCandidate &c : found)
        texts << (c.company == company ? c.address : c.address + QStringLiteral("　") + c.company);
    const int chosen = choose(texts, grid, 0, 1);
    if (chosen < 0)
        return false;
    zip = found.at(chosen).zip;
    address = found.at(chosen).address;
    company = found.at(chosen).company;
    return true;
}

}  // namespace AddressChooser
