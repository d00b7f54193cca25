#include "ui/runprogressrow.h"

#include "ui/controls.h"

#include <QLabel>
#include <QLocale>
#include <QProgressBar>
#include <QPushButton>

namespace quillet::ui {

using namespace Qt::Literals::StringLiterals;

RunProgressRow::RunProgressRow(QWidget* parent)
    : QWidget(parent)
{
    setObjectName(u"RunProgress"_s);
    m_label = new QLabel(this);
    m_label->setObjectName(u"RunProgressLabel"_s);
    m_bar = new QProgressBar(this);
    m_bar->setObjectName(u"RunProgressBar"_s);
    m_bar->setTextVisible(false);
    m_bar->setAccessibleName(u"リネームの進み具合"_s);
    m_stopButton = makeButton(this, u"StopButton", u"中止"_s,
                              u"いまのリネームが終わったところで止めます"_s, {0, 0, 1000, 495});
    connect(m_stopButton, &QPushButton::clicked, this, &RunProgressRow::requestStop);
    m_appearTimer.setSingleShot(true);
    m_appearTimer.setInterval(kShowAfterMs);
    connect(&m_appearTimer, &QTimer::timeout, this, &RunProgressRow::appear);
    hide();
}

void RunProgressRow::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    const int h = height();
    const int buttonWidth = m_stopButton->width();
    const int labelWidth =
        m_label->fontMetrics().horizontalAdvance(u"リネーム中 0,000,000 / 0,000,000"_s);
    m_stopButton->setGeometry(width() - buttonWidth, 0, buttonWidth, h);
    m_label->setGeometry(0, 0, qMin(labelWidth, width() / 2), h);
    m_bar->setGeometry(m_label->width() + 8, h / 4,
                       qMax(0, width() - buttonWidth - m_label->width() - 16), h / 2);
}

void RunProgressRow::runStarted(qsizetype total, bool undo)
{
    m_running = true;
    m_verb = undo ? u"元に戻し中"_s : u"リネーム中"_s;
    m_stopButton->setEnabled(true);
    showProgress(0, total);
    m_appearTimer.start();
}

void RunProgressRow::showProgress(qsizetype done, qsizetype total)
{
    const QLocale numbers(QLocale::Japanese, QLocale::Japan);
    m_label->setText(m_verb + u' ' + numbers.toString(done) + u" / "_s + numbers.toString(total));
    m_bar->setRange(0, int(qMin<qsizetype>(total, INT_MAX)));
    m_bar->setValue(int(qMin<qsizetype>(done, INT_MAX)));
}

void RunProgressRow::requestStop()
{
    if (!m_running)
        return;
    // Pressed once is enough: the run stops after the rename in progress.
    m_stopButton->setEnabled(false);
    emit stopRequested();
}

void RunProgressRow::appear()
{
    if (!m_running)
        return;
    show();
    raise();
    emit appeared();
}

void RunProgressRow::runEnded()
{
    m_running = false;
    m_appearTimer.stop();
    hide();
}

} // namespace quillet::ui
