// quillet --verify: its lines, its exit statuses, and its verdicts against RHash's.
#include "testfiles.h"
#include "verifycommand.h"

#include <QDir>
#include <QFile>
#include <QHash>
#include <QProcess>
#include <QRandomGenerator>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>

using namespace Qt::Literals::StringLiterals;

namespace {

struct Run {
    int status = -1;
    QByteArray out;
    QByteArray err;
};

Run verified(const QList<QByteArray>& arguments, const QByteArray& workingFolder)
{
    QList<const char*> pointers;
    for (const QByteArray& argument : arguments)
        pointers.append(argument.constData());
    Run run;
    run.status = quillet::app::verifyNamedChecksums(
        pointers, workingFolder, [&run](const QByteArray& line) { run.out += line; },
        [&run](const QByteArray& line) { run.err += line; });
    return run;
}

// The program itself, with no display at all and Qt told to use X11: anything that touched
// the window system would abort.
Run program(const QStringList& arguments, const QString& workingFolder)
{
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.remove(u"DISPLAY"_s);
    environment.remove(u"WAYLAND_DISPLAY"_s);
    environment.insert(u"QT_QPA_PLATFORM"_s, u"xcb"_s);
    QProcess process;
    process.setProcessEnvironment(environment);
    process.setWorkingDirectory(workingFolder);
    process.start(QStringLiteral(QUILLET_PROGRAM), arguments);
    process.waitForFinished(60'000);
    Run run;
    run.status = process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
    run.out = process.readAllStandardOutput();
    run.err = process.readAllStandardError();
    return run;
}

} // namespace

class TestVerifyCommand : public QObject {
    Q_OBJECT

private slots:
    void initTestCase()
    {
        QVERIFY(m_dir.isValid());
        const auto file = [this](const QString& name, const QByteArray& content) {
            QVERIFY(QDir().mkpath(QFileInfo(m_dir.filePath(name)).path()));
            quillet::test::writeFile(m_dir.filePath(name), content);
        };
        file(u"right/a [CBF43926].txt"_s, "123456789");
        file(u"right/sub/b (352441c2).txt"_s, "abc");
        file(u"mixed/a [CBF43926].txt"_s, "123456789");
        file(u"mixed/b [DEADBEEF].txt"_s, "123456789");
        file(u"mixed/c.txt"_s, "x");
        // A link inside a folder is not followed, to a folder or a file.
        QVERIFY(QFile::link(m_dir.filePath(u"right"_s), m_dir.filePath(u"mixed/d link"_s)));
        QVERIFY(QFile::link(m_dir.filePath(u"mixed/b [DEADBEEF].txt"_s),
                            m_dir.filePath(u"mixed/e [DEADBEEF] link"_s)));
    }

    void linesAndStatus_data()
    {
        QTest::addColumn<QList<QByteArray>>("arguments");
        QTest::addColumn<int>("status");
        QTest::addColumn<QByteArray>("out");
        QTest::addColumn<QByteArray>("err");
        QTest::newRow("every checksum right, subfolders in name order")
            << QList<QByteArray>{"right"} << 0
            << QByteArray("OK\tright/a [CBF43926].txt\nOK\tright/sub/b (352441c2).txt\n")
            << QByteArray("一致 2件\n");
        QTest::newRow("a wrong one, a file without, links left alone")
            << QList<QByteArray>{"mixed/"} << 1
            << QByteArray("OK\tmixed/a [CBF43926].txt\n不一致 DEADBEEF CBF43926\tmixed/b "
                          "[DEADBEEF].txt\nなし\tmixed/c.txt\n")
            << QByteArray("一致 1件・不一致 1件・チェックサムなし 1件\n");
        QTest::newRow("a file named directly, a link named directly is followed")
            << QList<QByteArray>{"mixed/c.txt", "mixed/e [DEADBEEF] link"} << 1
            << QByteArray("なし\tmixed/c.txt\n不一致 DEADBEEF CBF43926\tmixed/e [DEADBEEF] link\n")
            << QByteArray("不一致 1件・チェックサムなし 1件\n");
        QTest::newRow("only files without a checksum")
            << QList<QByteArray>{"mixed/c.txt"} << 0 << QByteArray("なし\tmixed/c.txt\n")
            << QByteArray("チェックサムなし 1件\n");
        QTest::newRow("a missing file")
            << QList<QByteArray>{"no such [CBF43926].txt"} << 1
            << QByteArray("エラー 見つかりません\tno such [CBF43926].txt\n")
            << QByteArray("読めません 1件\n");
    }
    void linesAndStatus()
    {
        QFETCH(QList<QByteArray>, arguments);
        QFETCH(int, status);
        QFETCH(QByteArray, out);
        QFETCH(QByteArray, err);
        const Run run = verified(arguments, QFile::encodeName(m_dir.path()));
        QCOMPARE(run.out, out);
        QCOMPARE(run.err, err);
        QCOMPARE(run.status, status);
    }

    // Answered without a display, and never by a window that is open.
    void programStatus_data()
    {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<int>("status");
        QTest::addColumn<QByteArray>("firstError");
        QTest::newRow("all right")
            << QStringList{u"--verify"_s, u"right"_s} << 0 << QByteArray("一致 2件");
        QTest::newRow("a mismatch") << QStringList{u"--verify"_s, u"mixed"_s} << 1
                                    << QByteArray("一致 1件・不一致 1件・チェックサムなし 1件");
        QTest::newRow("no file to check")
            << QStringList{u"--verify"_s} << 2
            << QByteArray("--verify には検証するファイルかフォルダーを指定してください");
        QTest::newRow("with another option")
            << QStringList{u"--verify"_s, u"--history"_s, u"right"_s} << 2
            << QByteArray("--verify は --undo-last や --history と一緒には使えません");
        QTest::newRow("an unknown option, no display")
            << QStringList{u"--bogus"_s} << 2 << QByteArray("不明なオプションです: --bogus");
    }
    void programStatus()
    {
        QFETCH(QStringList, arguments);
        QFETCH(int, status);
        QFETCH(QByteArray, firstError);
        const Run run = program(arguments, m_dir.path());
        QCOMPARE(run.err.split('\n').first(), firstError);
        QCOMPARE(run.status, status);
    }

    // Generated files with right, wrong and missing checksums: each file's verdict is RHash's.
    void verdictsAgreeWithRHash()
    {
        const QString rhash = QStandardPaths::findExecutable(u"rhash"_s);
        if (rhash.isEmpty())
            QSKIP("rhash is not installed (scripts/install-deps.sh installs it)");
        QTemporaryDir dir;
        QRandomGenerator random(26);
        QHash<QString, QByteArray> expected; // file name -> "OK", "ERR", or "" for none
        for (int i = 0; i < 60; ++i) {
            QByteArray content(int(random.bounded(1, 300'000)), Qt::Uninitialized);
            for (char& c : content)
                c = char(random.bounded(256));
            const QString path = dir.filePath(u"f%1.bin"_s.arg(i));
            quillet::test::writeFile(path, content);
        }
        // Their names are made from RHash's own sums, some of them spoiled.
        QProcess sums;
        sums.setWorkingDirectory(dir.path());
        sums.start(rhash, {u"--printf=%{crc32} %p\\n"_s, u"-r"_s, u"."_s});
        QVERIFY(sums.waitForFinished(60'000));
        for (const QByteArray& line : sums.readAllStandardOutput().split('\n')) {
            if (line.isEmpty())
                continue;
            const QByteArray crc = line.left(8).toUpper();
            const QString path = dir.filePath(QString::fromUtf8(line.mid(9)));
            const int n = QFileInfo(path).baseName().mid(1).toInt();
            QString name;
            if (n % 3 == 0) {
                name = u"f%1 [%2].bin"_s.arg(n).arg(QString::fromLatin1(crc));
                expected.insert(name, "OK");
            } else if (n % 3 == 1) {
                QByteArray wrong = crc;
                wrong[0] = wrong[0] == '0' ? '1' : '0';
                name = u"f%1 (%2).bin"_s.arg(n).arg(QString::fromLatin1(wrong.toLower()));
                expected.insert(name, "ERR");
            } else {
                name = u"f%1.bin"_s.arg(n);
                expected.insert(name, "");
            }
            QVERIFY(dir.filePath(name) == path || QFile::rename(path, dir.filePath(name)));
        }
        QCOMPARE(expected.size(), 60);

        QProcess check;
        check.setWorkingDirectory(dir.path());
        check.start(rhash, {u"--check-embedded"_s, u"-r"_s, u"."_s});
        QVERIFY(check.waitForFinished(60'000));
        QHash<QString, QByteArray> theirs;
        for (const QByteArray& line : check.readAllStandardOutput().split('\n')) {
            // "<file>   OK" or "<file>   ERR"; the generated names hold single spaces only.
            const QByteArray words = line.simplified();
            const QByteArray verdict = words.mid(words.lastIndexOf(' ') + 1);
            if (verdict == "OK" || verdict == "ERR")
                theirs.insert(
                    QFileInfo(QString::fromUtf8(words.left(words.lastIndexOf(' ')))).fileName(),
                    verdict);
        }
        const Run ours = verified({"."}, QFile::encodeName(dir.path()));
        QHash<QString, QByteArray> mine;
        for (const QByteArray& line : ours.out.split('\n')) {
            if (line.isEmpty())
                continue;
            const QByteArray verdict = line.left(line.indexOf('\t'));
            const QString file =
                QFileInfo(QString::fromUtf8(line.mid(line.indexOf('\t') + 1))).fileName();
            mine.insert(file, verdict == "OK" ? "OK" : verdict.startsWith("不一致") ? "ERR" : "");
        }
        for (auto it = expected.cbegin(); it != expected.cend(); ++it) {
            QCOMPARE(mine.value(it.key(), "missing"), it.value());
            QCOMPARE(theirs.value(it.key()), it.value());
        }
        QCOMPARE(ours.status, 1);
    }

private:
    QTemporaryDir m_dir;
};

QTEST_GUILESS_MAIN(TestVerifyCommand)
#include "tst_verifycommand.moc"
