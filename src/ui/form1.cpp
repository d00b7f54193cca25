#include "ui/form1.h"

#include "batch/caret.h"
#include "memory/rememberedvalues.h"
#include "ui/form2.h"
#include "ui/nameeditor.h"
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
#include <QPushButton>
#include <QRadioButton>
#include <QResizeEvent>
#include <QScreen>
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
    delete m_form2;
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
        connect(m_modeButtons[i], &QRadioButton::clicked, this, [this, i] { switchMode(i); });
    connect(m_renameButton, &QPushButton::clicked, this, &Form1::startRename);
    connect(m_easyRunButton, &QPushButton::clicked, this, &Form1::runEasyMode);
    connect(m_advancedRunButton, &QPushButton::clicked, this, &Form1::runAdvancedEdit);
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
    int right = 0;
    int bottom = 0;
    if (const QScreen* screen = QGuiApplication::primaryScreen()) {
        const QRect area = screen->availableGeometry();
        right = area.x() + area.width();
        bottom = area.y() + area.height();
    } else {
        m_dialogs.showMessage(QStringLiteral("デスクトップエリア取得に失敗しました。"));
    }
    move(startupPosition(right, bottom, frameGeometry().size()));
}

void Form1::takeInFiles(const QStringList& paths)
{
    activateWindow();
    raise();
    const QString text = m_batch.takeIn(m_names, paths);
    updateSourceViews();
    replaceNames(text);
    ShowCaretSource();
    m_renameButton->setEnabled(!m_batch.isEmpty());
}

void Form1::replaceNames(const QString& names)
{
    // Like any text box, assigning the text it already holds is no change.
    if (names == m_names)
        return;
    m_replacing = true;
    m_namesEditor->setPlainText(m_editorNames.reset(names));
    m_replacing = false;
    recordNames();
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
    m_editorNames.replaceLines(firstLine, replaced, first.position(), paragraphs);
}

void Form1::onEditorTextChanged()
{
    if (m_replacing)
        return;
    recordNames();
}

void Form1::recordNames()
{
    m_history.record(m_names, !m_batch.isEmpty());
    updateHistoryButtons();
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
    m_sourcePathBox->setText(m_batch.sources().value(line));
}

void Form1::undo()
{
    replaceNames(m_history.undo());
    m_history.endReplacement();
    updateHistoryButtons();
}

void Form1::redo()
{
    replaceNames(m_history.redo());
    m_history.endReplacement();
    updateHistoryButtons();
}

void Form1::restoreNames()
{
    if (m_batch.isEmpty())
        return;
    replaceNames(m_batch.restoredNames());
}

void Form1::startOver()
{
    m_history.clear();
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
    saveRememberedValues();
    // Closing is never refused, not even when the values could not be saved.
    event->accept();
}

void Form1::moveEvent(QMoveEvent* event)
{
    QWidget::moveEvent(event);
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
