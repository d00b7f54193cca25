#include "ui/form1.h"

#include "batch/caret.h"
#include "batch/nativepath.h"
#include "journal/journalfolder.h"
#include "memory/rememberedvalues.h"
#include "ui/checksumverifywindow.h"
#include "ui/controls.h"
#include "ui/form2.h"
#include "ui/listingjob.h"
#include "ui/nameeditor.h"
#include "ui/recentrunswindow.h"
#include "ui/recipeswindow.h"
#include "ui/twips.h"
#include "ui/userdialogs.h"
#include "ui/valueboxes.h"
#include "ui/windowlayout.h"

#include <QCloseEvent>
#include <QComboBox>
#include <QDir>
#include <QGroupBox>
#include <QGuiApplication>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QPushButton>
#include <QRadioButton>
#include <QResizeEvent>
#include <QScreen>
#include <QShortcut>
#include <QStringListModel>
#include <QTextBlock>
#include <QTextDocument>

#include <algorithm>
#include <tuple>

namespace quillet::ui {

using namespace Qt::Literals::StringLiterals;

const QString& Form1::hintText()
{
    static const QString hint =
        QStringLiteral("ここにリネームしたいファイルをドラッグ＆ドロップして下さい。");
    return hint;
}

Form1::Form1(const QString& dataFolder, UserDialogs& dialogs, QWidget* parent)
    : QWidget(parent)
    , m_dataFolder(dataFolder)
    , m_dialogs(dialogs)
    , m_batch(QDir::separator())
    , m_journalFolder(journal::defaultJournalFolder())
{
    buildControls();
    applyLayout();
    // At start the editor holds the hint followed by a line break.
    replaceNames(hintText() + u"\r\n"_s);
    connectControls();
    runStartup();
}

Form1::~Form1()
{
    delete m_listingJob;
    delete m_form2;
    delete m_recentRuns;
}

void Form1::connectControls()
{
    // The document reports the touched range before the editor reports the change, so the
    // names text is up to date when the history records it.
    connect(m_namesEditor->document(), &QTextDocument::contentsChange, this,
            &Form1::onEditorContentsChange);
    connect(m_namesEditor, &QPlainTextEdit::textChanged, this, &Form1::onEditorTextChanged);
    m_namesEditor->setPairingModel(
        {[this]() -> const QStringList& { return m_batch.sources(); }, m_batch.separator()});
    connect(m_namesEditor, &NameEditor::filesDropped, this, &Form1::takeInFiles);
    m_relistTimer.setSingleShot(true);
    m_relistTimer.setInterval(kRelistAfterEditMs);
    connect(&m_relistTimer, &QTimer::timeout, this, &Form1::relist);
    connect(m_namesEditor, &NameEditor::keyReleased, this, [this] {
        ShowCaretSource();
        ShowCaretPosition();
    });
    connect(m_namesEditor, &NameEditor::leftButtonPressed, this, &Form1::ShowCaretSource);
    connect(m_namesEditor, &NameEditor::leftButtonReleased, this, &Form1::ShowCaretPosition);

    connect(m_backButton, &QPushButton::clicked, this, &Form1::undo);
    connect(m_forwardButton, &QPushButton::clicked, this, &Form1::redo);
    connect(m_restoreButton, &QPushButton::clicked, this, &Form1::restoreNames);
    connect(m_startOverButton, &QPushButton::clicked, this, &Form1::startOver);
    for (int i = 0; i < 2; ++i)
        // Toggled, not clicked: a screen reader's toggle checks the option without a click.
        connect(m_modeButtons[i], &QRadioButton::toggled, this, [this, i](bool checked) {
            if (checked)
                switchMode(i);
        });
    connect(m_renameButton, &QPushButton::clicked, this, &Form1::startRename);
    connect(m_easyRunButton, &QPushButton::clicked, this, &Form1::runEasyMode);
    connect(m_advancedRunButton, &QPushButton::clicked, this, &Form1::runAdvancedEdit);
    // Ctrl+Z and Ctrl+Shift+Z stay the editor's own.
    auto* undoRun = new QShortcut(QKeySequence(Qt::CTRL | Qt::ALT | Qt::Key_Z), this);
    connect(undoRun, &QShortcut::activated, this, &Form1::undoLastRun);
    auto* recentRuns = new QShortcut(QKeySequence(Qt::CTRL | Qt::ALT | Qt::Key_H), this);
    connect(recentRuns, &QShortcut::activated, this, &Form1::showRecentRuns);
    connect(m_namesEditor, &NameEditor::recentRunsWanted, this, &Form1::showRecentRuns);
    auto* verify = new QShortcut(QKeySequence(Qt::CTRL | Qt::ALT | Qt::Key_V), this);
    connect(verify, &QShortcut::activated, this, &Form1::verifyNamedChecksums);
    connect(m_namesEditor, &NameEditor::checksumVerificationWanted, this,
            &Form1::verifyNamedChecksums);
    auto* saveSteps = new QShortcut(QKeySequence(Qt::CTRL | Qt::ALT | Qt::Key_S), this);
    connect(saveSteps, &QShortcut::activated, this, &Form1::saveRecipe);
    connect(m_namesEditor, &NameEditor::menuOpening, this, &Form1::addRecipeItems);

    // Enter in a panel's list or value box runs that panel's button.
    using Widgets = std::initializer_list<QWidget*>;
    for (QWidget* source : Widgets{m_easyOperationList, m_valueBoxes[0], m_valueBoxes[1]})
        clickOnEnter(source, m_easyRunButton);
    for (QWidget* source : Widgets{m_positionAList, m_valueBoxes[2], m_valueBoxes[3], m_plusABox,
                                   m_positionBList, m_valueBoxes[4], m_valueBoxes[5], m_plusBBox,
                                   m_advancedOperationList, m_valueBoxes[6]})
        clickOnEnter(source, m_advancedRunButton);
}

void Form1::runStartup()
{
    placeOnDesktop();
    m_values = new ValueBoxes(m_valueBoxes, this);
    m_values->addToAll(memory::LoadRememberedValues(m_dataFolder));
    m_startup = batch::loadStartupValues(m_dataFolder);
    for (QListWidget* list :
         {m_advancedOperationList, m_positionAList, m_positionBList, m_easyOperationList})
        list->setCurrentRow(0);
}

void Form1::placeOnDesktop()
{
    if (const QScreen* screen = QGuiApplication::primaryScreen()) {
        const QRect area = screen->availableGeometry();
        m_workAreaRight = area.x() + area.width();
        m_workAreaBottom = area.y() + area.height();
    } else {
        m_dialogs.showMessage(QStringLiteral("デスクトップエリア取得に失敗しました。"));
    }
    moveToStartupPosition();
    m_placementPending = true;
}

void Form1::moveToStartupPosition()
{
    m_placedOuterSize = frameGeometry().size();
    m_placedAt = startupPosition(m_workAreaRight, m_workAreaBottom, m_placedOuterSize);
    move(m_placedAt);
}

void Form1::placeAgainWithFrame()
{
    // The placement counts in the outer size, but a window manager adds its frame only after
    // the window is first shown. When the frame arrives and the window still stands where it
    // was put, it is placed again with the frame included.
    if (!m_placementPending || isMinimized() || isMaximized() || isFullScreen())
        return;
    const QRect outer = frameGeometry();
    if (outer.size() == size())
        return; // no frame yet
    m_placementPending = false;
    // Depending on the platform the frame grows outward from the position given or inward.
    const bool unmoved =
        outer.topLeft() == m_placedAt || pos() == m_placedAt || geometry().topLeft() == m_placedAt;
    if (unmoved && outer.size() != m_placedOuterSize)
        moveToStartupPosition();
}

void Form1::showEvent(QShowEvent* event)
{
    QWidget::showEvent(event);
    placeAgainWithFrame();
    applyLayout();
}

void Form1::takeInFiles(const QStringList& paths)
{
    // A run renames exactly what it listed; files arriving meanwhile would be lost at its end.
    if (m_renaming)
        return;
    activateWindow();
    raise();
    const QString text = m_batch.takeIn(names(), paths);
    updateSourceViews();
    replaceNamesAs(text, ChangeKind::Intake);
    // Every drop ends with the caret on the first line, whether it added entries or not.
    m_namesEditor->moveCursor(QTextCursor::Start);
    ShowCaretSource();
    m_renameButton->setEnabled(!m_batch.isEmpty());
    relist();
}

void Form1::replaceNames(const batch::ChunkedText& names)
{
    // Like any text box, assigning the text it already holds is no change.
    if (names == m_editorNames.names())
        return;
    m_replacing = true;
    m_namesEditor->setPlainText(m_editorNames.reset(names));
    m_replacing = false;
    recordNames();
    relistAfterEdit();
}

void Form1::onEditorContentsChange(int position, int removed, int added)
{
    Q_UNUSED(removed);
    if (m_replacing)
        return;
    const QTextDocument* document = m_namesEditor->document();
    // The paragraphs the change now covers; the count of lines it replaced follows from how
    // much the line count changed. A range reported wider than the change only converts a few
    // unchanged paragraphs again.
    const QTextBlock first = document->findBlock(position);
    const QTextBlock last =
        document->findBlock(std::min(position + added, document->characterCount() - 1));
    const qsizetype firstLine = first.blockNumber();
    const qsizetype touched = last.blockNumber() - firstLine + 1;
    const qsizetype replaced = touched - (document->blockCount() - m_editorNames.lineCount());
    if (!first.isValid() || !last.isValid() || replaced < 1
        || firstLine + replaced > m_editorNames.lineCount()) {
        std::ignore = m_editorNames.reset(batch::fromEditorText(document->toRawText()));
        return;
    }
    QStringList paragraphs;
    paragraphs.reserve(touched);
    for (QTextBlock block = first;; block = block.next()) {
        paragraphs.append(block.text());
        if (block == last)
            break;
    }
    m_editorNames.replaceLines(firstLine, replaced, paragraphs);
}

void Form1::onEditorTextChanged()
{
    if (m_replacing)
        return;
    recordNames();
    relistAfterEdit();
}

void Form1::recordNames()
{
    // The history records this change unless the batch is empty or a ← or → made it.
    const bool recorded = !m_batch.isEmpty() && !m_history.isPaused();
    m_history.record(m_editorNames.names(), !m_batch.isEmpty());
    if (recorded) {
        switch (m_changeKind) {
        case ChangeKind::Steps: m_steps.stepsRun(m_changeSteps); break;
        case ChangeKind::HandEdit: m_steps.handEdit(); break;
        case ChangeKind::Intake: m_steps.filesTakenIn(); break;
        case ChangeKind::Restore: m_steps.restored(); break;
        }
    }
    updateHistoryButtons();
}

void Form1::replaceNamesAs(const batch::ChunkedText& names, ChangeKind kind,
                           const QList<recipe::Step>& steps)
{
    m_changeKind = kind;
    m_changeSteps = steps;
    replaceNames(names);
    m_changeKind = ChangeKind::HandEdit;
    m_changeSteps.clear();
}

void Form1::updateHistoryButtons()
{
    m_backButton->setEnabled(m_history.canUndo());
    m_forwardButton->setEnabled(m_history.canRedo());
}

void Form1::updateSourceViews()
{
    m_sourceModel->setStringList(m_batch.sources());
    m_namesEditor->pairingChanged();
}

// Both displays follow the lines as the editor shows them: the caret's paragraph is its line.
void Form1::ShowCaretPosition()
{
    const int start = m_namesEditor->textCursor().selectionStart();
    const QTextBlock block = m_namesEditor->document()->findBlock(start);
    const batch::CaretCounts counts =
        batch::paragraphCaretCounts(block.text(), start - block.position());
    m_caretFromStartBox->setText(QString::number(counts.front));
    m_caretFromEndBox->setText(QString::number(counts.back));
}

void Form1::ShowCaretSource()
{
    const int start = m_namesEditor->textCursor().selectionStart();
    const int line = m_namesEditor->document()->findBlock(start).blockNumber();
    m_sourcePathBox->setText(
        batch::displayText(m_batch.sources().value(line), m_batch.separator()));
}

void Form1::undo()
{
    m_steps.back();
    replaceNames(m_history.undo());
    m_history.endReplacement();
    updateHistoryButtons();
}

void Form1::redo()
{
    m_steps.forward();
    replaceNames(m_history.redo());
    m_history.endReplacement();
    updateHistoryButtons();
}

void Form1::restoreNames()
{
    if (m_batch.isEmpty())
        return;
    replaceNamesAs(m_batch.restoredNames(), ChangeKind::Restore);
}

void Form1::startOver()
{
    m_history.clear();
    m_steps.clear();
    updateHistoryButtons();
    // The hint goes in unrecorded: the batch is emptied before the replacement.
    m_batch.clear();
    updateSourceViews();
    replaceNames(hintText());
    m_sourcePathBox->clear();
    m_renameButton->setEnabled(false);
}

void Form1::switchMode(int index)
{
    m_advancedPanel->setVisible(index != 0);
    m_easyPanel->setVisible(index == 0);
}

void Form1::closeEvent(QCloseEvent* event)
{
    // A run is never cut short: the close waits until the run has ended (its end message is
    // the last thing it shows). This also holds for the polite SIGTERM, which closes the window.
    if (m_renaming) {
        event->ignore();
        return;
    }
    // The program lives as long as this window: "確認" goes with it, so no window is left to
    // rename from and no process is left that a later start would hand its files to unseen.
    if (m_form2)
        m_form2->close();
    if (m_recentRuns)
        m_recentRuns->close();
    if (m_verifyWindow)
        m_verifyWindow->close(); // stops its check
    if (m_recipesWindow)
        m_recipesWindow->close();
    saveRememberedValues();
    // Otherwise closing is never refused, not even when the values could not be saved.
    event->accept();
}

void Form1::moveEvent(QMoveEvent* event)
{
    QWidget::moveEvent(event);
    placeAgainWithFrame();
    // The window manager's frame is known only once the window has been placed; the layout
    // counts in the outer size.
    applyLayout();
}

void Form1::applyLayout()
{
    if (windowState() & (Qt::WindowMinimized | Qt::WindowMaximized | Qt::WindowFullScreen))
        return;
    m_advancedPanel->move(pixels(120), pixels(480));
    m_easyPanel->move(pixels(120), pixels(480));
    const QSize outer = frameGeometry().size();
    const MainWindowLayout layout = mainWindowLayout(twips(outer.width()), twips(outer.height()));
    if (layout.editorWidth)
        m_namesEditor->resize(pixels(*layout.editorWidth), m_namesEditor->height());
    if (layout.editorHeight)
        m_namesEditor->resize(m_namesEditor->width(), pixels(*layout.editorHeight));
    if (layout.sourceDisplayWidth)
        m_sourcePathBox->resize(pixels(*layout.sourceDisplayWidth), m_sourcePathBox->height());
}

} // namespace quillet::ui
