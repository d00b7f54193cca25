#include "ui/japanesefont.h"

#include <QFontDatabase>

namespace quillet::ui {
namespace {

bool isSerif(const QString& family)
{
    for (const char16_t* mark : {u"Mincho", u"明朝", u"Serif", u"serif"}) {
        if (family.contains(QStringView(mark)))
            return true;
    }
    return false;
}

} // namespace

QStringList japaneseFontFamilies()
{
    // The design font, then the metric-compatible IPA P Gothic, then the proportional and
    // fixed gothics that Linux desktops ship.
    static const QStringList families = [] {
        QStringList list{QStringLiteral("ＭＳ Ｐゴシック"),  QStringLiteral("MS PGothic"),
                         QStringLiteral("IPAPGothic"),       QStringLiteral("IPA Pゴシック"),
                         QStringLiteral("Noto Sans CJK JP"), QStringLiteral("VL PGothic"),
                         QStringLiteral("TakaoPGothic"),     QStringLiteral("IPAGothic")};
        // Then any other installed Japanese sans-serif, rather than the platform's own pick.
        for (const QString& family : QFontDatabase::families(QFontDatabase::Japanese)) {
            if (!isSerif(family) && !list.contains(family))
                list.append(family);
        }
        return list;
    }();
    return families;
}

QFont japaneseFont(qreal pointSize, bool bold)
{
    QFont font;
    font.setFamilies(japaneseFontFamilies());
    font.setStyleHint(QFont::SansSerif);
    font.setPointSizeF(pointSize);
    font.setBold(bold);
    return font;
}

} // namespace quillet::ui
