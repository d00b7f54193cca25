#pragma once

#include "instancechannel.h"

#include <QElapsedTimer>
#include <QObject>
#include <QTimer>

#include <deque>
#include <functional>

namespace quillet::app {

// Checks the paths of start-up and hand-over requests on the window's thread after the window
// is shown, a few milliseconds at a time between events: 100,000 paths from a command line
// take a second of lstat calls, which would otherwise all come before the window appears.
// Requests are checked one after the other and come out in the order they went in, each with
// only the items that exist.
class PathIntake final : public QObject {
    Q_OBJECT

public:
    using ItemExists = std::function<bool(const QString& path)>;

    // How long one piece of checking holds the event loop at most (one lstat past it).
    static constexpr int kPieceMs = 10;

    explicit PathIntake(ItemExists itemExists, QObject* parent = nullptr);

    // Queues a request. With reportMissing every path that is not there is told by missing():
    // a start from a terminal says so on standard error; a hand-over is treated like a drop.
    void enqueue(const HandOver& request, bool reportMissing);
    // A start's own request: its path arguments are made paths here too (pathOfArgument), a
    // piece at a time, and the missing ones told.
    // The arguments must outlive the request (main()'s argv does).
    void enqueueArguments(const HandOver& request, const QList<const char*>& arguments,
                          const QByteArray& workingFolder);
    [[nodiscard]] bool isBusy() const { return !m_queue.empty(); }
    // Forgets every request not yet given out: the window they were for has closed.
    void clear();

signals:
    void missing(const QString& path);
    // The request with the paths that exist, cleaned; an undo request passes unchanged.
    void checked(const quillet::app::HandOver& request);

private:
    struct Pending {
        HandOver request;
        // Instead of request.paths: path arguments not yet made paths.
        QList<const char*> arguments;
        QByteArray workingFolder;
        QStringList existing;
        qsizetype next = 0;
        bool reportMissing = false;
    };

    void checkPiece();

    ItemExists m_itemExists;
    std::deque<Pending> m_queue;
    QTimer m_nextPiece;
};

} // namespace quillet::app
