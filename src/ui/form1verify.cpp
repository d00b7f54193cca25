// チェックサムの検証 of the main window: the check of the batch's names, and the mend of the
// lines whose checksum is wrong.
#include "ui/form1.h"

#include "ui/checksumverifywindow.h"

namespace quillet::ui {

using namespace Qt::Literals::StringLiterals;

void Form1::verifyNamedChecksums()
{
    if (m_verifyWindow && m_verifyWindow->isChecking()) {
        m_verifyWindow->raise();
        m_verifyWindow->activateWindow();
        return;
    }
    if (m_verifyWindow)
        m_verifyWindow->close();
    QStringList lines;
    lines.reserve(m_batch.count());
    m_editorNames.names().forEachLine(
        m_batch.count(), [&lines](QStringView line) { lines.append(line.toString()); });
    m_verifyWindow = new ChecksumVerifyWindow(m_batch.sources(), lines, m_batch.separator(), this);
    m_verifyWindow->setAttribute(Qt::WA_DeleteOnClose);
    connect(m_verifyWindow, &ChecksumVerifyWindow::mendRequested, this, &Form1::mendChecksums);
    // The reading starts first: it goes on while the window is laid out and mapped.
    m_verifyWindow->start();
    m_verifyWindow->show();
    m_verifyWindow->raise();
    m_verifyWindow->activateWindow();
}

void Form1::mendChecksums(const QList<checksum::ChecksumMend>& mends)
{
    if (!m_verifyWindow)
        return;
    // The lines belong to the entries that were checked: a batch that changed since has other
    // entries on them.
    if (m_verifyWindow->sources() != m_batch.sources()) {
        m_verifyWindow->showMendOutcome(
            {},
            u"検証の後で一覧が変わったため、名前を直せませんでした。もう一度検証してください。"_s);
        return;
    }
    const checksum::MendedNames outcome =
        checksum::mendChecksums(m_editorNames.names(), mends, m_batch.separator());
    if (outcome.mended > 0)
        replaceNames(outcome.names);
    m_verifyWindow->showMendOutcome(outcome);
}

} // namespace quillet::ui
