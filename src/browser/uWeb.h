#pragma once
// The browser pane: a URL box, a toolbar and the embedded browser. The main
// window drives it through URL, SetText, Refresh and RetCom only; the pane
// raises nothing to its host.

#include <QString>
#include <QWidget>

class uWeb : public QWidget
{
    Q_OBJECT
public:
    explicit uWeb(QWidget *parent);

    QString URL() const;
    void setURL(const QString &sURL);
    void Refresh();
    void SetText(const QString &sTx);
    void RetCom(int iJb);
};
