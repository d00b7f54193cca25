#include "ui/form2.h"

#include "ui/controls.h"
#include "ui/focusring.h"
#include "ui/listingview.h"
#include "ui/precheckline.h"
#include "ui/runprogressrow.h"
#include "ui/twips.h"
#include "ui/windowlayout.h"

#include <QCloseEvent>
#include <QKeyEvent>
#include <QPushButton>

#include <algorithm>

namespace quillet::ui {

namespace {

// The pre-check line sits in the button row, from this margin to the same margin before the
// confirm button.
constexpr int kPrecheckMargin = 120;

} // namespace

Form2::Form2(QWidget* parent)
    : QWidget(parent, Qt::Window)
{
    setObjectName(QStringLiteral("Form2"));
    setWindowTitle(QStringLiteral("確認"));
    resize(pixels(13605), pixels(8970));

    m_copyButton = makeButton(this, u"Command3", QStringLiteral("リネームコピーする"), QString(),
                              {11520, 8400, 1935, 495});
    m_moveButton = makeButton(this, u"Command2", QStringLiteral("リネーム移動する"), QString(),
                              {9360, 8400, 1935, 495});
    m_renameButton = makeButton(this, u"Command1", QStringLiteral("リネームする"),
                                QStringLiteral("リネームを開始します"), {7200, 8400, 1935, 495});
    // Copying and moving were never offered: the two buttons stay disabled.
    m_moveButton->setEnabled(false);
    m_copyButton->setEnabled(false);

    m_precheckLine = new PrecheckLine(this);
    m_precheckLine->setObjectName(QStringLiteral("PrecheckLabel"));
    m_precheckLine->setGeometry(twipsRect(kPrecheckMargin, 8400, 7200 - 2 * kPrecheckMargin, 495));
    connect(m_precheckLine, &PrecheckLine::nextProblemWanted, this, &Form2::showNextProblem);
    connect(m_precheckLine, &PrecheckLine::previousProblemWanted, this,
            &Form2::showPreviousProblem);

    m_listing = new ListingView(this);
    m_listing->setObjectName(QStringLiteral("Text1"));
    m_listing->setGeometry(twipsRect(0, 0, 13575, 8295));
    m_listing->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    m_listing->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    m_listing->setAccessibleName(QStringLiteral("リネームの内容"));
    // The listing is what the window is for: it has the focus, so that Space or Enter does not
    // start the rename by accident.
    setFocusProxy(m_listing);
    setTabOrder(m_listing, m_renameButton);
    new FocusRing(this);

    m_progressRow = new RunProgressRow(this);
    m_progressRow->setGeometry(m_precheckLine->geometry());
    connect(m_progressRow, &RunProgressRow::stopRequested, this, &Form2::stopRequested);
    // The row takes the check line's place: drawn over it, both reached a screen reader and a
    // screenshot.
    connect(m_progressRow, &RunProgressRow::appeared, m_precheckLine, &QWidget::hide);

    connect(m_renameButton, &QPushButton::clicked, this, &Form2::confirmed);
}

void Form2::runStarted(qsizetype total, bool undo)
{
    m_running = true;
    m_renameButton->setEnabled(false);
    m_progressRow->runStarted(total, undo);
}

void Form2::showRunProgress(qsizetype done, qsizetype total)
{
    m_progressRow->showProgress(done, total);
}

void Form2::runEnded()
{
    m_running = false;
    m_renameButton->setEnabled(true);
    m_progressRow->runEnded();
    m_precheckLine->show();
}

void Form2::setListing(std::shared_ptr<const rename::ConfirmationListing> listing)
{
    m_listing->setListing(std::move(listing));
    // Marks belong to the listing they were made for; until its check has been told, the run
    // waits for it.
    m_problemEntries.clear();
    m_renameButton->setEnabled(false);
}

void Form2::awaitListing()
{
    m_renameButton->setEnabled(false);
}

void Form2::setPrecheck(const rename::PrecheckReport& report)
{
    m_renameButton->setEnabled(!m_running);
    m_precheckLine->setFindings(report.problems, report.unchanged, report.details);
    m_problemEntries.clear();
    for (const rename::EntryMark& mark : report.marks) {
        if (mark.isProblem())
            m_problemEntries.append(mark.entry);
    }
    m_listing->markEntries(report.marks);
}

void Form2::setTakingBack(const QString& verb, const QString& line)
{
    const bool rename = verb.isEmpty();
    setWindowTitle(rename ? QStringLiteral("確認") : QStringLiteral("確認 — ") + verb);
    m_renameButton->setText(rename ? QStringLiteral("リネームする") : verb);
    m_renameButton->setAccessibleName(m_renameButton->text());
    m_renameButton->setToolTip(rename ? QStringLiteral("リネームを開始します") : line);
    // A screen reader says what the button does: an undo window's button never says it renames.
    m_renameButton->setAccessibleDescription(m_renameButton->toolTip());
    if (!rename)
        m_precheckLine->setFindings({}, line, {});
}

void Form2::showProblem(bool forward)
{
    if (m_problemEntries.isEmpty())
        return;
    // From an entry already selected the next one is another; from a bare cursor the entry it
    // stands in counts as well.
    const qsizetype here = m_listing->entryAtCursor();
    const bool selected = m_listing->hasSelection();
    qsizetype entry = 0;
    if (forward) {
        const auto next =
            selected ? std::upper_bound(m_problemEntries.cbegin(), m_problemEntries.cend(), here)
                     : std::lower_bound(m_problemEntries.cbegin(), m_problemEntries.cend(), here);
        entry = next == m_problemEntries.cend() ? m_problemEntries.first() : *next;
    } else {
        const auto after =
            selected ? std::lower_bound(m_problemEntries.cbegin(), m_problemEntries.cend(), here)
                     : std::upper_bound(m_problemEntries.cbegin(), m_problemEntries.cend(), here);
        entry = after == m_problemEntries.cbegin() ? m_problemEntries.last() : *(after - 1);
    }
    m_listing->selectEntry(entry);
    m_listing->setFocus(Qt::OtherFocusReason);
}

void Form2::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    applyLayout();
}

void Form2::moveEvent(QMoveEvent* event)
{
    QWidget::moveEvent(event);
    // The window manager's frame may arrive after the first showing, with a move: the rule
    // counts in the outer size.
    applyLayout();
}

void Form2::applyLayout()
{
    const QSize outer = frameGeometry().size();
    const std::optional<ConfirmWindowLayout> layout =
        confirmWindowLayout(twips(outer.width()), twips(outer.height()));
    if (!layout)
        return;
    m_listing->resize(pixels(layout->listingSize.width()), pixels(layout->listingSize.height()));
    const QPoint button(pixels(layout->confirmButton.x()), pixels(layout->confirmButton.y()));
    m_renameButton->move(button);
    m_moveButton->move(button + QPoint(pixels(2160), 0));
    m_copyButton->move(button + QPoint(pixels(2 * 2160), 0));
    m_precheckLine->setGeometry(pixels(kPrecheckMargin), button.y(),
                                qMax(0, button.x() - pixels(2 * kPrecheckMargin)),
                                m_precheckLine->height());
    m_progressRow->setGeometry(m_precheckLine->geometry());
}

void Form2::showEvent(QShowEvent* event)
{
    QWidget::showEvent(event);
    applyLayout();
    m_listing->setFocus(Qt::ActiveWindowFocusReason);
}

void Form2::keyPressEvent(QKeyEvent* event)
{
    // Escape closes the window without renaming anything, as a dialog's Cancel does; while a
    // run goes on it asks the run to stop, as 中止 does.
    if (event->key() == Qt::Key_Escape && event->modifiers() == Qt::NoModifier) {
        if (m_running)
            m_progressRow->requestStop();
        else
            close();
        return;
    }
    // Every problem is reachable from the keyboard, as a compiler's F8 goes through its errors.
    if (event->key() == Qt::Key_F8 && (event->modifiers() & ~Qt::ShiftModifier) == 0) {
        showProblem(!(event->modifiers() & Qt::ShiftModifier));
        return;
    }
    QWidget::keyPressEvent(event);
}

void Form2::closeEvent(QCloseEvent* event)
{
    if (m_running)
        event->ignore();
    else
        event->accept();
}

} // namespace quillet::ui
