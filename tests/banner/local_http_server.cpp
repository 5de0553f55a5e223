#include "local_http_server.h"

#include <QTcpSocket>
#include <QTimer>
#include <memory>

LocalHttpServer::LocalHttpServer()
{
    connect(&m_server, &QTcpServer::newConnection, this, &LocalHttpServer::accept);
    if (!m_server.listen(QHostAddress::LocalHost, 0)) {
        qFatal("cannot listen on 127.0.0.1");
    }
}

void LocalHttpServer::serve(const QByteArray &path, const Reply &reply)
{
    m_replies.insert(path, reply);
}

QString LocalHttpServer::url(const QByteArray &path) const
{
    return QStringLiteral("http://127.0.0.1:%1%2")
        .arg(m_server.serverPort())
        .arg(QString::fromLatin1(path));
}

quint16 LocalHttpServer::closedPort()
{
    QTcpServer probe;
    if (!probe.listen(QHostAddress::LocalHost, 0)) {
        qFatal("cannot listen on 127.0.0.1");
    }
    const quint16 port = probe.serverPort();
    probe.close();
    return port;
}

void LocalHttpServer::accept()
{
    while (QTcpSocket *socket = m_server.nextPendingConnection()) {
        socket->setParent(this);
        connect(socket, &QTcpSocket::readyRead, this, [this, socket] { readRequest(socket); });
        connect(socket, &QTcpSocket::disconnected, this, [this, socket] {
            m_partialRequests.remove(socket);
            socket->deleteLater();
        });
    }
}

void LocalHttpServer::readRequest(QTcpSocket *socket)
{
    QByteArray &request = m_partialRequests[socket];
    request += socket->readAll();
    if (!request.contains("\r\n\r\n")) {
        return;
    }
    const QByteArrayList requestLine = request.left(request.indexOf("\r\n")).split(' ');
    const QByteArray path = requestLine.value(1);
    request.clear();
    m_requestedPaths.append(path);
    answer(socket, m_replies.value(path, Reply {404, "not here", {}, Behaviour::Answer}));
}

void LocalHttpServer::answer(QTcpSocket *socket, const Reply &reply)
{
    if (reply.behaviour == Behaviour::NeverAnswer) {
        return;
    }
    QByteArray head = "HTTP/1.1 " + QByteArray::number(reply.status) + " Status\r\n";
    if (reply.behaviour != Behaviour::AnswerWithoutLength) {
        head += "Content-Length: " + QByteArray::number(reply.body.size()) + "\r\n";
    }
    for (const QByteArray &header : reply.extraHeaders) {
        head += header + "\r\n";
    }
    head += "Connection: close\r\n\r\n";
    socket->write(head);
    if (reply.behaviour == Behaviour::Trickle) {
        trickle(socket, reply.body);
        return;
    }
    socket->write(reply.body);
    socket->disconnectFromHost();
}

void LocalHttpServer::trickle(QTcpSocket *socket, const QByteArray &body)
{
    auto *timer = new QTimer(socket);
    auto sent = std::make_shared<qsizetype>(0);
    connect(timer, &QTimer::timeout, socket, [socket, timer, body, sent] {
        if (*sent >= body.size()) {
            timer->stop();
            socket->disconnectFromHost();
            return;
        }
        socket->write(body.mid((*sent)++, 1));
    });
    timer->start(100);
}
