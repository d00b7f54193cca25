#include "ui/precheckline.h"

#include "ui/problemcolour.h"

#include <QEvent>
#include <QMouseEvent>

namespace quillet::ui {

using namespace Qt::Literals::StringLiterals;

namespace {

constexpr QChar kJoin = u'・';
constexpr QChar kEllipsis = u'…';

// The problems in front, the first `shown` of them, "…" for the rest.
QString problemsText(const QStringList& problems, qsizetype shown)
{
    QString text = problems.first(shown).join(kJoin);
    if (shown < problems.size())
        text += shown > 0 ? QString(kJoin) + kEllipsis : QString(kEllipsis);
    return text;
}

QString withUnchanged(const QString& problems, const QString& unchanged)
{
    if (problems.isEmpty() || unchanged.isEmpty())
        return problems + unchanged;
    return problems + kJoin + unchanged;
}

} // namespace

PrecheckLine::PrecheckLine(QWidget* parent)
    : QLabel(parent)
{
    setTextFormat(Qt::RichText);
    setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    setAccessibleName(u"リネーム前の点検"_s);
}

void PrecheckLine::setFindings(const QStringList& problems, const QString& unchanged,
                               const QString& details)
{
    m_problems = problems;
    m_unchanged = unchanged;
    const QString line = fullText();
    // A screen reader reads names and descriptions as they are: plain text, never markup.
    setAccessibleName(line.isEmpty() ? u"リネーム前の点検"_s : line);
    const QString described = details.isEmpty() ? line : line + u'\n' + details;
    setAccessibleDescription(described);
    setToolTip(described.isEmpty() ? QString()
                                   : u"<p style=\"white-space:pre\">%1</p>"_s.arg(
                                       described.toHtmlEscaped().replace(u'\n', u"<br>"_s)));
    setCursor(m_problems.isEmpty() ? Qt::ArrowCursor : Qt::PointingHandCursor);
    showFitting();
}

QString PrecheckLine::fullText() const
{
    return withUnchanged(m_problems.join(kJoin), m_unchanged);
}

void PrecheckLine::showFitting()
{
    // A little room to spare: rich text and the font metrics may round a pixel apart.
    const int room = contentsRect().width() - 2;
    qsizetype shown = m_problems.size();
    while (shown > 0
           && fontMetrics().horizontalAdvance(
                  withUnchanged(problemsText(m_problems, shown), m_unchanged))
                  > room)
        --shown;
    const QString problems = problemsText(m_problems, shown);
    QString text;
    if (!problems.isEmpty()) {
        text = u"<span style=\"color:%1\">%2</span>"_s.arg(
            problemColour(palette().color(QPalette::Window)).name(), problems.toHtmlEscaped());
    }
    if (!m_unchanged.isEmpty())
        text += (problems.isEmpty() ? QString() : QString(kJoin)) + m_unchanged.toHtmlEscaped();
    setText(text);
}

void PrecheckLine::resizeEvent(QResizeEvent* event)
{
    QLabel::resizeEvent(event);
    showFitting();
}

void PrecheckLine::changeEvent(QEvent* event)
{
    QLabel::changeEvent(event);
    if (event->type() == QEvent::PaletteChange || event->type() == QEvent::FontChange)
        showFitting();
}

void PrecheckLine::mouseReleaseEvent(QMouseEvent* event)
{
    QLabel::mouseReleaseEvent(event);
    if (event->button() != Qt::LeftButton || !rect().contains(event->position().toPoint()))
        return;
    if (event->modifiers() & Qt::ShiftModifier)
        emit previousProblemWanted();
    else
        emit nextProblemWanted();
}

} // namespace quillet::ui
