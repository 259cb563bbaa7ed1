#include "mainwindow/AddressGrid.h"

#include "mainwindow/FormDefinition.h"

#include <QCoreApplication>
#include <QFontMetrics>
#include <QHelpEvent>
#include <QKeyEvent>
#include <QLineEdit>
#include <QStyleOptionHeader>
#include <QToolTip>

#include <algorithm>

using namespace Qt::StringLiterals;

int CellLimitDelegate::limitFor(int row, int column)
{
    if (row != 0)
        return FormDefinition::kDefaultCellLimit;
    return column == 3 ? FormDefinition::kRow1UrlLimit : FormDefinition::kRow1Limit;
}

QWidget *CellLimitDelegate::createEditor(QWidget *parent, const QStyleOptionViewItem &option,
                                         const QModelIndex &index) const
{
    QWidget *editor = QStyledItemDelegate::createEditor(parent, option, index);
    if (auto *line = qobject_cast<QLineEdit *>(editor))
        line->setMaxLength(limitFor(index.row(), index.column()));
    return editor;
}

GridHeader::GridHeader(Qt::Orientation orientation, QWidget *parent) : QHeaderView(orientation, parent)
{
    setMinimumSectionSize(1);
    setSectionResizeMode(QHeaderView::Fixed);
    setHighlightSections(false);
}

QSize GridHeader::sectionSizeFromContents(int logicalIndex) const
{
    QStyleOptionHeader option;
    initStyleOption(&option);
    option.section = logicalIndex;
    option.text = model() ? model()->headerData(logicalIndex, orientation(), Qt::DisplayRole).toString() : QString();
    option.fontMetrics = fontMetrics();
    return style()->sizeFromContents(QStyle::CT_HeaderSection, &option, QSize(), this);
}

QStringList japaneseFaces()
{
    return {QString::fromUtf16(FormDefinition::kGridFace), u"MS PGothic"_s, u"IPAPGothic"_s,
            u"Noto Sans CJK JP"_s, u"Noto Sans JP"_s};
}

QFont gridFont(qreal pointSize)
{
    QFont font;
    font.setFamilies(japaneseFaces());
    font.setPointSizeF(pointSize);
    font.setWeight(QFont::Normal);
    return font;
}

AddressGrid::AddressGrid(QWidget *parent) : QTableWidget(parent)
{
    // Sections come after the headers: the stock ones measure them in bold.
    setHorizontalHeader(new GridHeader(Qt::Horizontal, this));
    setVerticalHeader(new GridHeader(Qt::Vertical, this));
    const QFont font = gridFont(FormDefinition::kGridPointSize);
    setFont(font);
    horizontalHeader()->setFont(font);
    verticalHeader()->setFont(font);
    setRowCount(FormDefinition::kRows);
    setColumnCount(int(FormDefinition::kColumns.size()));
    setItemDelegate(new CellLimitDelegate(this));
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setSelectionMode(QAbstractItemView::SingleSelection);
    // A row is one line high: wrapped, a URL would show only up to its "?".
    setWordWrap(false);
    // Typing replaces a cell's text, F2 or a double click edits it in place.
    setEditTriggers(QAbstractItemView::DoubleClicked | QAbstractItemView::SelectedClicked
                    | QAbstractItemView::EditKeyPressed | QAbstractItemView::AnyKeyPressed);
    // Header and both rows share the grid's designed height in equal parts
    // (resizeEvent); the headers' sections are fixed (GridHeader).

    // Widths in character units, each a width of "0", plus the cell's text
    // margins, so that a postal code fills its column without being cut.
    const int digit = QFontMetrics(font).horizontalAdvance(QLatin1Char('0'));
    QStringList headers;
    for (int c = 0; c < columnCount(); ++c) {
        const FormDefinition::Column &column = FormDefinition::kColumns[size_t(c)];
        headers << QString::fromUtf16(column.header);
        setColumnWidth(c, qRound(column.widthChars * digit) + 12);
    }
    setHorizontalHeaderLabels(headers);

    const QColor grey(FormDefinition::kGreyLevel, FormDefinition::kGreyLevel, FormDefinition::kGreyLevel);
    for (int r = 0; r < rowCount(); ++r) {
        for (int c = 0; c < columnCount(); ++c) {
            auto *item = new QTableWidgetItem;
            item->setBackground(r == 1 && c < 3 ? QBrush(grey) : QBrush(Qt::white));
            item->setForeground(Qt::black);
            setItem(r, c, item);
        }
    }
}

bool AddressGrid::viewportEvent(QEvent *event)
{
    if (event->type() != QEvent::ToolTip)
        return QTableWidget::viewportEvent(event);
    // A cell's text cut off by its column or by the edge of what is shown
    // (a long map URL) is shown whole while the pointer rests on it.
    const auto *help = static_cast<QHelpEvent *>(event);
    const QModelIndex index = indexAt(help->pos());
    const QString text = index.data().toString();
    const QRect shown = visualRect(index).intersected(viewport()->visibleRegion().boundingRect());
    const int margin = style()->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, this) + 1;
    if (!text.isEmpty() && fontMetrics().horizontalAdvance(text) + 2 * margin > shown.width())
        QToolTip::showText(help->globalPos(), text, viewport(), shown);
    else
        QToolTip::hideText();
    return true;
}

void AddressGrid::resizeEvent(QResizeEvent *event)
{
    QTableWidget::resizeEvent(event);
    const int row = std::max(1, (height() - 2 * frameWidth()) / (rowCount() + 1));
    horizontalHeader()->setFixedHeight(row);
    verticalHeader()->setDefaultSectionSize(row);
}

QString AddressGrid::cellText(int column, int row) const
{
    const QTableWidgetItem *it = item(row - 1, column - 1);
    return it ? it->text() : QString();
}

void AddressGrid::setCellText(int column, int row, const QString &text)
{
    if (QTableWidgetItem *it = item(row - 1, column - 1))
        it->setText(text);
}

void AddressGrid::keyPressEvent(QKeyEvent *event)
{
    const bool typing = state() != EditingState && !event->text().isEmpty() && event->text().at(0).isPrint()
                        && !(event->modifiers() & ~(Qt::ShiftModifier | Qt::KeypadModifier));
    if (typing) {
        if (edit(currentIndex(), AnyKeyPressed, event))
            return;
        // A click on the cell already selected opens its editor only once a
        // double-click interval has passed, and Qt turns keys away until
        // then: what is typed right after the click would be lost. The key
        // opens the editor at once instead, as on any other cell.
        if (edit(currentIndex(), DoubleClicked, nullptr)) {
            if (QWidget *editor = visibleEditor())
                QCoreApplication::sendEvent(editor, event);
            return;
        }
    }
    QTableWidget::keyPressEvent(event);
}

QWidget *AddressGrid::visibleEditor() const
{
    if (state() != QAbstractItemView::EditingState)
        return nullptr;
    // Editors live on the viewport; closed ones linger there until deleted.
    const QList<QWidget *> editors = viewport()->findChildren<QWidget *>(Qt::FindDirectChildrenOnly);
    for (QWidget *editor : editors) {
        if (editor->isVisible())
            return editor;
    }
    return nullptr;
}

void AddressGrid::commitOpenEditor()
{
    if (QWidget *editor = visibleEditor()) {
        commitData(editor);
        closeEditor(editor, QAbstractItemDelegate::NoHint);
    }
}

void AddressGrid::setActiveCell(int column, int row)
{
    setCurrentCell(row - 1, column - 1);
}
