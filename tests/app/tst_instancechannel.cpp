#include "batch/nativepath.h"
#include "instancechannel.h"
#include "testfiles.h"

#include <QDataStream>
#include <QFileInfo>
#include <QLocalSocket>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QtConcurrent/QtConcurrentRun>

using namespace quillet::app;
using namespace Qt::Literals::StringLiterals;

Q_DECLARE_METATYPE(quillet::app::HandOver)

class TestInstanceChannel : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { qRegisterMetaType<HandOver>(); }

    void messageRoundTrip()
    {
        const HandOver sent{
            true, {u"/d/a.mkv"_s, quillet::batch::pathFromNativeBytes("/d/\x93\xAE\x89\xE6.mp4")}};
        const std::optional<HandOver> received = decodeHandOver(encodeHandOver(sent));
        QVERIFY(received);
        QCOMPARE(received->undoLastRun, true);
        QCOMPARE(received->paths, sent.paths);
    }

    // Whatever arrives on the socket is checked before anything is taken in.
    void malformedMessagesAreRefused_data()
    {
        QTest::addColumn<QByteArray>("message");
        const QByteArray good = encodeHandOver({false, {u"/d/a.mkv"_s}});
        QTest::newRow("empty") << QByteArray();
        QTest::newRow("cut short") << good.left(good.size() - 1);
        QTest::newRow("trailing bytes") << good + "x";
        QTest::newRow("relative path") << encodeHandOver({false, {u"a.mkv"_s}});
        QTest::newRow("NUL in a path") << encodeHandOver({false, {u"/d/a\u0000b"_s}});
        QByteArray wrongMagic = good;
        wrongMagic[5] = 'X';
        QTest::newRow("not ours") << wrongMagic;
        QByteArray hugeCount = good;
        hugeCount.replace(9, 4, QByteArray("\xFF\xFF\xFF\xFF", 4));
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
        const HandOver sent{false, {u"/d/a.mkv"_s, u"/d/b.mkv"_s}};
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
        QVERIFY(!next.handToRunningInstance({false, {u"/d/a"_s}}, 200));
        QVERIFY(next.listen());
    }
};

QTEST_GUILESS_MAIN(TestInstanceChannel)
#include "tst_instancechannel.moc"
