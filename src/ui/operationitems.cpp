#include "ui/operationitems.h"

namespace quillet::ui {

QStringList easyOperationItems()
{
    return {
        QStringLiteral("先頭に「[DVD] 」を付ける"),
        QStringLiteral("先頭に「(DVD) 」を付ける"),
        QStringLiteral("先頭に「(DVD-RIP) 」を付ける"),
        QStringLiteral("先頭に「[LD] 」を付ける"),
        QStringLiteral("先頭に「(LD) 」を付ける"),
        QStringLiteral("先頭に「[映画] 」を付ける"),
        QStringLiteral("先頭に「[18禁ゲーム]」を付ける"),
        QStringLiteral("先頭に「(18禁ゲーム)」を付ける"),
        QStringLiteral("先頭にA文字を付ける"),
        QString(),
        QStringLiteral("最後方に「(DVD)」を付ける"),
        QStringLiteral("最後方に「(DVD-RIP)」を付ける"),
        QStringLiteral("最後方に「(LD)」を付ける"),
        QStringLiteral("最後方に「(日本語字幕)」を付ける"),
        QStringLiteral("最後方に「(日本語吹き替え)」を付ける"),
        QStringLiteral("最後方にA文字を付ける"),
        QString(),
        QStringLiteral("#○○を第○○話に変える"),
        QStringLiteral("第○○話を#○○に変える"),
        QStringLiteral("「｢」を「「」に、「｣」を「」」に変える"),
        QStringLiteral("「（」を「(」に、「）」を「)」に変える(大→小)"),
        QStringLiteral("「(」を「（」に、「)」を「）」に変える(小→大)"),
        QStringLiteral("「!」を「！」に変える(小→大)"),
        QStringLiteral("「！」を「!」に変える(大→小)"),
        QStringLiteral("「・・・」を「…」に変える"),
        QStringLiteral("A文字をB文字に置き換える"),
        QString(),
        QStringLiteral("前方の「[○○○]」か「(○○○)」か「（○○○）」を消す"),
        QStringLiteral("前方のA文字を消す"),
        QStringLiteral("後方の「[○○○]」か「(○○○)」か「（○○○）」を消す"),
        QStringLiteral("後方のA文字を消す"),
        QStringLiteral("両端のスペースを全て消す"),
        QString(),
        QStringLiteral("16bitCRCを最後方に付ける"),
        QStringLiteral("32bitCRCを最後方に付ける"),
        QStringLiteral("真空波動研のコーデック情報を書き換える"),
    };
}

QStringList advancedOperationItems()
{
    return {QStringLiteral("『A位置』に「値C」を入れる"),
            QStringLiteral("『B位置』に「値C」を入れる"),
            QStringLiteral("『A位置』から『B位置』を消す"),
            QStringLiteral("『A位置』から『B位置』を「値C」に置き換える")};
}

QStringList positionAItems()
{
    return {QStringLiteral("先頭"), QStringLiteral("前から「値A-1」文字目"),
            QStringLiteral("後ろから「値A-1」文字目"),
            QStringLiteral("前から探して、文字「値A-1」のある場所"),
            QStringLiteral("後ろから探して、文字「値A-1」のある場所")};
}

QStringList positionBItems()
{
    return {QStringLiteral("最後方"), QStringLiteral("前から「値B-1」文字目"),
            QStringLiteral("後ろから「値B-1」文字目"),
            QStringLiteral("前から探して、文字「値B-1」のある場所"),
            QStringLiteral("後ろから探して、文字「値B-1」のある場所")};
}

} // namespace quillet::ui
