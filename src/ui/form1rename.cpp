// The rename button, the confirmation window and the rename run of the main window.
#include "ui/form1.h"

#include "rename/filechecksum.h"
#include "rename/noreplacerename.h"
#include "rename/precheck.h"
#include "rename/renamejournal.h"
#include "rename/renamerun.h"
#include "rename/targets.h"
#include "rename/undoplan.h"
#include "ui/checksumprogresswindow.h"
#include "ui/form2.h"
#include "ui/nameeditor.h"
#include "ui/userdialogs.h"

#include <QLineEdit>
#include <QPushButton>
#include <QStringListModel>

namespace quillet::ui {

using namespace Qt::Literals::StringLiterals;

void Form1::startRename()
{
    if (m_renaming || m_batch.isEmpty())
        return;
    m_undoing = false;
    showConfirmation(listBatch());
}

rename::PrecheckReport Form1::listBatch()
{
    m_listedSources = m_batch.sources();
    m_targets = rename::BuildTargetList(m_listedSources, names(), m_batch.separator());
    m_targetModel->setStringList(m_targets);
    // What the run would meet, told before it starts; it changes nothing about the run.
    const rename::PrecheckFindings findings = rename::precheckBatch(
        m_listedSources, m_targets, names(), m_batch.separator(), rename::itemExists);
    return rename::precheckReport(findings, m_listedSources, m_targets, m_batch.separator());
}

void Form1::relistAfterDrop()
{
    // Files dropped while "確認" is open join what it lists: a run renames what it lists and
    // then empties the batch, so files left out of the listing would silently leave the batch.
    if (m_form2 && m_form2->isVisible() && !m_undoing && !m_renaming)
        showConfirmation(listBatch(), false);
}

void Form1::showConfirmation(const rename::PrecheckReport& precheck, bool bringForward)
{
    if (!m_form2) {
        m_form2 = new Form2;
        m_form2->setAttribute(Qt::WA_DeleteOnClose);
        connect(m_form2, &Form2::confirmed, this, &Form1::runRename);
    }
    // Rebuilt at every press, so the window always shows what will run.
    m_form2->setListing(
        rename::FormatConfirmationListing(m_listedSources, m_targets, m_batch.separator()));
    m_form2->setPrecheck(precheck);
    if (!bringForward)
        return;
    m_form2->show();
    m_form2->raise();
    m_form2->activateWindow();
}

void Form1::runRename()
{
    if (m_renaming)
        return;
    m_renaming = true;
    m_namesEditor->setAcceptingFiles(false);
    m_form2->setRunning(true);

    // Every attempt goes through the journal, so the run can be taken back; an undo run is
    // journaled too and can itself be taken back.
    rename::RenameJournal journal(m_journalFolder,
                                  m_undoing ? rename::RunKind::Undo : rename::RunKind::Rename);
    rename::RenameOperations operations;
    operations.rename = journal.journaled(
        m_undoing
            ? rename::RenameFunction(rename::UndoGuard(m_undoSteps, rename::renameWithoutReplacing))
            : rename::RenameFunction(rename::renameWithoutReplacing));
    operations.askName = [this](const QString& prompt, const QString& title,
                                const QString& preset) {
        return m_dialogs.askText(prompt, title, preset);
    };
    operations.showMessage = [this](const QString& text) { m_dialogs.showMessage(text); };
    operations.exists = rename::itemExists;
    // Old names come back as they were, also a name that is only "." and an extension.
    operations.refuseEmptyNames = !m_undoing;
    operations.fileChecksum = [this](const QString& path, rename::ChecksumKind kind) {
        ChecksumProgressWindow progress(this);
        return rename::FileChecksum(path, kind, progress, m_startup.checksumBlockFactor);
    };
    if (m_undoing) {
        // The old paths go back exactly as they were, even where one spells a checksum token.
        operations.fileChecksum = [](const QString&, rename::ChecksumKind kind) {
            return std::optional<QString>(
                (kind == rename::ChecksumKind::Crc16 ? rename::kCrc16Token : rename::kCrc32Token)
                    .toString());
        };
    }
    const rename::RenameSummary summary =
        rename::RunRename(m_listedSources, m_targets, operations, m_batch.separator());
    journal.finish();

    m_dialogs.showMessage(rename::completionMessage(summary), rename::completionDetails(summary));
    if (!journal.error().isEmpty()) {
        m_dialogs.showMessage(
            u"リネームの記録を残せなかったため、このリネームは元に戻せないことがあります。"_s,
            journal.error());
    }
    if (m_undoing) {
        // Taking a run back leaves the batch being edited as it is.
        finishUndo();
        return;
    }
    // The batch still holds its entries here, so the history records the hint like any change.
    replaceNames(hintText());
    m_sourcePathBox->clear();
    m_batch.clear();
    updateSourceViews();
    m_renameButton->setEnabled(false);
    m_renaming = false;
    m_namesEditor->setAcceptingFiles(true);
    if (m_form2) {
        m_form2->setRunning(false);
        m_form2->close();
    }
}

void Form1::undoLastRun()
{
    if (m_renaming)
        return;
    const rename::LastRunUndo last = rename::planUndoOfLastRun(m_journalFolder);
    if (!last.plan) {
        m_dialogs.showMessage(last.message);
        return;
    }
    if (!last.plan->problems.isEmpty())
        m_dialogs.showMessage(
            rename::undoProblemsMessage(last.plan->problems, m_batch.separator()));
    if (last.plan->steps.isEmpty())
        return;

    m_undoing = true;
    m_undoSteps = last.plan->steps;
    m_listedSources = last.plan->sources();
    m_targets = last.plan->targets();
    // The plan has checked every entry against the disk already.
    showConfirmation({});
}

void Form1::finishUndo()
{
    m_undoing = false;
    m_undoSteps.clear();
    m_listedSources.clear();
    m_targets.clear();
    m_renaming = false;
    m_namesEditor->setAcceptingFiles(true);
    if (m_form2) {
        m_form2->setRunning(false);
        m_form2->close();
    }
}

} // namespace quillet::ui
