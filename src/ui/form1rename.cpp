// The rename button, the confirmation window and the rename run of the main window.
#include "ui/form1.h"

#include "rename/filechecksum.h"
#include "rename/noreplacerename.h"
#include "rename/renamerun.h"
#include "rename/targets.h"
#include "ui/checksumprogresswindow.h"
#include "ui/form2.h"
#include "ui/userdialogs.h"

#include <QLineEdit>
#include <QPushButton>
#include <QStringListModel>

namespace quillet::ui {

void Form1::startRename()
{
    if (m_renaming || m_batch.isEmpty())
        return;
    m_listedSources = m_batch.sources();
    m_targets = rename::BuildTargetList(m_listedSources, m_names, m_batch.separator());
    m_targetModel->setStringList(m_targets);
    if (!m_form2) {
        m_form2 = new Form2;
        m_form2->setAttribute(Qt::WA_DeleteOnClose);
        connect(m_form2, &Form2::confirmed, this, &Form1::runRename);
    }
    // Rebuilt at every press, so the window always shows what will run.
    m_form2->setListing(rename::FormatConfirmationListing(m_listedSources, m_targets));
    m_form2->show();
    m_form2->raise();
    m_form2->activateWindow();
}

void Form1::runRename()
{
    if (m_renaming)
        return;
    m_renaming = true;
    m_form2->setRunning(true);

    rename::RenameOperations operations;
    operations.rename = rename::renameWithoutReplacing;
    operations.askName = [this](const QString& prompt, const QString& title,
                                const QString& preset) {
        return m_dialogs.askText(prompt, title, preset);
    };
    operations.showMessage = [this](const QString& text) { m_dialogs.showMessage(text); };
    operations.fileChecksum = [this](const QString& path, rename::ChecksumKind kind) {
        ChecksumProgressWindow progress(this);
        return rename::FileChecksum(path, kind, progress, m_startup.checksumBlockFactor);
    };
    const rename::RenameSummary summary =
        rename::RunRename(m_listedSources, m_targets, operations, m_batch.separator());

    m_dialogs.showMessage(rename::completionMessage(summary));
    // The batch still holds its entries here, so the history records the hint like any change.
    replaceNames(hintText());
    m_sourcePathBox->clear();
    m_batch.clear();
    updateSourceViews();
    m_renameButton->setEnabled(false);
    m_renaming = false;
    if (m_form2) {
        m_form2->setRunning(false);
        m_form2->close();
    }
}

} // namespace quillet::ui
