#include "ui/shell/single_instance.h"

#include <QCryptographicHash>
#include <QLocalServer>
#include <QLocalSocket>
#include <QPointer>
#include <QStandardPaths>
#include <QVariant>

#include <unistd.h>

namespace {

constexpr int ConnectTimeoutMs = 2000;
const QByteArray DoneReply = "done\n";

} // namespace

QString InstanceServerName(const std::string& dataFolder) {
    QString runtime = QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation);
    if (runtime.isEmpty())
        runtime = QStringLiteral("/tmp");
    QByteArray digest =
        QCryptographicHash::hash(QByteArray::fromStdString(dataFolder), QCryptographicHash::Sha256).toHex().left(16);
    return runtime + QStringLiteral("/quorvane-%1-%2").arg(::getuid()).arg(QString::fromLatin1(digest));
}

bool SendToRunningInstance(const QString& serverName, int message) {
    QLocalSocket socket;
    socket.connectToServer(serverName);
    if (!socket.waitForConnected(ConnectTimeoutMs))
        return false;
    socket.write(QByteArray::number(message) + '\n');
    if (!socket.waitForBytesWritten(ConnectTimeoutMs))
        return false;
    // The running instance answers when the action is over: an Open E-Mail
    // lasts a whole scan and its questions, so there is no time limit.
    QByteArray reply;
    while (!reply.contains('\n')) {
        if (socket.bytesAvailable() == 0 && !socket.waitForReadyRead(-1))
            break;
        reply += socket.readAll();
    }
    // An instance that ends on the message (MsgCloseProgram) may close the
    // connection before its answer is read.
    return reply == DoneReply || message == MsgCloseProgram;
}

InstanceServer::InstanceServer(Handler handler, QObject* parent)
    : QObject(parent), m_handler(std::move(handler)), m_server(new QLocalServer(this)) {
    m_server->setSocketOptions(QLocalServer::UserAccessOption);
    connect(m_server, &QLocalServer::newConnection, this, &InstanceServer::Accept);
}

bool InstanceServer::Listen(const QString& name) {
    QLocalServer::removeServer(name);
    return m_server->listen(name);
}

void InstanceServer::Accept() {
    while (QLocalSocket* socket = m_server->nextPendingConnection()) {
        connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
        connect(socket, &QLocalSocket::readyRead, this, [this, socket] { Read(socket); });
    }
}

void InstanceServer::Read(QLocalSocket* socket) {
    if (!socket->canReadLine() || socket->property("handled").toBool())
        return;
    socket->setProperty("handled", true);
    bool ok = false;
    int message = socket->readLine().trimmed().toInt(&ok);
    // The handler may turn the event loop for minutes; the sender may be
    // gone (and its socket deleted) when it returns.
    QPointer<QLocalSocket> guard(socket);
    if (ok && m_handler)
        m_handler(message);
    if (guard && socket->state() == QLocalSocket::ConnectedState) {
        socket->write(DoneReply);
        socket->flush();
        socket->disconnectFromServer();
    }
}
