#pragma once

#include <QByteArray>
#include <QList>
#include <QLocalServer>
#include <QObject>
#include <QStringList>

#include <optional>

class QLocalSocket;

namespace quillet::app {

// What a second start hands to the window that is already open.
struct HandOver {
    bool undoLastRun = false;
    QStringList paths; // absolute, exact bytes kept (batch/nativepath.h)
    // What the launcher gave the second start so that its window may take the focus: the X11
    // startup id (DESKTOP_STARTUP_ID) and the Wayland activation token (XDG_ACTIVATION_TOKEN).
    // The window that is already open uses them, since it is the one that comes to the front.
    QByteArray startupId;
    QByteArray activationToken;
    bool showHistory = false; // the window of recent runs
    QString recipe = {};      // run over the batch once the paths are in; empty for none
};

// The wire form of a hand-over, and its strict reading: anything malformed, oversized or
// holding a path that is not absolute gives nothing.
[[nodiscard]] QByteArray encodeHandOver(const HandOver& handOver);
[[nodiscard]] std::optional<HandOver> decodeHandOver(const QByteArray& message);

// Only items that exist are taken in: what arrives on the socket is treated like a drop.
[[nodiscard]] QStringList existingPaths(const QStringList& paths);

// The limits of the listening side, so that no client can take it down: a few connections at
// once (a new one pushes out the oldest), a deadline for each message, and one budget for the
// bytes of all messages not yet complete.
struct ChannelLimits {
    int connections = 4;
    int messageDeadlineMs = 2000;
    qsizetype messageBytes = 16 << 20;
    qsizetype unfinishedBytes = 32 << 20;
};

// One window per user: the first start listens on the socket; later starts hand their files
// (or the undo request) to it and end. Both ends check who is at the other end: a process of
// another user is dropped before a byte is read or written.
class InstanceChannel final : public QObject {
    Q_OBJECT

public:
    explicit InstanceChannel(QString socketName, QObject* parent = nullptr);
    ~InstanceChannel() override;

    // Whether a program listens on the socket now; it may still belong to another user, which
    // handToRunningInstance finds out. Cheap when nobody does: the connection is refused.
    [[nodiscard]] bool runningInstanceAnswers(int timeoutMs = 1000) const;
    // Hands the request to a running program; true when one of this user took it.
    [[nodiscard]] bool handToRunningInstance(const HandOver& handOver, int timeoutMs = 3000);
    // Starts listening, only for this user; false when another program holds the socket.
    [[nodiscard]] bool listen();
    [[nodiscard]] bool isListening() const { return m_server.isListening(); }

    // The user a peer must be; this process's own by default. Tests put in another one to see
    // a peer of another user refused by the real check.
    void setTrustedUser(uint user) { m_trustedUser = user; }

signals:
    void handedOver(const quillet::app::HandOver& handOver);

private:
    struct Connection;

    void takeConnections();
    void readFrom(Connection* connection);
    void answer(Connection* connection, bool taken);
    void drop(Connection* connection);
    void detach(Connection* connection);
    [[nodiscard]] bool isTrustedPeer(qintptr socketDescriptor) const;

    QString m_socketName;
    QLocalServer m_server;
    uint m_trustedUser;
    ChannelLimits m_limits;
    QList<Connection*> m_connections; // oldest first
    qsizetype m_unfinishedBytes = 0;
};

} // namespace quillet::app
