#include "pathintake.h"

#include "commandline.h"

#include <QDir>

namespace quillet::app {

namespace {

// Paths checked between two looks at the clock: a few microseconds each when cached.
constexpr qsizetype kPathsPerLook = 64;

} // namespace

PathIntake::PathIntake(ItemExists itemExists, QObject* parent)
    : QObject(parent)
    , m_itemExists(std::move(itemExists))
{
    // A zero timer runs after the events already waiting, so input and painting get their turn
    // between two pieces.
    m_nextPiece.setSingleShot(true);
    m_nextPiece.setInterval(0);
    connect(&m_nextPiece, &QTimer::timeout, this, &PathIntake::checkPiece);
}

void PathIntake::enqueue(const HandOver& request, bool reportMissing)
{
    Pending pending{request, {}, {}, {}, 0, reportMissing};
    pending.existing.reserve(request.paths.size());
    m_queue.push_back(std::move(pending));
    if (!m_nextPiece.isActive())
        m_nextPiece.start();
}

void PathIntake::enqueueArguments(const HandOver& request, const QList<const char*>& arguments,
                                  const QByteArray& workingFolder)
{
    Pending pending{request, arguments, workingFolder, {}, 0, true};
    pending.existing.reserve(arguments.size());
    m_queue.push_back(std::move(pending));
    if (!m_nextPiece.isActive())
        m_nextPiece.start();
}

void PathIntake::clear()
{
    m_queue.clear();
    m_nextPiece.stop();
}

void PathIntake::checkPiece()
{
    if (m_queue.empty())
        return;
    Pending& pending = m_queue.front();
    const bool fromArguments = !pending.arguments.isEmpty();
    const qsizetype count = fromArguments ? pending.arguments.size() : pending.request.paths.size();
    QElapsedTimer clock;
    clock.start();
    while (pending.next < count) {
        const qsizetype end = std::min(count, pending.next + kPathsPerLook);
        for (; pending.next < end; ++pending.next) {
            const QString path = fromArguments ? pathOfArgument(pending.arguments.at(pending.next),
                                                                pending.workingFolder)
                                               : pending.request.paths.at(pending.next);
            if (m_itemExists(path))
                pending.existing.append(QDir::cleanPath(path));
            else if (pending.reportMissing)
                emit missing(path);
        }
        if (clock.elapsed() >= kPieceMs)
            break;
    }
    if (pending.next == count) {
        HandOver done = std::move(pending.request);
        done.paths = std::move(pending.existing);
        m_queue.pop_front();
        emit checked(done);
    }
    // A slot of checked() may have queued more, or stopped for this one already.
    if (!m_queue.empty() && !m_nextPiece.isActive())
        m_nextPiece.start();
}

} // namespace quillet::app
