#include "instancechannel.h"

#include "batch/nativepath.h"
#include "rename/noreplacerename.h"

#include <QDataStream>
#include <QDir>
#include <QLocalSocket>
#include <QPointer>
#include <QStandardPaths>

namespace quillet::app {
namespace {

constexpr quint32 kMagic = 0x51554c31; // "QUL1"
constexpr qsizetype kMaxMessageBytes = 64 << 20;
constexpr qsizetype kMaxPaths = 1'000'000;

} // namespace

QByteArray encodeHandOver(const HandOver& handOver)
{
    QByteArray body;
    QDataStream out(&body, QIODevice::WriteOnly);
    out.setVersion(QDataStream::Qt_6_4);
    out << kMagic << handOver.undoLastRun << quint32(handOver.paths.size());
    for (const QString& path : handOver.paths)
        out << batch::nativeBytesFromPath(path);
    QByteArray message;
    QDataStream framed(&message, QIODevice::WriteOnly);
    framed << quint32(body.size());
    message.append(body);
    return message;
}

std::optional<HandOver> decodeHandOver(const QByteArray& message)
{
    if (message.size() < 4 || message.size() > kMaxMessageBytes)
        return std::nullopt;
    QDataStream in(message);
    in.setVersion(QDataStream::Qt_6_4);
    quint32 size = 0;
    quint32 magic = 0;
    quint32 count = 0;
    HandOver handOver;
    in >> size >> magic >> handOver.undoLastRun >> count;
    if (in.status() != QDataStream::Ok || size != quint32(message.size() - 4) || magic != kMagic
        || count > kMaxPaths)
        return std::nullopt;
    handOver.paths.reserve(count);
    for (quint32 i = 0; i < count; ++i) {
        QByteArray bytes;
        in >> bytes;
        if (in.status() != QDataStream::Ok || !bytes.startsWith('/') || bytes.contains('\0'))
            return std::nullopt;
        handOver.paths.append(batch::pathFromNativeBytes(bytes));
    }
    if (!in.atEnd())
        return std::nullopt;
    return handOver;
}

QStringList existingPaths(const QStringList& paths)
{
    QStringList existing;
    for (const QString& path : paths) {
        if (rename::itemExists(path))
            existing.append(QDir::cleanPath(path));
    }
    return existing;
}

QString instanceSocketName()
{
    QString folder = QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation);
    if (folder.isEmpty())
        folder = QDir::tempPath();
    return folder + QStringLiteral("/quillet.socket");
}

InstanceChannel::InstanceChannel(QString socketName, QObject* parent)
    : QObject(parent)
    , m_socketName(std::move(socketName))
{
    m_server.setSocketOptions(QLocalServer::UserAccessOption);
    connect(&m_server, &QLocalServer::newConnection, this, &InstanceChannel::takeConnection);
}

bool InstanceChannel::handToRunningInstance(const HandOver& handOver, int timeoutMs)
{
    QLocalSocket socket;
    socket.connectToServer(m_socketName);
    if (!socket.waitForConnected(timeoutMs))
        return false;
    socket.write(encodeHandOver(handOver));
    while (socket.bytesToWrite() > 0) {
        if (!socket.waitForBytesWritten(timeoutMs))
            return false;
    }
    // The running program answers one byte once it has taken the request.
    return socket.waitForReadyRead(timeoutMs) && socket.read(1) == "1";
}

bool InstanceChannel::listen()
{
    // With access options Qt puts the socket in place by a rename, which would take the name
    // from a program that is still listening: ask first whether anybody answers. A socket
    // file left behind by a program that ended without closing it answers nobody and may go.
    QLocalSocket probe;
    probe.connectToServer(m_socketName);
    if (probe.waitForConnected(1000))
        return false;
    QLocalServer::removeServer(m_socketName);
    return m_server.listen(m_socketName);
}

void InstanceChannel::takeConnection()
{
    while (QLocalSocket* socket = m_server.nextPendingConnection()) {
        connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
        auto* buffer = new QByteArray;
        connect(socket, &QObject::destroyed, socket, [buffer] { delete buffer; });
        connect(socket, &QLocalSocket::readyRead, this, [this, socket, buffer] {
            buffer->append(socket->readAll());
            if (buffer->size() > kMaxMessageBytes) {
                socket->abort();
                return;
            }
            if (buffer->size() < 4)
                return;
            QDataStream sizeStream(*buffer);
            quint32 size = 0;
            sizeStream >> size;
            if (qsizetype(size) + 4 > kMaxMessageBytes) {
                socket->abort();
                return;
            }
            if (buffer->size() < qsizetype(size) + 4)
                return;
            const std::optional<HandOver> handOver = decodeHandOver(buffer->left(size + 4));
            socket->write(handOver ? "1" : "0");
            socket->flush();
            socket->disconnectFromServer();
            if (handOver)
                emit handedOver(*handOver);
        });
    }
}

} // namespace quillet::app
