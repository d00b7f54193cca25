// The runs the journal keeps, listed and taken back one by one, through real runs on real
// files: any run can be taken back, also when later runs renamed other files; an item that a
// later run renamed again, or whose old name a later run gave to another item, is reported
// naming that run and left alone; and taking back an undo is a redo.
#include "journal/journalfolder.h"
#include "journal/runhistory.h"
#include "rename/renamesession.h"
#include "testfiles.h"
#include "unprivileged.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QTest>

#include <sys/stat.h>

using namespace quillet;
using namespace quillet::journal;
using namespace Qt::Literals::StringLiterals;

Q_DECLARE_METATYPE(quillet::journal::RunKind)

namespace {

class QuietDialogs final : public rename::RunDialogs {
public:
    QStringList messages;
    void showMessage(const QString& text, const QString&) override { messages.append(text); }
    QString askName(const QString&, const QString&, const QString&) override { return {}; }
    bool askYesNo(const QString&) override { return false; }
};

} // namespace

class TestRunHistory : public QObject {
    Q_OBJECT

private:
    QTemporaryDir m_root;
    QString m_journals;
    QString m_files;
    QStringList m_runs; // the journal of each run of the case, by the case's numbers
    int m_case = 0;

    QString file(const QString& name) const { return m_files + u'/' + name; }
    QStringList fileNames() const
    {
        return QDir(m_files).entryList(QDir::Files | QDir::Dirs | QDir::NoDotAndDotDot, QDir::Name);
    }
    QString newestJournal() const
    {
        const QStringList files = journalFiles(m_journals);
        return files.isEmpty() ? QString() : QFileInfo(files.last()).fileName();
    }

    // "a>b,c>d": one rename run of the files folder.
    void renameRun(const QString& pairs)
    {
        rename::RunRequest request;
        request.journalFolder = m_journals;
        for (const QString& pair : pairs.split(u',')) {
            request.sources.append(file(pair.section(u'>', 0, 0)));
            request.targets.append(file(pair.section(u'>', 1, 1)));
        }
        QuietDialogs dialogs;
        rename::RenameSession session(std::move(request), dialogs, {});
        (void)session.run();
    }

    // Takes back the run of the journal as the window of recent runs does.
    RunUndo takeBack(const QString& journalName)
    {
        RunUndo undo = planUndoOfRun(m_journals, journalName);
        if (!undo.plan)
            return undo;
        rename::RunRequest request;
        request.kind = takingBackKind(undo.plan->undoneKind);
        request.sources = undo.plan->sources();
        request.targets = undo.plan->targets();
        request.undoSteps = undo.plan->steps;
        request.undoes = journalName;
        request.journalFolder = m_journals;
        QuietDialogs dialogs;
        rename::RenameSession session(std::move(request), dialogs, {});
        (void)session.run();
        return undo;
    }

    // "rename:a>b", or "undo:N" (take back run N of the case).
    void play(const QString& step)
    {
        if (step.startsWith(u"undo:"))
            (void)takeBack(m_runs.at(step.sliced(5).toInt()));
        else
            renameRun(step.sliced(7));
        m_runs.append(newestJournal());
    }

private slots:
    // The items of a run as the user reads them: a cycle's temporary name and a third name a
    // swap went through are steps of one item, not items of their own.
    void movedItemsJoinTheStepsOfOneItem_data()
    {
        QTest::addColumn<QStringList>("renames"); // "from>to"
        QTest::addColumn<QStringList>("items");
        QTest::newRow("plain renames")
            << QStringList{u"a>b"_s, u"c>d"_s} << QStringList{u"a>b"_s, u"c>d"_s};
        QTest::newRow("a shift from its free end")
            << QStringList{u"e2>e3"_s, u"e1>e2"_s} << QStringList{u"e2>e3"_s, u"e1>e2"_s};
        QTest::newRow("a rotation through a temporary name")
            << QStringList{u"a>T"_s, u"c>a"_s, u"b>c"_s, u"T>b"_s}
            << QStringList{u"a>b"_s, u"c>a"_s, u"b>c"_s};
        QTest::newRow("a swap through a third name")
            << QStringList{u"a>t"_s, u"b>a"_s, u"t>b"_s} << QStringList{u"a>b"_s, u"b>a"_s};
        QTest::newRow("an item moved twice, then another onto its first name")
            << QStringList{u"a>b"_s, u"b>c"_s, u"x>a"_s} << QStringList{u"a>c"_s, u"x>a"_s};
    }
    void movedItemsJoinTheStepsOfOneItem()
    {
        QFETCH(QStringList, renames);
        QFETCH(QStringList, items);
        QList<std::pair<QString, QString>> pairs;
        for (const QString& rename : renames)
            pairs.append({rename.section(u'>', 0, 0), rename.section(u'>', 1)});
        QStringList found;
        for (const auto& [from, to] : journal::movedItems(pairs))
            found.append(from + u'>' + to);
        QCOMPARE(found, items);
    }

    void init()
    {
        ++m_case;
        m_journals = m_root.filePath(u"journal%1"_s.arg(m_case));
        m_files = m_root.filePath(u"files%1"_s.arg(m_case));
        m_runs.clear();
        QVERIFY(QDir().mkpath(m_files));
    }

    void takeBackOneRun_data()
    {
        QTest::addColumn<QStringList>("files");
        QTest::addColumn<QStringList>("runs");
        QTest::addColumn<int>("takeBack");
        QTest::addColumn<QStringList>("after");
        QTest::addColumn<int>("laterRun"); // the run a problem names; -1: no problem

        QTest::newRow("the third-last run, while the two later ones renamed other files")
            << QStringList{u"a"_s, u"b"_s, u"c"_s, u"d"_s, u"e"_s, u"f"_s}
            << QStringList{u"rename:a>a1,b>b1,c>c1"_s, u"rename:d>d1"_s, u"rename:e>e1,f>f1"_s} << 0
            << QStringList{u"a"_s, u"b"_s, u"c"_s, u"d1"_s, u"e1"_s, u"f1"_s} << -1;
        QTest::newRow("an entry a later run renamed again is reported with that run")
            << QStringList{u"a"_s, u"b"_s} << QStringList{u"rename:a>a1,b>b1"_s, u"rename:a1>a2"_s}
            << 0 << QStringList{u"a2"_s, u"b"_s} << 1;
        QTest::newRow("an old name a later run gave to another file is reported with that run")
            << QStringList{u"a"_s, u"x"_s} << QStringList{u"rename:a>a1"_s, u"rename:x>a"_s} << 0
            << QStringList{u"a"_s, u"a1"_s} << 1;
        QTest::newRow("the entry comes back once the later run was taken back")
            << QStringList{u"a"_s} << QStringList{u"rename:a>a1"_s, u"rename:a1>a2"_s, u"undo:1"_s}
            << 0 << QStringList{u"a"_s} << -1;
        QTest::newRow("taking back an undo renames again: a redo")
            << QStringList{u"a"_s, u"b"_s} << QStringList{u"rename:a>a1,b>b1"_s, u"undo:0"_s} << 1
            << QStringList{u"a1"_s, u"b1"_s} << -1;
        QTest::newRow("a chain of runs taken back from the middle")
            << QStringList{u"a"_s, u"b"_s}
            << QStringList{u"rename:a>a1"_s, u"rename:b>b1"_s, u"rename:a1>a2"_s} << 1
            << QStringList{u"a2"_s, u"b"_s} << -1;
    }

    void takeBackOneRun()
    {
        QFETCH(QStringList, files);
        QFETCH(QStringList, runs);
        QFETCH(int, takeBack);
        QFETCH(QStringList, after);
        QFETCH(int, laterRun);
        for (const QString& name : files)
            test::writeFile(file(name), name.toUtf8());
        for (const QString& run : runs)
            play(run);
        QCOMPARE(m_runs.size(), runs.size());
        QCOMPARE(m_runs.count(QString()), 0);

        const RunUndo undo = this->takeBack(m_runs.at(takeBack));
        QVERIFY2(undo.plan, qPrintable(undo.message));
        QCOMPARE(fileNames(), after);
        if (laterRun < 0) {
            QVERIFY(undo.plan->problems.isEmpty());
        } else {
            QCOMPARE(undo.plan->problems.size(), 1);
            QCOMPARE(undo.plan->problems.first().laterRun, m_runs.at(laterRun));
            QVERIFY2(undo.plan->problems.first().reason.startsWith(u"後の"_s),
                     qPrintable(undo.plan->problems.first().reason));
        }
        // The run that took it back is in the journal, as the kind it is.
        if (undo.plan->steps.isEmpty())
            return;
        const QList<RunRecord> listed = recentRuns(m_journals);
        QCOMPARE(listed.first().undoes, m_runs.at(takeBack));
        QCOMPARE(listed.first().kind, takingBackKind(undo.plan->undoneKind));
    }

    // The runs newest first, each with what the list shows of it.
    void recentRunsTellEachRun()
    {
        for (const QString& name : {u"a.txt"_s, u"b.txt"_s, u"c.txt"_s, u"d.txt"_s, u"e.txt"_s})
            test::writeFile(file(name), name.toUtf8());
        play(u"rename:a.txt>A.txt,b.txt>B.txt,c.txt>C.txt,d.txt>D.txt"_s);
        play(u"rename:e.txt>E.txt"_s);
        play(u"undo:1"_s);

        const QList<RunRecord> runs = recentRuns(m_journals);
        QCOMPARE(runs.size(), 3);
        QCOMPARE(runs.at(0).kind, RunKind::Undo);
        QCOMPARE(runs.at(0).undoes, m_runs.at(1));
        QCOMPARE(takingBackState(runs.at(0)), u"やり直せます"_s);
        QCOMPARE(runs.at(1).kind, RunKind::Rename);
        QCOMPARE(runs.at(1).undoable, 0);
        QCOMPARE(takingBackState(runs.at(1)), u"取り消し済みです"_s);
        const RunRecord& first = runs.at(2);
        QCOMPARE(first.fileName(), m_runs.at(0));
        QCOMPARE(first.count, 4);
        QCOMPARE(first.folders, QStringList{m_files});
        QCOMPARE(first.firstNames.size(), kShownNames);
        QCOMPARE(first.firstNames.first(), std::make_pair(file(u"a.txt"_s), file(u"A.txt"_s)));
        QCOMPARE(first.undoable, 4);
        QVERIFY(first.ended);
        QCOMPARE(takingBackState(first), u"元に戻せます"_s);
        QVERIFY(runs.at(0).startedUtc >= first.startedUtc);
    }

    // What 確認 says when it lists the taking back of a run.
    void takingBackLineSaysWhatAndWhen_data()
    {
        QTest::addColumn<RunKind>("kind");
        QTest::addColumn<QString>("line");
        QTest::newRow("a rename is undone") << RunKind::Rename << u"のリネーム 2件を元に戻します"_s;
        QTest::newRow("an undo is redone") << RunKind::Undo << u"の元に戻し 2件をやり直します"_s;
        QTest::newRow("a redo is undone") << RunKind::Redo << u"のやり直し 2件を元に戻します"_s;
    }

    void takingBackLineSaysWhatAndWhen()
    {
        QFETCH(RunKind, kind);
        QFETCH(QString, line);
        UndoPlan plan;
        plan.undoneKind = kind;
        plan.undoneStartedUtc = QDateTime(QDate(2026, 12, 7), QTime(21, 4, 55), Qt::LocalTime);
        plan.steps = {{u"/d/b"_s, u"/d/a"_s, {}}, {u"/d/d"_s, u"/d/c"_s, {}}};
        QCOMPARE(takingBackLine(plan), u"2026/12/07 21:04 "_s + line);
    }

    // A run whose journal was removed since the list was read says so.
    void aRunNoLongerKeptIsSaid()
    {
        test::writeFile(file(u"a"_s), "a");
        play(u"rename:a>b"_s);
        QVERIFY(QFile::remove(QDir(m_journals).filePath(m_runs.first())));
        const RunUndo undo = planUndoOfRun(m_journals, m_runs.first());
        QVERIFY(!undo.plan);
        QCOMPARE(undo.message, u"このリネームの記録はもうありません。"_s);
        QCOMPARE(fileNames(), QStringList{u"b"_s});
    }

    // The probe made when 確認 opens: a folder that cannot take a journal is found before the
    // run, and the probe leaves nothing behind in one that can.
    void probeFindsAFolderThatCannotTakeAJournal_data()
    {
        QTest::addColumn<QString>("folder");
        QTest::addColumn<bool>("usable");
        QTest::newRow("a folder of the user's") << u"own"_s << true;
        QTest::newRow("a missing folder is made") << u"missing"_s << true;
        QTest::newRow("a read-only folder") << u"read-only"_s << false;
        QTest::newRow("a file where the folder should be") << u"file"_s << false;
    }

    void probeFindsAFolderThatCannotTakeAJournal()
    {
        QFETCH(QString, folder);
        QFETCH(bool, usable);
        // Run as an unprivileged user, for whom a read-only folder is one.
        const QString failed = test::runUnprivileged([&]() -> QString {
            QTemporaryDir own(u"/tmp/quillet-probe-XXXXXX"_s);
            const QString journals = own.filePath(u"journal"_s);
            if (folder == u"own" && !QDir().mkdir(journals))
                return u"no folder"_s;
            if (folder == u"read-only"
                && (!QDir().mkdir(journals) || ::chmod(QFile::encodeName(journals), 0500) != 0))
                return u"no read-only folder"_s;
            if (folder == u"file")
                test::writeFile(journals, "not a folder");
            const std::optional<QString> problem = probeJournalFolder(journals);
            ::chmod(QFile::encodeName(journals), 0700);
            if (problem.has_value() == usable)
                return u"probe: "_s + problem.value_or(u"usable"_s);
            if (problem && !problem->startsWith(QDir::toNativeSeparators(journals)))
                return u"the reason names another place: "_s + *problem;
            if (usable && !QDir(journals).isEmpty())
                return u"the probe was left behind"_s;
            return {};
        });
        QVERIFY2(failed.isEmpty(), qPrintable(failed));
    }
};

QTEST_GUILESS_MAIN(TestRunHistory)
#include "tst_runhistory.moc"
