#pragma once
// The address grid vAdd: a header row, four columns and two rows, of which
// the program works on the first.

#include <QFont>
#include <QHeaderView>
#include <QStyledItemDelegate>
#include <QTableWidget>

// Input limits per cell: the first row holds a whole address record.
class CellLimitDelegate : public QStyledItemDelegate
{
    Q_OBJECT
public:
    using QStyledItemDelegate::QStyledItemDelegate;
    static int limitFor(int row, int column);  // 0-based row and column
    QWidget *createEditor(QWidget *parent, const QStyleOptionViewItem &option,
                          const QModelIndex &index) const override;
};

// Headers measured in the face they are drawn in. Qt measures every header
// section in bold, in case it is ever highlighted; these never are, and the
// bold faces (a second CJK font file) would be loaded for nothing at start.
class GridHeader : public QHeaderView
{
    Q_OBJECT
public:
    GridHeader(Qt::Orientation orientation, QWidget *parent);

protected:
    QSize sectionSizeFromContents(int logicalIndex) const override;
};

class AddressGrid : public QTableWidget
{
    Q_OBJECT
public:
    explicit AddressGrid(QWidget *parent);
    // Grid cells count from 1 as the record does: column 1 is the postal code.
    QString cellText(int column, int row) const;
    void setCellText(int column, int row, const QString &text);
    void setActiveCell(int column, int row);
    // Takes what is typed into an open cell editor into its cell and closes
    // the editor, as a spreadsheet does before any command.
    void commitOpenEditor();

protected:
    void resizeEvent(QResizeEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    bool viewportEvent(QEvent *event) override;

private:
    // The cell editor open now, if any.
    QWidget *visibleEditor() const;
};

// The grid's face and its stand-ins, in order: the MS face, IPA P Gothic
// (drawn to the MS face's metrics), then Noto Sans CJK.
QStringList japaneseFaces();
QFont gridFont(qreal pointSize);
