#include "ui/checksumverifywindow.h"

#include "batch/nativepath.h"
#include "ui/problemcolour.h"

#include <QCloseEvent>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLocale>
#include <QPushButton>
#include <QThread>
#include <QTreeWidget>
#include <QVBoxLayout>

namespace quillet::ui {

using namespace Qt::Literals::StringLiterals;

namespace {

enum Column { Line, Name, Outcome, ColumnCount };

QString megabytes(qint64 bytes)
{
    return QLocale::system().toString((bytes + 500'000) / 1'000'000);
}

} // namespace

ChecksumVerifyWindow::ChecksumVerifyWindow(QStringList sources, QStringList lines, QChar separator,
                                           QWidget* parent)
    : QDialog(parent)
    , m_sources(std::move(sources))
    , m_lines(std::move(lines))
    , m_separator(separator)
{
    setObjectName(u"ChecksumVerify"_s);
    setWindowTitle(u"チェックサムの検証"_s);
    resize(820, 460);

    m_list = new QTreeWidget(this);
    m_list->setObjectName(u"VerifyList"_s);
    m_list->setAccessibleName(u"検証の結果"_s);
    m_list->setRootIsDecorated(false);
    m_list->setUniformRowHeights(true);
    m_list->setAllColumnsShowFocus(true);
    m_list->setColumnCount(ColumnCount);
    m_list->setHeaderLabels({u"行"_s, u"ファイル名"_s, u"結果"_s});
    m_list->header()->setStretchLastSection(false);
    m_list->header()->setSectionResizeMode(Name, QHeaderView::Stretch);
    m_list->header()->setSectionResizeMode(Outcome, QHeaderView::ResizeToContents);

    m_progressRow = new QWidget(this);
    m_progressLabel = new QLabel(m_progressRow);
    m_progressLabel->setObjectName(u"VerifyProgress"_s);
    m_progressLabel->setTextFormat(Qt::PlainText);
    m_stopButton = new QPushButton(u"中止"_s, m_progressRow);
    m_stopButton->setObjectName(u"StopButton"_s);
    auto* progressLayout = new QHBoxLayout(m_progressRow);
    progressLayout->setContentsMargins(0, 0, 0, 0);
    progressLayout->addWidget(m_progressLabel, 1);
    progressLayout->addWidget(m_stopButton);

    m_summary = new QLabel(this);
    m_summary->setObjectName(u"VerifySummary"_s);
    m_summary->setTextFormat(Qt::PlainText);
    m_summary->setWordWrap(true);
    // It takes the focus once a mend is done, so that a screen reader reads what it did.
    m_summary->setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
    m_summary->setFocusPolicy(Qt::StrongFocus);

    m_mendButton = new QPushButton(u"名前を実際の値に直す"_s, this);
    m_mendButton->setObjectName(u"MendButton"_s);
    m_mendButton->setEnabled(false);
    m_closeButton = new QPushButton(u"閉じる"_s, this);
    m_closeButton->setObjectName(u"CloseButton"_s);
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(m_summary, 1);
    buttons->addWidget(m_mendButton);
    buttons->addWidget(m_closeButton);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_list, 1);
    layout->addWidget(m_progressRow);
    layout->addLayout(buttons);

    // Return in the list acts on no button: a mend is asked for on purpose.
    for (QPushButton* button : {m_stopButton, m_mendButton, m_closeButton})
        button->setAutoDefault(false);
    connect(m_stopButton, &QPushButton::clicked, this, [this] {
        m_stopButton->setEnabled(false);
        m_run.requestStop();
    });
    connect(m_mendButton, &QPushButton::clicked, this, &ChecksumVerifyWindow::requestMend);
    connect(m_closeButton, &QPushButton::clicked, this, &QWidget::close);
    m_progressTimer.setInterval(kProgressMs);
    connect(&m_progressTimer, &QTimer::timeout, this, &ChecksumVerifyWindow::showProgress);
}

ChecksumVerifyWindow::~ChecksumVerifyWindow()
{
    if (!m_thread)
        return;
    m_run.requestStop();
    m_thread->wait();
}

void ChecksumVerifyWindow::start()
{
    if (m_thread)
        return;
    m_list->clear();
    m_counts = {};
    m_mends.clear();
    m_summary->clear();
    m_progressRow->show();
    showProgress();
    // The verdicts come back to this thread as they are found; the run never waits for it.
    m_thread.reset(QThread::create([this] {
        const bool complete = m_run.run(
            m_sources, m_separator, [this](qsizetype item, const checksum::NameVerdict& verdict) {
                QMetaObject::invokeMethod(
                    this, [this, item, verdict] { addVerdict(item, verdict); },
                    Qt::QueuedConnection);
            });
        QMetaObject::invokeMethod(
            this, [this, complete] { finish(complete); }, Qt::QueuedConnection);
    }));
    m_thread->start();
    m_progressTimer.start();
}

void ChecksumVerifyWindow::addVerdict(qsizetype item, const checksum::NameVerdict& verdict)
{
    using Kind = checksum::NameVerdict::Kind;
    m_counts.add(verdict.kind);
    const QString& source = m_sources.at(item);
    auto* row = new QTreeWidgetItem(
        {QString::number(item + 1),
         batch::displayText(source.mid(source.lastIndexOf(m_separator) + 1), m_separator),
         checksum::verdictText(verdict)});
    row->setTextAlignment(Line, Qt::AlignRight | Qt::AlignVCenter);
    row->setToolTip(Name, batch::displayText(source, m_separator));
    if (verdict.kind == Kind::Mismatch || verdict.kind == Kind::Unreadable) {
        const QColor colour = problemColour(m_list->palette().color(QPalette::Base));
        for (int column = 0; column < ColumnCount; ++column)
            row->setForeground(column, colour);
    }
    m_list->addTopLevelItem(row);
    if (verdict.kind == Kind::Mismatch && item < m_lines.size())
        m_mends.append({item, m_lines.at(item), verdict.named, verdict.actual});
}

void ChecksumVerifyWindow::showProgress()
{
    const checksum::VerificationRun::Position at = m_run.position();
    const qsizetype total = m_sources.size();
    QString text = u"%1 / %2件目を検証しています"_s.arg(
        QLocale::system().toString(std::min(at.item + 1, total)),
        QLocale::system().toString(total));
    if (at.length > 0)
        text += u"・%1 / %2 MB 読み込み済み"_s.arg(megabytes(at.bytesRead), megabytes(at.length));
    m_progressLabel->setText(text);
}

void ChecksumVerifyWindow::finish(bool complete)
{
    m_progressTimer.stop();
    if (m_thread) {
        m_thread->wait();
        m_thread.reset();
    }
    m_progressRow->hide();
    m_stopButton->setEnabled(true);
    m_summary->setText((complete ? QString() : u"中止しました。"_s) + m_counts.summary());
    m_mendButton->setEnabled(!m_mends.isEmpty());
    emit checkFinished();
}

void ChecksumVerifyWindow::requestMend()
{
    m_mendButton->setEnabled(false);
    emit mendRequested(m_mends);
}

void ChecksumVerifyWindow::showMendOutcome(const checksum::MendedNames& outcome,
                                           const QString& refusal)
{
    QString text = m_counts.summary() + u'\n';
    if (!refusal.isEmpty()) {
        text += refusal;
    } else {
        text += u"%L1件の名前を直しました。"_s.arg(outcome.mended);
        if (outcome.edited > 0)
            text += u"%L1件は検証を始めた後に行が編集されたため、そのままにしました。"_s.arg(
                outcome.edited);
        if (outcome.alreadyRight > 0)
            text += u"%L1件は行が既に実際の値になっています。"_s.arg(outcome.alreadyRight);
        if (outcome.unmatched > 0)
            text += u"%L1件は行に名前のチェックサムがないため、そのままにしました。"_s.arg(
                outcome.unmatched);
    }
    m_summary->setText(text);
    m_summary->setFocus();
}

void ChecksumVerifyWindow::closeEvent(QCloseEvent* event)
{
    m_run.requestStop();
    QDialog::closeEvent(event);
}

void ChecksumVerifyWindow::keyPressEvent(QKeyEvent* event)
{
    if (event->key() == Qt::Key_Escape) {
        close();
        return;
    }
    QDialog::keyPressEvent(event);
}

} // namespace quillet::ui
