#include "ui/pairinggutter.h"

#include "batch/nativepath.h"
#include "ui/nameeditor.h"

#include <QHelpEvent>
#include <QPaintEvent>
#include <QPainter>
#include <QToolTip>

namespace quillet::ui {
namespace {

// Space around the labels, in pixels.
constexpr int kPadding = 4;
// Paths listed in the tooltip of the shortfall mark; more are summed up.
constexpr qsizetype kListedWithoutLine = 10;

} // namespace

QString GutterRow::label() const
{
    switch (kind) {
    case Kind::Paired: return QString::number(number);
    case Kind::Unpaired: return QStringLiteral("×");
    case Kind::Blank: break;
    }
    return {};
}

QString GutterRow::shortfallLabel() const
{
    return withoutLine > 0 ? u'\u2212' + QString::number(withoutLine) : QString();
}

GutterRow gutterRow(qsizetype row, qsizetype lineCount, qsizetype entryCount)
{
    if (entryCount <= 0 || row < 0 || row >= lineCount)
        return {};
    if (row >= entryCount)
        return {GutterRow::Kind::Unpaired, 0, 0};
    const bool lastOfTooFew = row == lineCount - 1 && lineCount < entryCount;
    return {GutterRow::Kind::Paired, row + 1, lastOfTooFew ? entryCount - lineCount : 0};
}

QString gutterToolTip(qsizetype row, qsizetype lineCount, const QStringList& sources,
                      QChar separator)
{
    const GutterRow shown = gutterRow(row, lineCount, sources.size());
    switch (shown.kind) {
    case GutterRow::Kind::Blank: return {};
    case GutterRow::Kind::Unpaired:
        return QStringLiteral("この行はどのファイルの名前にもなりません。");
    case GutterRow::Kind::Paired: break;
    }
    QString tip = batch::displayText(sources[row], separator);
    if (shown.withoutLine > 0) {
        tip += QStringLiteral("\n\n行のないファイル: %1 個").arg(shown.withoutLine);
        const qsizetype listed = qMin(shown.withoutLine, kListedWithoutLine);
        for (qsizetype i = lineCount; i < lineCount + listed; ++i)
            tip += u'\n' + batch::displayText(sources[i], separator);
        if (shown.withoutLine > listed)
            tip += QStringLiteral("\n…");
    }
    return tip;
}

PairingGutter::PairingGutter(NameEditor* editor, PairingModel model)
    : QWidget(editor)
    , m_editor(editor)
    , m_model(std::move(model))
{
    setObjectName(QStringLiteral("pairingGutter"));
}

qsizetype PairingGutter::entryCount() const
{
    return m_model.sources ? m_model.sources().size() : 0;
}

GutterRow PairingGutter::row(qsizetype r) const
{
    return gutterRow(r, m_editor->blockCount(), entryCount());
}

QString PairingGutter::toolTipAt(qsizetype r) const
{
    if (!m_model.sources)
        return {};
    return gutterToolTip(r, m_editor->blockCount(), m_model.sources(), m_model.separator);
}

int PairingGutter::neededWidth() const
{
    const qsizetype entries = entryCount();
    if (entries == 0)
        return 0;
    const QFontMetrics metrics(m_editor->font());
    int width = metrics.horizontalAdvance(QString(QString::number(entries).size(), u'9'));
    const qsizetype lines = m_editor->blockCount();
    if (lines < entries) {
        const GutterRow last = gutterRow(lines - 1, lines, entries);
        width += metrics.horizontalAdvance(last.shortfallLabel()) + 3 * kPadding;
    }
    return width + 2 * kPadding;
}

qsizetype PairingGutter::rowAt(int y) const
{
    for (const NameEditor::VisibleLine& line : m_editor->visibleLines(height())) {
        if (y >= line.top && y < line.top + line.height)
            return line.number;
    }
    return -1;
}

bool PairingGutter::event(QEvent* event)
{
    if (event->type() == QEvent::ToolTip) {
        const auto* help = static_cast<QHelpEvent*>(event);
        const QString tip = toolTipAt(rowAt(help->pos().y()));
        if (tip.isEmpty()) {
            QToolTip::hideText();
            event->ignore();
        } else {
            QToolTip::showText(help->globalPos(), tip, this);
        }
        return true;
    }
    return QWidget::event(event);
}

void PairingGutter::paintEvent(QPaintEvent* event)
{
    QPainter painter(this);
    const QPalette& colours = palette();
    painter.fillRect(event->rect(), colours.color(QPalette::Window));
    painter.setFont(m_editor->font());
    const QFontMetrics metrics(m_editor->font());
    const qsizetype lines = m_editor->blockCount();
    const qsizetype entries = entryCount();
    const int right = width() - kPadding;

    for (const NameEditor::VisibleLine& line : m_editor->visibleLines(event->rect().bottom())) {
        if (line.top + line.height < event->rect().top())
            continue;
        const GutterRow shown = gutterRow(line.number, lines, entries);
        const QRect labelRect(0, line.top, right, metrics.height());
        painter.setPen(colours.color(shown.kind == GutterRow::Kind::Paired
                                         ? QPalette::WindowText
                                         : QPalette::PlaceholderText));
        painter.drawText(labelRect, Qt::AlignRight | Qt::AlignVCenter, shown.label());
        if (shown.withoutLine > 0) {
            // The shortfall stands out in the selection colours, which every palette keeps
            // readable against each other.
            const QString mark = shown.shortfallLabel();
            const int markWidth = metrics.horizontalAdvance(mark) + 2 * kPadding;
            const QRect markRect(kPadding / 2, line.top, markWidth, metrics.height());
            painter.fillRect(markRect, colours.color(QPalette::Highlight));
            painter.setPen(colours.color(QPalette::HighlightedText));
            painter.drawText(markRect, Qt::AlignCenter, mark);
        }
    }
}

} // namespace quillet::ui
