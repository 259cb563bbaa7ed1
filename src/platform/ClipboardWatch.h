#pragma once
// Reports each change of the system clipboard that leaves text on it, once,
// on the user-interface thread. On X11 this sees copies made by any program
// (through the XFixes selection notices Qt listens to).

#include <QObject>
#include <QString>

#include <functional>

class ClipboardWatch : public QObject
{
    Q_OBJECT
public:
    using Handler = std::function<void(const QString &text)>;

    explicit ClipboardWatch(Handler handler, QObject *parent = nullptr);
    // Only changes after start() are reported; both calls may be repeated.
    void start();
    void stop();
    bool active() const { return static_cast<bool>(connection_); }

private:
    void changed();

    Handler handler_;
    QMetaObject::Connection connection_;
};
