// The rename button, the confirmation window and the rename run of the main window.
#include "ui/form1.h"

#include "checksum/filechecksum.h"
#include "journal/renamejournal.h"
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
#include "ui/renamerunner.h"
#include "ui/userdialogs.h"

#include <QFileInfo>
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
    listBatch(true);
}

bool Form1::isListing() const
{
    return m_listingJob && !m_listingJob->isDone();
}

void Form1::listBatch(bool bringForward)
{
    // A new press replaces what an earlier one has not told yet.
    delete m_listingJob;
    m_listingJob = nullptr;
    m_listedSources = m_batch.sources();
    m_targets.clear();
    const auto listed = [this,
                         bringForward](const QStringList& targets,
                                       std::shared_ptr<const rename::ConfirmationListing> listing) {
        m_targets = targets;
        m_targetModel->setStringList(m_targets);
        // Closed meanwhile, the window of a relisting stays closed.
        if (bringForward || m_form2)
            showConfirmation(std::move(listing), bringForward);
    };
    const auto checked = [this](const rename::PrecheckReport& report) {
        if (m_form2)
            m_form2->setPrecheck(report);
    };
    m_listingJob =
        new ListingJob(m_listedSources, names(), m_batch.separator(), listed, checked, this);
    m_listingJob->start();
}

void Form1::relistAfterDrop()
{
    // Files dropped while "確認" is open join what it lists: a run renames what it lists and
    // then empties the batch, so files left out of the listing would silently leave the batch.
    if (m_form2 && m_form2->isVisible() && !m_undoing && !m_renaming)
        listBatch(false);
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

    rename::RunRequest request;
    request.kind = m_undoing ? journal::RunKind::Undo : journal::RunKind::Rename;
    request.sources = m_listedSources;
    request.targets = m_targets;
    request.undoSteps = m_undoSteps;
    request.undoes = m_undoes;
    request.journalFolder = m_journalFolder;
    request.separator = m_batch.separator();
    m_runner =
        new RenameRunner(std::move(request), m_dialogs, m_startup.checksumBlockFactor, this, this);
    connect(m_runner, &RenameRunner::progressed, m_form2, &Form2::showRunProgress);
    connect(m_form2, &Form2::stopRequested, m_runner, &RenameRunner::requestStop);
    connect(m_runner, &RenameRunner::finished, this, &Form1::finishRun);
    m_form2->runStarted(m_runner->entryCount(), m_undoing);
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
    // A run the user declined before anything was renamed leaves everything as it was.
    if (summary.renamed == 0 && summary.untried == m_listedSources.size()
        && !m_listedSources.isEmpty())
        return;
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
    if (m_form2)
        m_form2->close();
    emit runFinished();
}

void Form1::undoLastRun()
{
    if (m_renaming)
        return;
    const journal::LastRunUndo last = journal::planUndoOfLastRun(m_journalFolder);
    if (!last.plan) {
        m_dialogs.showMessage(last.message);
        return;
    }
    if (!last.plan->problems.isEmpty())
        m_dialogs.showMessage(
            journal::undoProblemsMessage(last.plan->problems, m_batch.separator()));
    if (last.plan->steps.isEmpty())
        return;

    m_undoing = true;
    m_undoSteps = last.plan->steps;
    m_undoes = QFileInfo(last.plan->journalPath).fileName();
    m_listedSources = last.plan->sources();
    m_targets = last.plan->targets();
    // The plan has checked every entry against the disk already.
    delete m_listingJob;
    m_listingJob = nullptr;
    showConfirmation(std::make_shared<const rename::ConfirmationListing>(m_listedSources, m_targets,
                                                                         m_batch.separator()));
    m_form2->setPrecheck({});
}

void Form1::finishUndo()
{
    m_undoing = false;
    m_undoSteps.clear();
    m_undoes.clear();
    m_listedSources.clear();
    m_targets.clear();
    if (m_form2)
        m_form2->close();
    emit runFinished();
}

} // namespace quillet::ui
