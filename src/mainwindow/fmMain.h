#pragma once
// The program's one window: command buttons, the address grid, the browser
// pane and the status bar, and the request dialog it turns into for a
// calling program.

#include <QSize>
#include <QString>
#include <QWidget>

#include <QStringList>

#include <array>
#include <functional>
#include <memory>
#include <vector>

class AddressComponent;
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

    // Where an accepted request's answer goes before the dialog closes: the
    // message for the user when it could not be written, else "".
    using AnswerWriter = std::function<QString(const QString &answer)>;

    // Runs the request dialog modally; when the user accepts, sCm becomes the
    // answer and accepted true, otherwise sCm is left as it came. With a
    // writer, the answer is written while the dialog is still open, so that
    // a failure can be shown and the user can try again; the writer serves
    // this request only.
    void ActA(QString &sCm, bool &accepted, const AnswerWriter &write = {});
    // A new clipboard text: a map page's address becomes the record's map URL.
    void ClipEvent(const QString &sClp);

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
    std::unique_ptr<AddressComponent> oAdd;

signals:
    // Emitted for every command, from a button or a function key, before it runs.
    void commandStarted(int index);
    void hidden();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;
    void moveEvent(QMoveEvent *event) override;
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
    void InitAdd();
    void PutRow();
    void GetRow();
    void EnbCopy(bool enabled);
    void StMsg(const QString &text, int panel);
    void vAdd_Change(int column, int row);
    void vAdd_DblClick(int column, int row);
    void MapSearch(const QString &text);
    void lookUpAddress();
    void copyRecord();
    void acceptRequest();
    void placeRestoredFrame(bool lastChance);

    bool inRequestDialog_ = false;
    QStringList request_;  // the fields of the request being served
    AnswerWriter answerWriter_;  // the writer of the request being served, if any
    // Shown and not hidden by the program since; minimising does not count.
    bool opened_ = false;
    bool activationDue_ = false;  // opened, and the activation has not run yet
    // A restored place is the whole window's; its frame is known only once shown.
    QRect restoredFrame_;
    // Keys that reach the window while F4 chooses, outside its list: they
    // act once the row holds the choice.
    bool choosing_ = false;
    std::vector<std::unique_ptr<QEvent>> heldKeys_;
};
