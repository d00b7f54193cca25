#include "instancechannel.h"

#include "batch/nativepath.h"
#include "peeruser.h"
#include "rename/noreplacerename.h"

#include <QDataStream>
#include <QDir>
#include <QLocalSocket>
#include <QTimer>
#include <QtEndian>

#include <algorithm>

namespace quillet::app {
namespace {

constexpr quint32 kMagic = 0x51554c34; // "QUL4"
constexpr qsizetype kMaxRecipeName = 1024;
constexpr qsizetype kMaxMessageBytes = ChannelLimits{}.messageBytes;
constexpr qsizetype kMaxPaths = 1'000'000;
constexpr qsizetype kMaxTokenBytes = 4096;
constexpr qsizetype kHeaderBytes = 4;
// Qt keeps at most this much of a connection's input before we read it.
constexpr qint64 kReadChunk = 64 << 10;

} // namespace

QByteArray encodeHandOver(const HandOver& handOver)
{
    QByteArray body;
    QDataStream out(&body, QIODevice::WriteOnly);
    out.setVersion(QDataStream::Qt_6_4);
    out << kMagic << handOver.undoLastRun << handOver.showHistory
        << handOver.startupId.left(kMaxTokenBytes) << handOver.activationToken.left(kMaxTokenBytes)
        << quint32(handOver.paths.size());
    for (const QString& path : handOver.paths)
        out << batch::nativeBytesFromPath(path);
    out << handOver.recipe.left(kMaxRecipeName);
    QByteArray message;
    QDataStream framed(&message, QIODevice::WriteOnly);
    framed << quint32(body.size());
    message.append(body);
    return message;
}

std::optional<HandOver> decodeHandOver(const QByteArray& message)
{
    if (message.size() < kHeaderBytes || message.size() > kMaxMessageBytes)
        return std::nullopt;
    QDataStream in(message);
    in.setVersion(QDataStream::Qt_6_4);
    quint32 size = 0;
    quint32 magic = 0;
    quint32 count = 0;
    HandOver handOver;
    in >> size >> magic >> handOver.undoLastRun >> handOver.showHistory >> handOver.startupId
        >> handOver.activationToken >> count;
    if (in.status() != QDataStream::Ok || size != quint32(message.size() - kHeaderBytes)
        || magic != kMagic || count > kMaxPaths || handOver.startupId.size() > kMaxTokenBytes
        || handOver.activationToken.size() > kMaxTokenBytes)
        return std::nullopt;
    handOver.paths.reserve(count);
    for (quint32 i = 0; i < count; ++i) {
        QByteArray bytes;
        in >> bytes;
        if (in.status() != QDataStream::Ok || !bytes.startsWith('/') || bytes.contains('\0'))
            return std::nullopt;
        handOver.paths.append(batch::pathFromNativeBytes(bytes));
    }
    in >> handOver.recipe;
    if (in.status() != QDataStream::Ok || handOver.recipe.size() > kMaxRecipeName)
        return std::nullopt;
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

// One accepted connection while its message comes in.
struct InstanceChannel::Connection {
    QLocalSocket* socket = nullptr;
    QTimer* deadline = nullptr; // a child of the socket, gone with it
    QByteArray message;
    qsizetype expected = -1; // the whole message with its header, once the header is in
};

InstanceChannel::InstanceChannel(QString socketName, QObject* parent)
    : QObject(parent)
    , m_socketName(std::move(socketName))
    , m_trustedUser(currentUserId())
{
    m_server.setSocketOptions(QLocalServer::UserAccessOption);
    connect(&m_server, &QLocalServer::newConnection, this, &InstanceChannel::takeConnections);
}

InstanceChannel::~InstanceChannel()
{
    while (!m_connections.isEmpty())
        drop(m_connections.first());
}

bool InstanceChannel::isTrustedPeer(qintptr socketDescriptor) const
{
    const std::optional<uint> peer = peerUserId(socketDescriptor);
    return peer && *peer == m_trustedUser;
}

bool InstanceChannel::runningInstanceAnswers(int timeoutMs) const
{
    QLocalSocket probe;
    probe.connectToServer(m_socketName);
    return probe.waitForConnected(timeoutMs);
}

bool InstanceChannel::handToRunningInstance(const HandOver& handOver, int timeoutMs)
{
    QLocalSocket socket;
    socket.connectToServer(m_socketName);
    if (!socket.waitForConnected(timeoutMs))
        return false;
    // Whoever listens there must be this user: the paths are private.
    if (!isTrustedPeer(socket.socketDescriptor())) {
        socket.abort();
        return false;
    }
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
    if (runningInstanceAnswers())
        return false;
    QLocalServer::removeServer(m_socketName);
    return m_server.listen(m_socketName);
}

void InstanceChannel::takeConnections()
{
    // Every waiting connection is taken at once, so that Qt never runs out of descriptors
    // (it closes the server and deletes the socket when an accept fails); at most a few stay.
    while (QLocalSocket* socket = m_server.nextPendingConnection()) {
        if (!isTrustedPeer(socket->socketDescriptor())) {
            socket->abort();
            socket->deleteLater();
            continue;
        }
        // A new connection pushes out the oldest: one that idles holds its place for no
        // longer than the next start takes to arrive.
        if (m_connections.size() >= m_limits.connections)
            drop(m_connections.first());
        auto* connection = new Connection;
        connection->socket = socket;
        socket->setReadBufferSize(kReadChunk);
        connection->deadline = new QTimer(socket);
        connection->deadline->setSingleShot(true);
        connect(connection->deadline, &QTimer::timeout, this,
                [this, connection] { drop(connection); });
        connect(socket, &QLocalSocket::readyRead, this,
                [this, connection] { readFrom(connection); });
        connect(socket, &QLocalSocket::disconnected, this,
                [this, connection] { drop(connection); });
        m_connections.append(connection);
        connection->deadline->start(m_limits.messageDeadlineMs);
        readFrom(connection);
    }
}

void InstanceChannel::readFrom(Connection* connection)
{
    QLocalSocket* socket = connection->socket;
    QByteArray& message = connection->message;
    while (socket->bytesAvailable() > 0) {
        if (connection->expected < 0) {
            message.append(socket->read(kHeaderBytes - message.size()));
            if (message.size() < kHeaderBytes)
                return;
            const qsizetype expected =
                qsizetype(qFromBigEndian<quint32>(message.constData())) + kHeaderBytes;
            if (expected > m_limits.messageBytes) {
                drop(connection);
                return;
            }
            // The declared size is charged at once, so that the messages still coming in
            // together never hold more than the budget, however slowly they are sent. When it
            // is spent, the oldest unfinished messages give way: a new start is waiting now,
            // they have had their time.
            while (m_unfinishedBytes + expected > m_limits.unfinishedBytes) {
                const auto holder =
                    std::find_if(m_connections.cbegin(), m_connections.cend(),
                                 [](const Connection* other) { return other->expected >= 0; });
                if (holder == m_connections.cend())
                    break;
                drop(*holder);
            }
            connection->expected = expected;
            m_unfinishedBytes += expected;
            message.reserve(expected);
        }
        message.append(
            socket->read(qMin<qint64>(kReadChunk, connection->expected - message.size())));
        if (message.size() == connection->expected) {
            const std::optional<HandOver> handOver = decodeHandOver(message);
            answer(connection, handOver.has_value());
            if (handOver)
                emit handedOver(*handOver);
            return;
        }
    }
}

void InstanceChannel::answer(Connection* connection, bool taken)
{
    QLocalSocket* socket = connection->socket;
    detach(connection);
    connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
    socket->write(taken ? "1" : "0");
    socket->flush();
    socket->disconnectFromServer();
}

void InstanceChannel::drop(Connection* connection)
{
    QLocalSocket* socket = connection->socket;
    detach(connection);
    socket->abort();
    socket->deleteLater();
}

void InstanceChannel::detach(Connection* connection)
{
    connection->deadline->stop();
    disconnect(connection->socket, nullptr, this, nullptr);
    m_connections.removeOne(connection);
    if (connection->expected >= 0)
        m_unfinishedBytes -= connection->expected;
    delete connection;
}

} // namespace quillet::app
