#pragma once
// The program's one window: command buttons, the address grid, the browser
// pane and the status bar, and the request dialog it turns into for a
// calling program.

#include <QString>
#include <QWidget>

#include <array>

class AddressGrid;
class QLabel;
class QPushButton;
class QStatusBar;
class uWeb;

class fmMain : public QWidget
{
    Q_OBJECT
public:
    fmMain();
    ~fmMain() override;

    // Runs the request dialog modally; when the user accepts, sCm becomes the
    // answer and accepted true, otherwise sCm is left as it came.
    void ActA(QString &sCm, bool &accepted);

    // One handler for every command button, reached from the keys too.
    void cmMap_Click(int Index);

    // Controls, named as the form defines them; cmMap has gaps at 3 and 5.
    std::array<QPushButton *, 9> cmMap{};
    AddressGrid *vAdd = nullptr;
    ::uWeb *uWeb = nullptr;
    QStatusBar *stBar = nullptr;
    std::array<QLabel *, 3> stPanels{};

    // The address record, mirrored in row 1 of the grid.
    bool bBusy = false;
    bool bReqMode = false;
    bool bAccept = false;
    QString sZip, sAdd, sCmp, sMapURL;

signals:
    // Emitted for every command, from a button or a function key, before it runs.
    void commandStarted(int index);
    void hidden();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;
    void changeEvent(QEvent *event) override;
    void showEvent(QShowEvent *event) override;
    void hideEvent(QHideEvent *event) override;
    void closeEvent(QCloseEvent *event) override;

private:
    void buildForm();
    void Form_Load();
    void Form_Activate();
    void Form_Resize();
    void Form_QueryUnload();
    void Form_KeyDown(int keyCode, Qt::KeyboardModifiers shift);
    void PutRow();
    void GetRow();
    void MapSearch(const QString &text);

    bool inRequestDialog_ = false;
};
