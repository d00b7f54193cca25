#include "ui/form2.h"

#include "ui/controls.h"
#include "ui/focusring.h"
#include "ui/runprogressrow.h"
#include "ui/twips.h"
#include "ui/windowlayout.h"

#include <QCloseEvent>
#include <QKeyEvent>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>

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

    m_precheckLabel = new QLabel(this);
    m_precheckLabel->setObjectName(QStringLiteral("PrecheckLabel"));
    m_precheckLabel->setGeometry(twipsRect(kPrecheckMargin, 8400, 7200 - 2 * kPrecheckMargin, 495));
    m_precheckLabel->setTextFormat(Qt::RichText);
    m_precheckLabel->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    m_precheckLabel->setAccessibleName(QStringLiteral("リネーム前の点検"));

    m_listing = new QPlainTextEdit(this);
    m_listing->setObjectName(QStringLiteral("Text1"));
    m_listing->setGeometry(twipsRect(0, 0, 13575, 8295));
    m_listing->setReadOnly(true);
    m_listing->setLineWrapMode(QPlainTextEdit::NoWrap);
    m_listing->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    m_listing->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    m_listing->setAccessibleName(QStringLiteral("リネームの内容"));
    // The listing is what the window is for: it has the focus, so that Space or Enter does not
    // start the rename by accident.
    setFocusProxy(m_listing);
    setTabOrder(m_listing, m_renameButton);
    new FocusRing(this);

    m_progressRow = new RunProgressRow(this);
    m_progressRow->setGeometry(m_precheckLabel->geometry());
    connect(m_progressRow, &RunProgressRow::stopRequested, this, &Form2::stopRequested);

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
}

void Form2::setListing(const QString& listing)
{
    // The listing breaks lines with CR LF; the text box wants one line break each.
    m_listing->setPlainText(QString(listing).replace(QStringLiteral("\r\n"), QStringLiteral("\n")));
}

void Form2::setPrecheck(const rename::PrecheckReport& report)
{
    m_precheck = report;
    showPrecheck();
}

void Form2::showPrecheck()
{
    // Problems in red, a shade that reads on a light and on a dark window alike; the count of
    // unchanged entries is no problem and keeps the ordinary text colour.
    const bool darkWindow = palette().color(QPalette::Window).lightness() < 128;
    const QLatin1StringView red =
        darkWindow ? QLatin1StringView("#ff7b72") : QLatin1StringView("#c00000");
    QString text;
    if (!m_precheck.problems.isEmpty()) {
        text = QStringLiteral("<span style=\"color:%1\">%2</span>")
                   .arg(red, m_precheck.problems.toHtmlEscaped());
    }
    if (!m_precheck.unchanged.isEmpty()) {
        if (!text.isEmpty())
            text += u'・';
        text += m_precheck.unchanged.toHtmlEscaped();
    }
    m_precheckLabel->setText(text);
    m_precheckLabel->setToolTip(
        m_precheck.details.isEmpty()
            ? QString()
            : QStringLiteral("<p style=\"white-space:pre\">%1</p>")
                  .arg(m_precheck.details.toHtmlEscaped().replace(u'\n', QStringLiteral("<br>"))));
}

void Form2::changeEvent(QEvent* event)
{
    QWidget::changeEvent(event);
    if (event->type() == QEvent::PaletteChange)
        showPrecheck();
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
    m_precheckLabel->setGeometry(pixels(kPrecheckMargin), button.y(),
                                 qMax(0, button.x() - pixels(2 * kPrecheckMargin)),
                                 m_precheckLabel->height());
    m_progressRow->setGeometry(m_precheckLabel->geometry());
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
