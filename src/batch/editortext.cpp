#include "batch/editortext.h"

namespace quillet::batch {
namespace {

constexpr char16_t kParagraph = u'\u2029';
constexpr char16_t kShownCr = u'\u240D';
constexpr char16_t kShownLf = u'\u240A';

} // namespace

QString toEditorText(const QString& names)
{
    QString out(names.size(), Qt::Uninitialized);
    QChar* dst = out.data();
    const QChar* src = names.constData();
    const QChar* const end = src + names.size();
    while (src < end) {
        const char16_t c = src->unicode();
        if (c == u'\r' && src + 1 < end && src[1] == u'\n') {
            *dst++ = QChar(kParagraph);
            src += 2;
            continue;
        }
        *dst++ = c == u'\r' ? QChar(kShownCr) : c == u'\n' ? QChar(kShownLf) : *src;
        ++src;
    }
    out.truncate(dst - out.constData());
    return out;
}

QString fromEditorText(const QString& raw)
{
    QString out;
    out.reserve(raw.size() + raw.count(QChar(kParagraph)));
    for (const QChar c : raw) {
        switch (c.unicode()) {
        case kParagraph: out.append(u"\r\n"); break;
        case kShownCr: out.append(u'\r'); break;
        case kShownLf: out.append(u'\n'); break;
        default: out.append(c);
        }
    }
    return out;
}

} // namespace quillet::batch
