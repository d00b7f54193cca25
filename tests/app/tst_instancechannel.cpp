#include "batch/nativepath.h"
#include "instancechannel.h"
#include "peeruser.h"
#include "socketfolder.h"
#include "testfiles.h"
#include "unprivileged.h"

#include <QDataStream>
#include <QDir>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QLocalSocket>
#include <QProcess>
#include <QProcessEnvironment>
#include <QScopeGuard>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QThread>
#include <QtConcurrent/QtConcurrentRun>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <poll.h>
#include <sys/resource.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

using namespace quillet::app;
using namespace Qt::Literals::StringLiterals;

Q_DECLARE_METATYPE(quillet::app::HandOver)

namespace {

constexpr int kIdleConnections = 1100;

// A value from /proc/PID/status in KiB (VmRSS, VmHWM); -1 when it cannot be read.
qint64 statusKiB(qint64 pid, const QByteArray& field)
{
    for (const QByteArray& line :
         quillet::test::readFile(u"/proc/%1/status"_s.arg(pid)).split('\n')) {
        if (line.startsWith(field + ':'))
            return line.mid(field.size() + 1).trimmed().split(' ').first().toLongLong();
    }
    return -1;
}

qsizetype openDescriptors(qint64 pid)
{
    return QDir(u"/proc/%1/fd"_s.arg(pid))
        .entryList(QDir::AllEntries | QDir::NoDotAndDotDot)
        .size();
}

// A raw, non-blocking client of the socket; -1 while the listener's queue is full.
int connectRaw(const QByteArray& path)
{
    const int fd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0);
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    qstrncpy(address.sun_path, path.constData(), sizeof address.sun_path);
    if (::connect(fd, reinterpret_cast<const sockaddr*>(&address), sizeof address) != 0
        && errno != EINPROGRESS) {
        ::close(fd);
        return -1;
    }
    return fd;
}

// Sends as much of the bytes as the other end takes within the time; the count sent.
qsizetype sendFor(int fd, const QByteArray& bytes, int milliseconds)
{
    QElapsedTimer clock;
    clock.start();
    qsizetype sent = 0;
    while (sent < bytes.size() && clock.elapsed() < milliseconds) {
        pollfd waiting{fd, POLLOUT, 0};
        if (::poll(&waiting, 1, 50) <= 0)
            continue;
        const ssize_t n =
            ::send(fd, bytes.constData() + sent, size_t(bytes.size() - sent), MSG_NOSIGNAL);
        if (n < 0 && errno != EAGAIN)
            break;
        if (n > 0)
            sent += n;
    }
    return sent;
}

QByteArray header(quint32 size)
{
    QByteArray bytes;
    QDataStream(&bytes, QIODevice::WriteOnly) << size;
    return bytes;
}

// The listening side in a process of its own, so that its descriptors and memory are its own:
// it prints what it took.
int listenOnly(int argc, char** argv)
{
    // The descriptors of a desktop session, whatever the test runner allows.
    rlimit limit{};
    ::getrlimit(RLIMIT_NOFILE, &limit);
    limit.rlim_cur = std::min<rlim_t>(limit.rlim_cur, 1024);
    ::setrlimit(RLIMIT_NOFILE, &limit);
    QCoreApplication app(argc, argv);
    InstanceChannel channel(QString::fromLocal8Bit(argv[2]));
    if (!channel.listen())
        return 1;
    QObject::connect(&channel, &InstanceChannel::handedOver, [](const HandOver& handOver) {
        std::printf("took %d\n", int(handOver.paths.size()));
        std::fflush(stdout);
    });
    std::printf("listening\n");
    std::fflush(stdout);
    return QCoreApplication::exec();
}

} // namespace

class TestInstanceChannel : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { qRegisterMetaType<HandOver>(); }

    void messageRoundTrip()
    {
        const HandOver sent{
            true,
            {u"/d/a.mkv"_s, quillet::batch::pathFromNativeBytes("/d/\x93\xAE\x89\xE6.mp4")},
            "xfce4-panel-123-host-quillet-0_TIME4567",
            "token-89",
            false,
            u"週刊"_s};
        const std::optional<HandOver> received = decodeHandOver(encodeHandOver(sent));
        QVERIFY(received);
        QCOMPARE(received->undoLastRun, true);
        QCOMPARE(received->paths, sent.paths);
        QCOMPARE(received->startupId, sent.startupId);
        QCOMPARE(received->activationToken, sent.activationToken);
        QCOMPARE(received->showHistory, false);
        QCOMPARE(received->recipe, u"週刊"_s);
    }

    // --history travels to the open window as --undo-last does, each on its own.
    void historyRequestRoundTrip_data()
    {
        QTest::addColumn<bool>("undo");
        QTest::addColumn<bool>("history");
        QTest::newRow("the list of recent runs") << false << true;
        QTest::newRow("the undo of the last run") << true << false;
    }

    void historyRequestRoundTrip()
    {
        QFETCH(bool, undo);
        QFETCH(bool, history);
        const std::optional<HandOver> received =
            decodeHandOver(encodeHandOver({undo, {}, {}, {}, history}));
        QVERIFY(received);
        QCOMPARE(received->undoLastRun, undo);
        QCOMPARE(received->showHistory, history);
    }

    // Whatever arrives on the socket is checked before anything is taken in.
    void malformedMessagesAreRefused_data()
    {
        QTest::addColumn<QByteArray>("message");
        const QByteArray good = encodeHandOver({false, {u"/d/a.mkv"_s}, {}, {}});
        QTest::newRow("empty") << QByteArray();
        QTest::newRow("cut short") << good.left(good.size() - 1);
        QTest::newRow("trailing bytes") << good + "x";
        QTest::newRow("relative path") << encodeHandOver({false, {u"a.mkv"_s}, {}, {}});
        QTest::newRow("NUL in a path") << encodeHandOver({false, {u"/d/a\u0000b"_s}, {}, {}});
        QByteArray wrongMagic = good;
        wrongMagic[5] = 'X';
        QTest::newRow("not ours") << wrongMagic;
        QByteArray hugeCount = good;
        // size, magic, undo flag, two empty tokens (4 bytes each), then the count
        hugeCount.replace(17, 4, QByteArray("\xFF\xFF\xFF\xFF", 4));
        QTest::newRow("absurd count") << hugeCount;
    }
    void malformedMessagesAreRefused()
    {
        QFETCH(QByteArray, message);
        QVERIFY(!decodeHandOver(message));
    }

    void onlyExistingItemsAreTakenIn()
    {
        QTemporaryDir dir;
        const QString file = quillet::test::writeFile(dir.filePath(u"a.txt"_s), "A");
        QCOMPARE(existingPaths({file, dir.filePath(u"gone.txt"_s), dir.path() + u"/"_s}),
                 (QStringList{file, dir.path()}));
    }

    // A second start hands its files to the first and learns that they arrived.
    void secondStartHandsOver()
    {
        QTemporaryDir dir;
        const QString name = dir.filePath(u"quillet.socket"_s);
        InstanceChannel first(name);
        QVERIFY(first.listen());
        QVERIFY((QFileInfo(name).permissions() & (QFile::ReadOther | QFile::WriteOther)) == 0);
        QSignalSpy spy(&first, &InstanceChannel::handedOver);
        const HandOver sent{false, {u"/d/a.mkv"_s, u"/d/b.mkv"_s}, {}, {}};
        auto second = QtConcurrent::run([&] {
            InstanceChannel channel(name);
            return channel.handToRunningInstance(sent);
        });
        QTRY_COMPARE(spy.size(), 1);
        QTRY_VERIFY(second.isFinished());
        QVERIFY(second.result());
        QCOMPARE(spy.first().first().value<HandOver>().paths, sent.paths);

        InstanceChannel third(name);
        QVERIFY(!third.listen()); // the first still holds the socket
    }

    // The socket went to the shared temporary folder when the runtime folder was unusable, and
    // another user listening there received the paths.
    void socketFolderCheck_data()
    {
        QTest::addColumn<QString>("setup");
        QTest::addColumn<bool>("accepted");
        QTest::newRow("own folder, 0700") << u"0700"_s << true;
        QTest::newRow("0777") << u"0777"_s << false;
        QTest::newRow("0750") << u"0750"_s << false;
        QTest::newRow("foreign owner") << u"foreign"_s << false;
        QTest::newRow("symlink to a private folder") << u"symlink"_s << false;
        QTest::newRow("a file") << u"file"_s << false;
        QTest::newRow("missing") << u"missing"_s << false;
        QTest::newRow("unset") << u"unset"_s << false;
    }
    void socketFolderCheck()
    {
        QFETCH(QString, setup);
        QFETCH(bool, accepted);
        QTemporaryDir dir;
        const QString runtime = dir.filePath(u"runtime"_s);
        const QString cache = dir.filePath(u"cache"_s);
        const QByteArray name = QFile::encodeName(runtime);
        uint owner = currentUserId();
        if (setup == u"symlink") {
            QVERIFY(QDir(dir.path()).mkdir(u"real"_s));
            ::chmod(QFile::encodeName(dir.filePath(u"real"_s)).constData(), 0700);
            QVERIFY(QFile::link(dir.filePath(u"real"_s), runtime));
        } else if (setup == u"file") {
            quillet::test::writeFile(runtime);
        } else if (setup != u"missing" && setup != u"unset") {
            QCOMPARE(::mkdir(name.constData(), 0700), 0);
            ::chmod(name.constData(), setup == u"foreign" ? 0700 : setup.toUInt(nullptr, 8));
        }
        if (setup == u"foreign")
            owner += 1; // the folder is then another user's
        QCOMPARE(!privateFolderProblem(runtime, owner).has_value(), accepted);
        if (setup == u"foreign")
            return; // our fallback folder is not that other user's either
        const SocketLocation location =
            instanceSocketLocation(setup == u"unset" ? QString() : runtime, cache, owner);
        const QString expectedFolder = accepted ? runtime : cache + u"/quillet-socket"_s;
        QCOMPARE(location.path, expectedFolder + u"/quillet.socket"_s);
        QVERIFY(!privateFolderProblem(expectedFolder, owner));
        QVERIFY(!location.path.startsWith(QDir::tempPath() + u"/quillet"_s));
    }

    // Our own folder is checked on every start like the runtime folder, never repaired: one
    // that others could enter may already hold their socket.
    void ownFolderOpenToOthersGivesNoSocket()
    {
        QTemporaryDir dir;
        const QString own = dir.filePath(u"cache/quillet-socket"_s);
        QVERIFY(QDir().mkpath(own));
        ::chmod(QFile::encodeName(own).constData(), 0777);
        const SocketLocation location =
            instanceSocketLocation({}, dir.filePath(u"cache"_s), currentUserId());
        QVERIFY(location.path.isEmpty());
        QVERIFY(location.problem.contains(own));
    }

    // A runtime folder that really belongs to another user (root's, seen by nobody) falls back.
    void foreignRuntimeFolderFallsBack()
    {
        if (::geteuid() != 0)
            QSKIP("a folder of another user can only be made as root");
        QTemporaryDir dir;
        ::chmod(QFile::encodeName(dir.path()).constData(), 0755);
        const QString runtime = dir.filePath(u"runtime"_s);
        QCOMPARE(::mkdir(QFile::encodeName(runtime).constData(), 0700), 0);
        const QString problem = quillet::test::runUnprivileged([&] {
            QTemporaryDir cache;
            const SocketLocation location =
                instanceSocketLocation(runtime, cache.path(), currentUserId());
            if (location.path != cache.path() + u"/quillet-socket/quillet.socket"_s)
                return u"socket at "_s + location.path + u" "_s + location.problem;
            return QString();
        });
        QVERIFY2(problem.isEmpty(), qPrintable(problem));
    }

    // The client never checked who listens: a listener of another user received the paths.
    // Both ends check the real peer credentials; the seam only names whom they expect.
    void peerOfAnotherUserIsRefused_data()
    {
        QTest::addColumn<bool>("strangerListens");
        QTest::newRow("the listener is a stranger to the client") << true;
        QTest::newRow("the client is a stranger to the listener") << false;
    }
    void peerOfAnotherUserIsRefused()
    {
        QFETCH(bool, strangerListens);
        QTemporaryDir dir;
        const QString name = dir.filePath(u"quillet.socket"_s);
        InstanceChannel listener(name);
        if (!strangerListens)
            listener.setTrustedUser(currentUserId() + 1);
        QVERIFY(listener.listen());
        QSignalSpy spy(&listener, &InstanceChannel::handedOver);
        auto client = QtConcurrent::run([&] {
            InstanceChannel channel(name);
            if (strangerListens)
                channel.setTrustedUser(currentUserId() + 1);
            return channel.handToRunningInstance(
                {false, {u"/home/u/tax-2024-private.pdf"_s}, {}, {}}, 1000);
        });
        QTRY_VERIFY_WITH_TIMEOUT(client.isFinished(), 5000);
        QVERIFY(!client.result());
        QTest::qWait(100);
        QCOMPARE(spy.size(), 0);
        // The listener is still there for this user.
        auto ownClient = QtConcurrent::run([&] {
            InstanceChannel own(name);
            return own.handToRunningInstance({false, {}, {}, {}}, 1000);
        });
        if (strangerListens)
            QTRY_COMPARE(spy.size(), 1);
        QTRY_VERIFY(ownClient.isFinished());
        QCOMPARE(ownClient.result(), strangerListens);
    }

    // 1,060 idle connections used up the descriptors, Qt closed the server and deleted the
    // socket; unfinished 64 MiB messages grew the window from 39 to 423 MiB.
    void floodLeavesTheServerListeningWithBoundedMemory()
    {
        rlimit limit{};
        ::getrlimit(RLIMIT_NOFILE, &limit);
        QTemporaryDir dir;
        const QString name = dir.filePath(u"quillet.socket"_s);
        QProcess server;
        // Under AddressSanitizer freed memory is held back for a while; the bound is about what
        // the server itself keeps.
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert(u"ASAN_OPTIONS"_s,
                           environment.value(u"ASAN_OPTIONS"_s) + u":quarantine_size_mb=0"_s);
        server.setProcessEnvironment(environment);
        server.start(QCoreApplication::applicationFilePath(), {u"--listen"_s, name});
        QVERIFY(server.waitForReadyRead(10000));
        QCOMPARE(server.readLine().trimmed(), QByteArray("listening"));
        const auto stop = qScopeGuard([&] {
            server.kill();
            server.waitForFinished();
        });
        const qint64 pid = server.processId();
        // Our side needs a descriptor for each connection; the server keeps its own limit.
        if (limit.rlim_max != RLIM_INFINITY && limit.rlim_max < kIdleConnections + 200)
            QSKIP("too few descriptors allowed here for the clients");
        const rlimit raised{std::max<rlim_t>(limit.rlim_cur, kIdleConnections + 200),
                            limit.rlim_max};
        QCOMPARE(::setrlimit(RLIMIT_NOFILE, &raised), 0);
        const auto restore = qScopeGuard([&] { ::setrlimit(RLIMIT_NOFILE, &limit); });

        const qint64 baselineKiB = statusKiB(pid, "VmHWM");
        const qsizetype baselineFds = openDescriptors(pid);
        QList<int> clients;
        const auto closeClients = qScopeGuard([&] {
            for (const int fd : std::as_const(clients))
                ::close(fd);
        });
        const QByteArray path = QFile::encodeName(name);
        QElapsedTimer clock;
        clock.start();
        while (clients.size() < kIdleConnections && clock.elapsed() < 60000) {
            const int fd = connectRaw(path);
            if (fd < 0)
                QThread::msleep(1); // the queue is full until the server has taken some
            else
                clients.append(fd);
        }
        QCOMPARE(clients.size(), kIdleConnections);
        const qsizetype floodFds = openDescriptors(pid);

        // Six unfinished messages of the largest size, and one claiming far more.
        const qsizetype largest = 16 << 20;
        QByteArray body(12 << 20, 'x');
        qsizetype taken = 0;
        for (int i = 0; i < 6; ++i) {
            const int fd = connectRaw(path);
            QVERIFY(fd >= 0);
            clients.append(fd);
            taken += sendFor(fd, header(quint32(largest - 4)) + body, 1500);
        }
        const int huge = connectRaw(path);
        QVERIFY(huge >= 0);
        clients.append(huge);
        sendFor(huge, header(0xFFFFFFF0u) + body, 1000);
        const qint64 peakKiB = statusKiB(pid, "VmHWM");

        QCOMPARE(server.state(), QProcess::Running);
        QVERIFY(QFileInfo::exists(name));
        InstanceChannel next(name);
        QVERIFY(next.handToRunningInstance({false, {u"/d/a.mkv"_s}, {}, {}}));
        QVERIFY(server.waitForReadyRead(5000));
        QCOMPARE(server.readLine().trimmed(), QByteArray("took 1"));
        qInfo("server: %lld KiB peak before, %lld KiB after %d idle connections and %lld MiB "
              "of unfinished messages sent; descriptors %lld before, %lld after the idle ones",
              baselineKiB, peakKiB, kIdleConnections, qint64(taken >> 20), qint64(baselineFds),
              qint64(floodFds));
        // A handful of connections, and a few tens of MiB for all unfinished messages.
        QVERIFY(floodFds <= baselineFds + 16);
        QVERIFY2(peakKiB - baselineKiB < 64 * 1024,
                 qPrintable(u"grew by %1 KiB"_s.arg(peakKiB - baselineKiB)));
    }

    void staleSocketIsTakenOver()
    {
        QTemporaryDir dir;
        const QString name = dir.filePath(u"quillet.socket"_s);
        {
            InstanceChannel gone(name);
            QVERIFY(gone.listen());
        }
        quillet::test::writeFile(name, {}); // a leftover file where the socket was
        InstanceChannel next(name);
        QVERIFY(!next.handToRunningInstance({false, {u"/d/a"_s}, {}, {}}, 200));
        QVERIFY(next.listen());
    }
};

int main(int argc, char** argv)
{
    if (argc == 3 && qstrcmp(argv[1], "--listen") == 0)
        return listenOnly(argc, argv);
    QCoreApplication app(argc, argv);
    TestInstanceChannel test;
    return QTest::qExec(&test, argc, argv);
}
#include "tst_instancechannel.moc"
