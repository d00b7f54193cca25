#include "ui/japanesefont.h"

namespace quillet::ui {

QStringList japaneseFontFamilies()
{
    return {QStringLiteral("ＭＳ Ｐゴシック"),  QStringLiteral("MS PGothic"),
            QStringLiteral("IPAPGothic"),       QStringLiteral("IPA Pゴシック"),
            QStringLiteral("Noto Sans CJK JP"), QStringLiteral("IPAGothic"),
            QStringLiteral("VL PGothic"),       QStringLiteral("TakaoPGothic")};
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
