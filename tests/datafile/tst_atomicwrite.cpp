#include "datafile/atomicwrite.h"
#include "testfiles.h"
#include "unprivileged.h"

#include <QDir>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

#include <sys/stat.h>
#include <unistd.h>

using namespace quillet::datafile;
using namespace Qt::Literals::StringLiterals;

namespace {

mode_t modeOf(const QString& path)
{
    struct stat status {};
    return ::lstat(QFile::encodeName(path).constData(), &status) == 0 ? status.st_mode : 0;
}

// Sets up one kind of existing AutoComplete.txt in `folder`, writes over it, and says what went
// wrong; empty when the file was treated as it should be. Runs as an unprivileged user.
QString checkDataFileKind(const QString& kind, const QString& folder)
{
    const QString path = folder + u"/AutoComplete.txt"_s;
    const QString elsewhere = folder + u"/elsewhere.txt"_s;
    const QByteArray name = QFile::encodeName(path);
    const auto fail = [](const QString& what) { return what; };
    const auto write = [&] { return writeFileAtomically(path, "new"); };
    const auto leftAloneBecause = [&](const std::optional<WriteError>& error,
                                      const QString& reason) -> QString {
        if (!error)
            return u"written over"_s;
        if (!error->reason.contains(u"そのまま"_s) || !error->reason.contains(reason))
            return u"reason: "_s + error->reason;
        return {};
    };
    if (kind == u"mode 000") {
        quillet::test::writeFile(path, "kept");
        ::chmod(name.constData(), 0);
        if (QString problem = leftAloneBecause(write(), u"アクセスが拒否されました"_s);
            !problem.isEmpty())
            return problem;
        if ((modeOf(path) & 07777) != 0)
            return fail(u"mode changed"_s);
        ::chmod(name.constData(), 0600);
        return quillet::test::readFile(path) == "kept" ? QString() : fail(u"content lost"_s);
    }
    if (kind == u"folder") {
        QDir(folder).mkpath(u"AutoComplete.txt/inner"_s);
        if (QString problem = leftAloneBecause(write(), u"フォルダーです"_s); !problem.isEmpty())
            return problem;
        return QFileInfo::exists(path + u"/inner"_s) ? QString() : fail(u"folder lost"_s);
    }
    if (kind == u"FIFO") {
        ::mkfifo(name.constData(), 0600);
        if (QString problem = leftAloneBecause(write(), u"通常のファイルではありません"_s);
            !problem.isEmpty())
            return problem;
        return S_ISFIFO(modeOf(path)) ? QString() : fail(u"FIFO replaced"_s);
    }
    if (kind == u"link to a device") {
        QFile::link(u"/dev/null"_s, path);
        if (QString problem = leftAloneBecause(write(), u"通常のファイルではありません"_s);
            !problem.isEmpty())
            return problem;
        return S_ISLNK(modeOf(path)) ? QString() : fail(u"link replaced"_s);
    }
    if (kind == u"symlink to a file elsewhere") {
        quillet::test::writeFile(elsewhere, "old");
        ::chmod(QFile::encodeName(elsewhere).constData(), 0640);
        QFile::link(elsewhere, path);
        if (const auto error = write())
            return u"not written: "_s + error->reason;
        if (!S_ISLNK(modeOf(path)))
            return fail(u"the link became a plain file"_s);
        if (quillet::test::readFile(elsewhere) != "new")
            return fail(u"not written through"_s);
        return (modeOf(elsewhere) & 07777) == 0640 ? QString() : fail(u"mode of the file lost"_s);
    }
    if (kind == u"dangling symlink") {
        QFile::link(elsewhere, path);
        const auto error = write();
        if (!error || !error->reason.contains(u"リンク先"_s))
            return fail(u"no refusal naming the link"_s);
        return S_ISLNK(modeOf(path)) && !QFileInfo::exists(elsewhere) ? QString()
                                                                      : fail(u"link touched"_s);
    }
    if (kind == u"0600 kept") {
        quillet::test::writeFile(path, "old");
        ::chmod(name.constData(), 0600);
        if (const auto error = write())
            return u"not written: "_s + error->reason;
        if (quillet::test::readFile(path) != "new")
            return fail(u"not written"_s);
        return (modeOf(path) & 07777) == 0600
                   ? QString()
                   : fail(u"mode now "_s + QString::number(modeOf(path) & 07777, 8));
    }
    return u"unknown kind"_s;
}

} // namespace

class TestAtomicWrite : public QObject {
    Q_OBJECT

private slots:
    void replacesTheWholeFileAndLeavesNothingBehind()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath(u"AutoComplete.txt"_s);
        quillet::test::writeFile(path, "old content that is longer");
        QVERIFY(!writeFileAtomically(path, "new"));
        QCOMPARE(quillet::test::readFile(path), QByteArray("new"));
        QCOMPARE(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden),
                 QStringList{u"AutoComplete.txt"_s});
    }

    void missingFolderSaysSo()
    {
        QTemporaryDir dir;
        const auto error = writeFileAtomically(dir.filePath(u"gone/AutoComplete.txt"_s), "x");
        QVERIFY(error);
        QCOMPARE(error->reason, u"見つかりません"_s);
    }

    void readOnlyFolderSaysSo()
    {
        if (::geteuid() == 0)
            QSKIP("root writes into any folder");
        QTemporaryDir dir;
        const QString path = dir.filePath(u"AutoComplete.txt"_s);
        quillet::test::writeFile(path, "kept");
        QVERIFY(QFile::setPermissions(dir.path(), QFile::ReadOwner | QFile::ExeOwner));
        const auto error = writeFileAtomically(path, "x");
        QFile::setPermissions(dir.path(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        QVERIFY(error);
        QCOMPARE(error->reason, u"アクセスが拒否されました"_s);
        QCOMPARE(quillet::test::readFile(path), QByteArray("kept"));
    }

    // An AutoComplete.txt that could not be read was replaced by an empty one at exit; a FIFO
    // or a link became a plain file, and a file kept at 0600 became 0644. Run as an
    // unprivileged user, since root reads a file of mode 000.
    void unreadableFilesAreLeftAloneAndLinksAndModesKept_data()
    {
        QTest::addColumn<QString>("kind");
        for (const char* kind : {"mode 000", "folder", "FIFO", "link to a device",
                                 "symlink to a file elsewhere", "dangling symlink", "0600 kept"})
            QTest::newRow(kind) << QString::fromUtf8(kind);
    }
    void unreadableFilesAreLeftAloneAndLinksAndModesKept()
    {
        QFETCH(QString, kind);
        const QString problem = quillet::test::runUnprivileged([&] {
            QTemporaryDir dir;
            if (!dir.isValid())
                return u"no temporary folder"_s;
            return checkDataFileKind(kind, dir.path());
        });
        QVERIFY2(problem.isEmpty(), qPrintable(problem));
    }

    // A full disk used to read "Unknown error"; the old file must survive it untouched.
    void fullDiskSaysSoAndKeepsTheOldFile()
    {
        QTemporaryDir dir;
        const QString mount = dir.path();
        QProcess mounter;
        mounter.start(u"mount"_s, {u"-t"_s, u"tmpfs"_s, u"-o"_s, u"size=64k"_s, u"tmpfs"_s, mount});
        if (::geteuid() != 0 || !mounter.waitForFinished(10000) || mounter.exitCode() != 0)
            QSKIP("no small file system can be mounted here");
        const auto unmount = qScopeGuard([&] { QProcess::execute(u"umount"_s, {mount}); });
        const QString path = mount + u"/AutoComplete.txt"_s;
        quillet::test::writeFile(path, "kept");
        const auto error = writeFileAtomically(path, QByteArray(1 << 20, 'x'));
        QVERIFY(error);
        QCOMPARE(error->reason, u"ディスクの空き容量が足りません"_s);
        QCOMPARE(quillet::test::readFile(path), QByteArray("kept"));
        QCOMPARE(QDir(mount).entryList(QDir::Files | QDir::Hidden),
                 QStringList{u"AutoComplete.txt"_s});
    }
};

QTEST_GUILESS_MAIN(TestAtomicWrite)
#include "tst_atomicwrite.moc"
