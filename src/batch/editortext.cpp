#include "batch/editortext.h"

#include "batch/linetext.h"

#include <algorithm>

namespace quillet::batch {
namespace {

constexpr char16_t kParagraph = u'\u2029';

// The symbol that stands for a character the editor cannot hold inside a paragraph; 0 for
// every other character.
constexpr char16_t symbolFor(char16_t c)
{
    switch (c) {
    case u'\r': return u'\u240D';
    case u'\n': return u'\u240A';
    case u'\u2028': return u'\u2424';
    case u'\u2029': return u'\u204B';
    case u'\uFDD0': return u'\u2402';
    case u'\uFDD1': return u'\u2403';
    default: return 0;
    }
}

// The character a symbol stands for; 0 for every character that is no symbol.
constexpr char16_t characterFor(char16_t symbol)
{
    switch (symbol) {
    case u'\u240D': return u'\r';
    case u'\u240A': return u'\n';
    case u'\u2424': return u'\u2028';
    case u'\u204B': return u'\u2029';
    case u'\u2402': return u'\uFDD0';
    case u'\u2403': return u'\uFDD1';
    default: return 0;
    }
}

// What may follow the escape symbol as its escaped character.
constexpr bool isEscapable(char16_t c)
{
    return c == kEscapeSymbol || characterFor(c) != 0;
}

// Appends the paragraph for one name line; returns how many characters longer it is.
qsizetype appendEditorLine(QString& out, QStringView line)
{
    qsizetype extra = 0;
    const qsizetype n = line.size();
    for (qsizetype i = 0; i < n; ++i) {
        const char16_t c = line[i].unicode();
        if (const char16_t symbol = symbolFor(c)) {
            out.append(QChar(symbol));
            continue;
        }
        // The escape symbol needs its own escape only where the paragraph would otherwise
        // read it together with what follows: before a symbol or another escape symbol.
        const bool escape =
            characterFor(c) != 0
            || (c == kEscapeSymbol && i + 1 < n
                && (isEscapable(line[i + 1].unicode()) || symbolFor(line[i + 1].unicode()) != 0));
        if (escape) {
            out.append(QChar(kEscapeSymbol));
            ++extra;
        }
        out.append(line[i]);
    }
    return extra;
}

// Appends the name line for one paragraph; returns how many characters shorter it is.
qsizetype appendNameLine(QString& out, QStringView paragraph)
{
    qsizetype escapes = 0;
    const qsizetype lineStart = out.size();
    const qsizetype n = paragraph.size();
    for (qsizetype i = 0; i < n; ++i) {
        const char16_t c = paragraph[i].unicode();
        if (c == kEscapeSymbol && i + 1 < n && isEscapable(paragraph[i + 1].unicode())) {
            out.append(paragraph[++i]);
            ++escapes;
            continue;
        }
        const char16_t meant = characterFor(c);
        // A CR followed by an LF would end the line in the names text; the LF symbol then
        // stays a symbol.
        const bool wouldBreak = meant == u'\n' && out.size() > lineStart && out.back() == u'\r';
        out.append(meant && !wouldBreak ? QChar(meant) : paragraph[i]);
    }
    return escapes;
}

// Appends the editor text for a names text: one paragraph per line, separated by U+2029.
void appendEditorText(QString& out, QStringView names)
{
    qsizetype start = 0;
    while (true) {
        const qsizetype end = names.indexOf(kLineBreak, start);
        appendEditorLine(out, names.sliced(start, (end < 0 ? names.size() : end) - start));
        if (end < 0)
            break;
        out.append(QChar(kParagraph));
        start = end + kLineBreak.size();
    }
}

} // namespace

QString toEditorLine(QStringView line)
{
    QString out;
    out.reserve(line.size());
    appendEditorLine(out, line);
    return out;
}

QString fromEditorLine(QStringView paragraph)
{
    QString out;
    out.reserve(paragraph.size());
    appendNameLine(out, paragraph);
    return out;
}

qsizetype nameColumn(QStringView paragraph, qsizetype editorColumn)
{
    const qsizetype end = std::min(editorColumn, paragraph.size());
    qsizetype column = 0;
    for (qsizetype i = 0; i < end; ++column) {
        const bool pair = paragraph[i] == QChar(kEscapeSymbol) && i + 1 < paragraph.size()
                          && isEscapable(paragraph[i + 1].unicode());
        const qsizetype width = pair ? 2 : 1;
        if (i + width > end)
            break;
        i += width;
    }
    return column;
}

QString toEditorText(const QString& names)
{
    QString out;
    out.reserve(names.size());
    appendEditorText(out, names);
    return out;
}

QString fromEditorText(const QString& raw)
{
    QString out;
    out.reserve(raw.size() + raw.count(QChar(kParagraph)));
    const QStringView view(raw);
    qsizetype start = 0;
    while (true) {
        const qsizetype end = view.indexOf(QChar(kParagraph), start);
        appendNameLine(out, view.sliced(start, (end < 0 ? view.size() : end) - start));
        if (end < 0)
            break;
        out.append(kLineBreak);
        start = end + 1;
    }
    return out;
}

QString EditorNames::reset(const ChunkedText& names)
{
    m_names = names;
    QString out;
    out.reserve(names.size());
    bool first = true;
    names.forEachPiece([&](QStringView piece) {
        if (!first)
            out.append(QChar(kParagraph));
        first = false;
        appendEditorText(out, piece);
    });
    return out;
}

void EditorNames::replaceLines(qsizetype first, qsizetype removedCount,
                               const QStringList& paragraphs)
{
    Q_ASSERT(first >= 0 && removedCount >= 1 && first + removedCount <= lineCount());
    QString replacement;
    for (qsizetype i = 0; i < paragraphs.size(); ++i) {
        if (i > 0)
            replacement.append(kLineBreak);
        appendNameLine(replacement, paragraphs[i]);
    }
    m_names.replaceLines(first, removedCount, replacement);
}

} // namespace quillet::batch
