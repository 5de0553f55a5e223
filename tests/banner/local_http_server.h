#pragma once

#include <QByteArray>
#include <QByteArrayList>
#include <QHash>
#include <QObject>
#include <QString>
#include <QTcpServer>

class QTcpSocket;

// A minimal HTTP/1.1 server on 127.0.0.1 (a free port) that answers from a table of paths, for
// tests of the feed fetch. Unknown paths get 404. It lives on the test's thread and is served by
// whatever event loop is running, including the one the fetch waits in.
class LocalHttpServer : public QObject
{
    Q_OBJECT

public:
    enum class Behaviour {
        Answer, // status line, headers and the whole body at once
        AnswerWithoutLength, // no Content-Length; the body ends when the connection closes
        NeverAnswer, // accepts the request and keeps silent
        Trickle, // announces the body, then sends one byte every 100 ms
    };

    struct Reply
    {
        int status = 200;
        QByteArray body;
        QByteArrayList extraHeaders; // whole header lines without the line end
        Behaviour behaviour = Behaviour::Answer;
    };

    LocalHttpServer();

    void serve(const QByteArray &path, const Reply &reply);
    QString url(const QByteArray &path) const;
    const QByteArrayList &requestedPaths() const { return m_requestedPaths; }

    // A 127.0.0.1 port that nothing listens on (bound once, then released).
    static quint16 closedPort();

private:
    void accept();
    void readRequest(QTcpSocket *socket);
    void answer(QTcpSocket *socket, const Reply &reply);
    void trickle(QTcpSocket *socket, const QByteArray &body);

    QTcpServer m_server;
    QHash<QByteArray, Reply> m_replies;
    QHash<QTcpSocket *, QByteArray> m_partialRequests;
    QByteArrayList m_requestedPaths;
};
