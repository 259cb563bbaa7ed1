#include "mainwindow/AddressChooser.h"

#include <QDialog>
#include <QEventLoop>
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
    // A click beside the list only closes it: a button beneath must not act
    // while the list's choice is still to come.
    popup.setAttribute(Qt::WA_NoMouseReplay);
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
    // Not modal: keys typed ahead of the list reach the window beneath,
    // which hands them on (a modal list would have them dropped).
    QEventLoop loop;
    QObject::connect(&popup, &QDialog::finished, &loop, &QEventLoop::quit);
    popup.show();
    loop.exec();
    return popup.result() == QDialog::Accepted ? list->currentRow() : -1;
}

Completion complete(AddressComponent &component, QString &zip, QString &address, QString &company,
                    QTableWidget *grid)
{
    const AddressAnswer answer = component.Find(zip, address, company, 1);
    Completion done;
    done.certainty = answer.certainty;
    done.problem = answer.problem;
    if (!answer.problem.isEmpty()) {
        done.outcome = Completion::Outcome::Failed;
        return done;
    }
    if (answer.choices.isEmpty())
        return done;
    qsizetype chosen = 0;
    if (answer.choices.size() > 1) {
        QStringList texts;
        const QString blank = QStringLiteral("　");
        for (const AddressCandidate &c : answer.choices)
            texts << c.zip + blank + c.listed() + (c.company.isEmpty() || c.company == company ? QString() : blank + c.company);
        chosen = choose(texts, grid, 0, 1);
        if (chosen < 0) {
            done.outcome = Completion::Outcome::Cancelled;
            return done;
        }
        done.certainty = answer.choices.at(chosen).certainty;
    }
    zip = answer.choices.at(chosen).zip;
    address = answer.choices.at(chosen).address;
    company = answer.choices.at(chosen).company;
    done.outcome = address.isEmpty() ? Completion::Outcome::NotFound : Completion::Outcome::Completed;
    return done;
}

}  // namespace AddressChooser
