#pragma once

// What the tests of whole rename runs share: a script for the run's questions, real
// checksums, the batch of numbered files, and taking the last run back as the undo window does.
#include "checksum/filechecksum.h"
#include "journal/undoplan.h"
#include "rename/renamesession.h"
#include "testfiles.h"

#include <QDir>
#include <QFileInfo>
#include <QTemporaryDir>

namespace quillet::sessiontest {

using namespace quillet::rename;
using namespace Qt::Literals::StringLiterals;

inline QByteArray contentOf(int i)
{
    return "content of file " + QByteArray::number(i);
}

// Answers as a script says and keeps what was shown.
class ScriptedRunDialogs final : public RunDialogs {
public:
    QStringList messages;
    QStringList questions;
    bool yes = false;
    std::function<QString(const QString& preset)> answerName = [](const QString&) {
        return QString();
    };

    void showMessage(const QString& text, const QString& details) override
    {
        messages.append(details.isEmpty() ? text : text + u'|' + details);
    }
    QString askName(const QString&, const QString&, const QString& preset) override
    {
        return answerName(preset);
    }
    bool askYesNo(const QString& question) override
    {
        questions.append(question);
        return yes;
    }
};

class SilentProgress final : public checksum::ChecksumProgress {
public:
    void begin(const QString&) override {}
    void step(const QString&) override {}
    void end() override {}
};

inline checksum::ChecksumResult realChecksum(const QString& path, checksum::ChecksumKind kind)
{
    SilentProgress progress;
    return checksum::FileChecksum(path, kind, progress);
}

// The batch of the killed-run table: f<i>.txt renamed to g<i>.txt, or to a name with a
// checksum token, or with one target taken so that the prompt gives another name, or each to
// the next one's name (a rotation).
struct Batch {
    QStringList sources;
    QStringList targets;
};

inline Batch makeBatch(const QDir& files, int count, const QString& variant)
{
    Batch batch;
    for (int i = 0; i < count; ++i) {
        batch.sources.append(files.filePath(u"f%1.txt"_s.arg(i)));
        if (variant == u"rotation")
            batch.targets.append(files.filePath(u"f%1.txt"_s.arg((i + 1) % count)));
        else
            batch.targets.append(variant == u"checksum"
                                     ? files.filePath(u"g%1 [*/CRC32/*].txt"_s.arg(i))
                                     : files.filePath(u"g%1.txt"_s.arg(i)));
    }
    return batch;
}

inline RunRequest renameRequest(const QString& journals, const Batch& batch)
{
    RunRequest request = batchRun(batch.sources, batch.targets, u'/');
    request.journalFolder = journals;
    return request;
}

// Takes the last run back as the undo window does; the summary of the undo run.
// The run that takes back the plan's steps, as the undo window starts it.
inline RunRequest undoRequest(const QString& journals, const journal::UndoPlan& plan)
{
    RunRequest request = takingBackRun(plan, u'/');
    request.journalFolder = journals;
    return request;
}

inline RenameSummary undoLastRun(const QString& journals, ScriptedRunDialogs& dialogs)
{
    const journal::LastRunUndo last = journal::planUndoOfLastRun(journals);
    if (!last.plan)
        return {};
    RenameSession session(undoRequest(journals, *last.plan), dialogs, realChecksum);
    return session.run();
}

// The folders of one test case: the journal folder and the files, fresh for every case.
class SessionFolders {
protected:
    QTemporaryDir m_root;
    QString m_journals;
    QString m_files;
    int m_case = 0;

    QString file(const QString& name) const { return m_files + u'/' + name; }
    QStringList fileNames() const
    {
        return QDir(m_files).entryList(QDir::Files | QDir::System | QDir::Hidden, QDir::Name);
    }
    void makeFiles(int count) const
    {
        for (int i = 0; i < count; ++i)
            test::writeFile(file(u"f%1.txt"_s.arg(i)), contentOf(i));
    }
    // Call from init(): a new pair of folders for the next case.
    bool nextCase()
    {
        ++m_case;
        m_journals = m_root.filePath(u"journal%1"_s.arg(m_case));
        m_files = m_root.filePath(u"files%1"_s.arg(m_case));
        return QDir().mkpath(m_files);
    }
};

} // namespace quillet::sessiontest
