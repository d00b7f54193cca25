// The rename button, the confirmation window and the rename run of the main window.
#include "ui/form1.h"

#include "checksum/filechecksum.h"
#include "journal/journalfolder.h"
#include "journal/renamejournal.h"
#include "journal/runhistory.h"
#include "journal/undoplan.h"
#include "rename/journaledrename.h"
#include "rename/noreplacerename.h"
#include "rename/precheck.h"
#include "rename/renamerun.h"
#include "rename/targets.h"
#include "rename/undoguard.h"
#include "ui/form2.h"
#include "ui/listingjob.h"
#include "ui/nameeditor.h"
#include "ui/recentrunswindow.h"
#include "ui/renamerunner.h"
#include "ui/userdialogs.h"

#include <QFileInfo>
#include <QLineEdit>
#include <QPushButton>
#include <QStringListModel>

namespace quillet::ui {

using namespace Qt::Literals::StringLiterals;

namespace {

QString noJournalWarning(const QString& reason)
{
    return u"元に戻すための記録を書けません: "_s + reason;
}

QString batchListedMessage()
{
    return u"確認の画面にリネームする一覧が開いています。元に戻すには、先に確認の画面を閉じて"
           u"ください（一覧はそのまま残ります）。"_s;
}

} // namespace

void Form1::startRename()
{
    if (m_renaming || m_batch.isEmpty())
        return;
    listBatch(true);
}

bool Form1::isListing() const
{
    return m_relistTimer.isActive() || (m_listingJob && !m_listingJob->isDone());
}

void Form1::listBatch(bool bringForward)
{
    // A new press replaces what an earlier one has not told yet, and lists the latest edits.
    m_relistTimer.stop();
    delete m_listingJob;
    m_listingJob = nullptr;
    m_listingForPress = bringForward;
    m_confirmed = rename::batchRun(m_batch.sources(), {}, m_batch.separator());
    const auto listed = [this,
                         bringForward](const QStringList& targets,
                                       std::shared_ptr<const rename::ConfirmationListing> listing) {
        m_confirmed.targets = targets;
        m_targetModel->setStringList(targets);
        // Closed meanwhile, the window of a relisting stays closed.
        if (bringForward || m_form2)
            showConfirmation(std::move(listing), bringForward);
    };
    const auto checked = [this](rename::PrecheckReport report) {
        // A journal that cannot be written is known before anything is renamed; the run may
        // still go on without one, as the question at its start offers.
        if (const std::optional<QString> reason = journal::probeJournalFolder(m_journalFolder))
            report.problems.prepend(noJournalWarning(*reason));
        // Names edited since have made the report stale; their relisting brings the next one.
        if (m_form2 && !m_relistTimer.isActive())
            m_form2->setPrecheck(report);
    };
    m_listingJob =
        new ListingJob(m_confirmed.sources, names(), m_batch.separator(), listed, checked, this);
    m_listingJob->start();
}

bool Form1::pressIsListing() const
{
    return m_listingForPress && m_listingJob && !m_listingJob->isDone();
}

void Form1::relist()
{
    // Files dropped and names edited while "確認" is open join what it lists: a run renames what
    // it lists and then empties the batch, so whatever the listing left out would silently be
    // lost.
    if (m_renaming || !(confirmingBatch() || pressIsListing()))
        return;
    // Started over, the batch has nothing left to confirm.
    if (m_batch.isEmpty()) {
        delete m_listingJob;
        m_listingJob = nullptr;
        if (m_form2)
            m_form2->close();
        return;
    }
    listBatch(pressIsListing());
}

void Form1::relistAfterEdit()
{
    if (m_renaming || !(confirmingBatch() || pressIsListing()))
        return;
    // Relisting a large batch at every key would make typing in it crawl: the edits are listed
    // together once they pause, and the run waits for them.
    if (m_form2)
        m_form2->awaitListing();
    m_relistTimer.start();
}

void Form1::showConfirmation(std::shared_ptr<const rename::ConfirmationListing> listing,
                             bool bringForward)
{
    if (!m_form2) {
        m_form2 = new Form2;
        m_form2->setAttribute(Qt::WA_DeleteOnClose);
        connect(m_form2, &Form2::confirmed, this, &Form1::runRename);
    }
    // Rebuilt at every press, so the window always shows what will run.
    m_form2->setListing(std::move(listing));
    if (m_confirmed.takesBack())
        m_form2->setPrecheck({}); // the plan has checked every entry against the disk already
    m_form2->setTakingBack(
        m_confirmed.takesBack()
            ? (m_confirmed.kind == journal::RunKind::Redo ? u"やり直す"_s : u"元に戻す"_s)
            : QString(),
        m_confirmed.takingBackLine);
    if (!bringForward)
        return;
    m_form2->show();
    m_form2->raise();
    m_form2->activateWindow();
}

void Form1::runRename()
{
    if (m_renaming || !m_form2 || isListing())
        return;
    m_renaming = true;
    // While the run goes on, the batch and its operations take nothing in; the windows still
    // repaint and 確認 offers 中止.
    m_namesEditor->setAcceptingFiles(false);
    setEnabled(false);

    rename::RunRequest request = m_confirmed;
    request.journalFolder = m_journalFolder;
    m_runner =
        new RenameRunner(std::move(request), m_dialogs, m_startup.checksumBlockFactor, this, this);
    connect(m_runner, &RenameRunner::progressed, m_form2, &Form2::showRunProgress);
    connect(m_form2, &Form2::stopRequested, m_runner, &RenameRunner::requestStop);
    connect(m_runner, &RenameRunner::finished, this, &Form1::finishRun);
    m_form2->runStarted(m_runner->entryCount(), m_confirmed.kind == journal::RunKind::Undo);
    m_runner->start();
}

void Form1::finishRun(const rename::RenameSummary& summary)
{
    m_runner->deleteLater();
    m_runner = nullptr;
    setEnabled(true);
    m_namesEditor->setAcceptingFiles(true);
    if (m_form2)
        m_form2->runEnded();
    m_renaming = false;
    refreshRecentRuns();
    // A run the user declined before anything was renamed leaves everything as it was.
    if (summary.renamed == 0 && summary.untried == m_confirmed.sources.size()
        && !m_confirmed.sources.isEmpty())
        return;
    if (m_confirmed.takesBack()) {
        // Taking a run back leaves the batch being edited as it is.
        finishUndo();
        return;
    }
    // The batch still holds its entries here, so the history records the hint like any change.
    replaceNames(hintText());
    m_steps.clear();
    m_sourcePathBox->clear();
    m_batch.clear();
    updateSourceViews();
    m_renameButton->setEnabled(false);
    if (m_form2)
        m_form2->close();
    // The hint that replaced the names is not a batch to list.
    m_relistTimer.stop();
    emit runFinished();
}

bool Form1::confirmingBatch() const
{
    return m_form2 && m_form2->isVisible() && !m_confirmed.takesBack();
}

void Form1::undoLastRun()
{
    if (m_renaming)
        return;
    if (confirmingBatch()) {
        m_dialogs.showMessage(batchListedMessage());
        return;
    }
    const journal::LastRunUndo last = journal::planUndoOfLastRun(m_journalFolder);
    if (!last.plan) {
        m_dialogs.showMessage(last.message);
        return;
    }
    listUndo(*last.plan);
}

void Form1::undoRun(const QString& journalName)
{
    if (m_renaming)
        return;
    if (confirmingBatch()) {
        m_dialogs.showMessage(batchListedMessage());
        return;
    }
    const journal::RunUndo run = journal::planUndoOfRun(m_journalFolder, journalName);
    if (!run.plan) {
        m_dialogs.showMessage(run.message);
        refreshRecentRuns();
        return;
    }
    listUndo(*run.plan);
}

void Form1::listUndo(const journal::UndoPlan& plan)
{
    if (!plan.problems.isEmpty())
        m_dialogs.showMessage(journal::undoProblemsMessage(plan.problems, m_batch.separator()));
    if (plan.steps.isEmpty())
        return;

    m_confirmed = rename::takingBackRun(plan, m_batch.separator());
    // The plan has checked every entry against the disk already.
    m_relistTimer.stop();
    delete m_listingJob;
    m_listingJob = nullptr;
    showConfirmation(std::make_shared<const rename::ConfirmationListing>(
        m_confirmed.sources, m_confirmed.targets, m_batch.separator()));
}

void Form1::showRecentRuns()
{
    if (!m_recentRuns) {
        m_recentRuns = new RecentRunsWindow;
        m_recentRuns->setAttribute(Qt::WA_DeleteOnClose);
        connect(m_recentRuns, &RecentRunsWindow::takeBackRequested, this, &Form1::undoRun);
    }
    m_recentRuns->setRuns(journal::recentRuns(m_journalFolder), m_batch.separator());
    m_recentRuns->show();
    m_recentRuns->raise();
    m_recentRuns->activateWindow();
}

void Form1::refreshRecentRuns()
{
    if (m_recentRuns && m_recentRuns->isVisible())
        m_recentRuns->setRuns(journal::recentRuns(m_journalFolder), m_batch.separator());
}

void Form1::finishUndo()
{
    m_confirmed = {};
    if (m_form2)
        m_form2->close();
    emit runFinished();
}

} // namespace quillet::ui
