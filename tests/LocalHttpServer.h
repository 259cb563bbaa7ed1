#pragma once
// A tiny HTTP/1.1 server on 127.0.0.1 for the browser tests: fixed answers
// by path, and a log of every request target exactly as it arrived.

#include <QHash>
#include <QStringList>
#include <QTcpServer>
#include <QTcpSocket>

class LocalHttpServer : public QObject
{
public:
    struct Reply {
        int status = 200;
        QByteArray body;
        QByteArray location;  // for redirects
        QByteArray type = "text/html; charset=utf-8";
    };

    explicit LocalHttpServer(quint16 port = 0)
    {
        server_.listen(QHostAddress::LocalHost, port);
        connect(&server_, &QTcpServer::newConnection, this, [this] {
            while (QTcpSocket *s = server_.nextPendingConnection()) {
                s->setParent(this);
                connect(s, &QTcpSocket::readyRead, this, [this, s] { serve(s); });
                connect(s, &QTcpSocket::disconnected, s, &QObject::deleteLater);
            }
        });
    }

    bool listening() const { return server_.isListening(); }
    QString base() const { return QStringLiteral("http://127.0.0.1:%1").arg(server_.serverPort()); }
    void route(const QByteArray &target, const Reply &reply) { routes_[target] = reply; }
    void page(const QByteArray &target, const QByteArray &html) { route(target, {200, html, {}, "text/html; charset=utf-8"}); }
    QList<QByteArray> requests;  // request targets, in order

private:
    void serve(QTcpSocket *s)
    {
        QByteArray &buf = pending_[s];
        buf += s->readAll();
        int end;
        while ((end = buf.indexOf("\r\n\r\n")) >= 0) {
            const QByteArray head = buf.left(end);
            buf.remove(0, end + 4);
            const QList<QByteArray> first = head.left(head.indexOf("\r\n")).split(' ');
            const QByteArray target = first.value(1);
            if (target == "/favicon.ico") {
                write(s, {404, "no", {}, "text/plain"});
                continue;
            }
            requests << target;
            write(s, routes_.value(target, Reply{404, "not found", {}, "text/plain"}));
        }
    }

    static void write(QTcpSocket *s, const Reply &r)
    {
        QByteArray out = "HTTP/1.1 " + QByteArray::number(r.status) + (r.status == 200 ? " OK" : " X") + "\r\n";
        if (!r.location.isEmpty())
            out += "Location: " + r.location + "\r\n";
        out += "Content-Type: " + r.type + "\r\nCache-Control: no-store\r\nContent-Length: "
               + QByteArray::number(r.body.size()) + "\r\n\r\n" + r.body;
        s->write(out);
    }

    QTcpServer server_;
    QHash<QByteArray, Reply> routes_;
    QHash<QTcpSocket *, QByteArray> pending_;
};
