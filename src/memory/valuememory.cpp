#include "memory/valuememory.h"

namespace quillet::memory {

bool isRememberable(const QString& text, const QStringList& entries)
{
    if (text.isEmpty() || entries.contains(text))
        return false;
    const bool matchesOneTwoFive =
        text.size() == 1 && (text[0] == u'1' || text[0] == u'2' || text[0] == u'5');
    return !matchesOneTwoFive;
}

QStringList valuesToRemember(const QStringList& entries, const QStringList& boxTexts)
{
    QStringList known = entries;
    QStringList added;
    for (const QString& text : boxTexts) {
        if (!isRememberable(text, known))
            continue;
        known.append(text);
        added.append(text);
    }
    return added;
}

} // namespace quillet::memory
