// A name's checksum checked against the file, told in words, and mended in the names' lines.
#include "checksum/checksummend.h"
#include "checksum/nameverification.h"
#include "checksum/verificationrun.h"
#include "cutonread.h"
#include "testfiles.h"
#include "unprivileged.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

using namespace quillet::checksum;
using namespace Qt::Literals::StringLiterals;
using Kind = NameVerdict::Kind;

Q_DECLARE_METATYPE(NameVerdict::Kind)

namespace {

class NoProgress final : public ChecksumProgress {
public:
    void begin(const QString&) override {}
    void step(const QString&) override {}
    void end() override {}
};

// Everything the window lists of a batch: "kind text" per item, in order.
QStringList checkedRows(const QStringList& paths, VerificationRun& run)
{
    QStringList rows;
    run.run(paths, u'/', [&rows](qsizetype item, const NameVerdict& verdict) {
        rows.append(u"%1 %2"_s.arg(item).arg(verdictText(verdict)));
    });
    return rows;
}

} // namespace

class TestNameVerification : public QObject {
    Q_OBJECT

private slots:
    // "123456789" sums to CBF43926.
    void verdicts_data()
    {
        QTest::addColumn<QString>("name"); // ending in "/": a folder
        QTest::addColumn<Kind>("kind");
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("word");
        QTest::newRow("match") << u"ep [CBF43926].mkv"_s << Kind::Match << u"一致"_s << u"OK"_s;
        QTest::newRow("match, lower case in round brackets")
            << u"ep (cbf43926).mkv"_s << Kind::Match << u"一致"_s << u"OK"_s;
        QTest::newRow("mismatch") << u"ep [a1b2c3d4].mkv"_s << Kind::Mismatch
                                  << u"不一致 (名前 A1B2C3D4・実際 CBF43926)"_s
                                  << u"不一致 A1B2C3D4 CBF43926"_s;
        QTest::newRow("no checksum, only a resolution")
            << u"ep [1080].mkv"_s << Kind::NoChecksum << u"チェックサムなし"_s << u"なし"_s;
        QTest::newRow("a folder is not read, whatever its name")
            << u"season [CBF43926]/"_s << Kind::Folder << u"フォルダ (検証しません)"_s << u"なし"_s;
    }
    void verdicts()
    {
        QFETCH(QString, name);
        QFETCH(Kind, kind);
        QFETCH(QString, text);
        QFETCH(QString, word);
        QTemporaryDir dir;
        QString path = dir.filePath(name);
        if (path.endsWith(u'/')) {
            path.chop(1);
            QVERIFY(QDir().mkpath(path));
        } else {
            quillet::test::writeFile(path, "123456789");
        }
        NoProgress progress;
        const NameVerdict verdict = verifyNamedChecksum(path, u'/', progress);
        QCOMPARE(verdict.kind, kind);
        QCOMPARE(verdictText(verdict), text);
        QCOMPARE(verdictWord(verdict), word);
    }

    // Root reads every file: the check runs as an unprivileged user.
    void unreadableFileSaysWhy()
    {
        const QString failed = quillet::test::runUnprivileged([]() -> QString {
            QTemporaryDir dir;
            const QString path = dir.filePath(u"ep [CBF43926].mkv"_s);
            quillet::test::writeFile(path, "123456789");
            QFile::setPermissions(path, QFileDevice::Permissions());
            NoProgress progress;
            const NameVerdict verdict = verifyNamedChecksum(path, u'/', progress);
            const QString text = verdictText(verdict);
            return text == u"読めません: アクセスが拒否されました"_s ? QString() : text;
        });
        QVERIFY2(failed.isEmpty(), qPrintable(failed));
    }

    // Each item in order; one that is gone, or is cut short while it is read, says so and the
    // next is still checked.
    void runChecksEveryItemInOrder()
    {
        QTemporaryDir dir;
        const QString right =
            quillet::test::writeFile(dir.filePath(u"a [CBF43926]"_s), "123456789");
        const QString gone = dir.filePath(u"b [CBF43926]"_s);
        // Large and sparse, so that reading it takes a while; cut short at its first read.
        const QString cut = dir.filePath(u"c [00000000]"_s);
        {
            QFile file(cut);
            QVERIFY(file.open(QIODevice::WriteOnly));
            QVERIFY(file.resize(qint64(1) << 30));
        }
        const quillet::test::CutOnFirstRead cutter(cut, 4096);
        VerificationRun run;
        QCOMPARE(checkedRows({right, gone, cut, dir.path()}, run),
                 (QStringList{u"0 一致"_s, u"1 読めません: 見つかりません"_s,
                              u"2 読めません: 読んでいる間にファイルが短くなりました"_s,
                              u"3 フォルダ (検証しません)"_s}));
        QVERIFY(cutter.cut());
    }

    void stoppedRunTellsNoMore()
    {
        QTemporaryDir dir;
        const QString first =
            quillet::test::writeFile(dir.filePath(u"a [CBF43926]"_s), "123456789");
        VerificationRun run;
        QStringList rows;
        const bool complete =
            run.run({first, first, first}, u'/', [&](qsizetype item, const NameVerdict& verdict) {
                rows.append(verdictText(verdict));
                if (item == 0)
                    run.requestStop();
            });
        QVERIFY(!complete);
        QCOMPARE(rows, QStringList{u"一致"_s});
    }

    void summaryCountsEachKind()
    {
        VerdictCounts counts;
        QCOMPARE(counts.summary(), u"検証する項目がありません"_s);
        for (const Kind kind : {Kind::Match, Kind::Mismatch, Kind::Match, Kind::Unreadable})
            counts.add(kind);
        QCOMPARE(counts.summary(), u"一致 2件・不一致 1件・読めません 1件"_s);
    }

    void lineWithChecksum_data()
    {
        QTest::addColumn<QString>("line");
        QTest::addColumn<QString>("mended"); // empty: left alone
        QTest::newRow("square brackets") << u"ep [a1b2c3d4].mkv"_s << u"ep [0F1E2D3C].mkv"_s;
        QTest::newRow("round brackets kept") << u"ep (A1B2C3D4).mkv"_s << u"ep (0F1E2D3C).mkv"_s;
        QTest::newRow("only the last group")
            << u"[A1B2C3D4] ep [A1B2C3D4].mkv"_s << u"[A1B2C3D4] ep [0F1E2D3C].mkv"_s;
        QTest::newRow("in the file name, not the folder")
            << u"x [A1B2C3D4]/ep [A1B2C3D4]"_s << u"x [A1B2C3D4]/ep [0F1E2D3C]"_s;
        QTest::newRow("other digits") << u"ep [11111111].mkv"_s << QString();
        QTest::newRow("no group left") << u"ep.mkv"_s << QString();
    }
    void lineWithChecksum()
    {
        QFETCH(QString, line);
        QFETCH(QString, mended);
        QCOMPARE(quillet::checksum::lineWithChecksum(line, u'/', u"A1B2C3D4", u"0F1E2D3C")
                     .value_or(QString()),
                 mended);
    }

    // Lines edited since the check began, or without the wrong digits, are left alone and
    // counted; the others mended in one text.
    void mendLeavesEditedLinesAlone()
    {
        const quillet::batch::ChunkedText names(
            u"a [A1B2C3D4].mkv\r\nb [A1B2C3D4].mkv\r\nc.mkv\r\nd [A1B2C3D4].mkv\r\ne [DEADBEEF].mkv"_s);
        const QList<ChecksumMend> mends = {
            {0, u"a [A1B2C3D4].mkv"_s, u"A1B2C3D4"_s, u"0F1E2D3C"_s},
            {1, u"b (before) [A1B2C3D4].mkv"_s, u"A1B2C3D4"_s, u"0F1E2D3C"_s},
            {2, u"c.mkv"_s, u"A1B2C3D4"_s, u"0F1E2D3C"_s},
            {3, u"d [A1B2C3D4].mkv"_s, u"A1B2C3D4"_s, u"DEADBEEF"_s},
            {4, u"e [DEADBEEF].mkv"_s, u"A1B2C3D4"_s, u"DEADBEEF"_s},
            {7, u"gone [A1B2C3D4].mkv"_s, u"A1B2C3D4"_s, u"DEADBEEF"_s}};
        const MendedNames outcome = mendChecksums(names, mends, u'/');
        QCOMPARE(
            outcome.names.toString(),
            u"a [0F1E2D3C].mkv\r\nb [A1B2C3D4].mkv\r\nc.mkv\r\nd [DEADBEEF].mkv\r\ne [DEADBEEF].mkv"_s);
        QCOMPARE(outcome.mended, 2);
        QCOMPARE(outcome.edited, 2);
        QCOMPARE(outcome.unmatched, 1);
        QCOMPARE(outcome.alreadyRight, 1);
    }
};

QTEST_GUILESS_MAIN(TestNameVerification)
#include "tst_nameverification.moc"
