#pragma once

#include <QByteArray>
#include <QLocalServer>
#include <QObject>
#include <QStringList>

#include <optional>

namespace quillet::app {

// What a second start hands to the window that is already open.
struct HandOver {
    bool undoLastRun = false;
    QStringList paths; // absolute, exact bytes kept (batch/nativepath.h)
};

// The wire form of a hand-over, and its strict reading: anything malformed, oversized or
// holding a path that is not absolute gives nothing.
[[nodiscard]] QByteArray encodeHandOver(const HandOver& handOver);
[[nodiscard]] std::optional<HandOver> decodeHandOver(const QByteArray& message);

// Only items that exist are taken in: what arrives on the socket is treated like a drop.
[[nodiscard]] QStringList existingPaths(const QStringList& paths);

// The per-user socket of the running program, in the user's runtime folder.
[[nodiscard]] QString instanceSocketName();

// One window per user: the first start listens on the socket; later starts hand their files
// (or the undo request) to it and end.
class InstanceChannel final : public QObject {
    Q_OBJECT

public:
    explicit InstanceChannel(QString socketName, QObject* parent = nullptr);

    // Hands the request to a running program; true when one took it.
    [[nodiscard]] bool handToRunningInstance(const HandOver& handOver, int timeoutMs = 3000);
    // Starts listening, only for this user; false when another program holds the socket.
    [[nodiscard]] bool listen();

signals:
    void handedOver(const quillet::app::HandOver& handOver);

private:
    void takeConnection();

    QString m_socketName;
    QLocalServer m_server;
};

} // namespace quillet::app
