#include "ui/recipewords.h"

#include "transform/easymode.h"
#include "ui/operationitems.h"

#include <QStringList>

namespace quillet::ui {

using namespace Qt::Literals::StringLiterals;

namespace {

QString quoted(const QString& value)
{
    return u"「"_s + value + u"」"_s;
}

QString item(const QStringList& items, int index)
{
    return index >= 0 && index < items.size() ? items.at(index)
                                              : u"(一覧にない操作 %1)"_s.arg(index);
}

QString easyWords(const recipe::EasyStep& step)
{
    QString words = item(easyOperationItems(), step.operation);
    switch (step.operation) {
    case transform::easy::kLastPrefix:
    case 15:
    case 28:
    case 30: words += u" (A: %1)"_s.arg(quoted(step.valueA)); break;
    case transform::easy::kReplaceAWithB:
        words += u" (A: %1、B: %2)"_s.arg(quoted(step.valueA), quoted(step.valueB));
        break;
    default: break;
    }
    return words;
}

QString positionWords(const QStringList& items, int mode, const QString& value, const QString& plus,
                      QStringView valueName)
{
    QString words = item(items, mode);
    if (mode > 0)
        words.replace(u"「%1」"_s.arg(valueName), quoted(value));
    if (!plus.isEmpty() && plus != u"0"_s)
        words += u" + "_s + plus;
    return words;
}

QString advancedWords(const recipe::AdvancedStep& step)
{
    const transform::AdvancedEditRequest& edit = step.edit;
    // Operation 0 inserts at A, 1 at B, 2 deletes A..B, 3 replaces A..B.
    QStringList parts;
    if (edit.operation != 1)
        parts.append(
            u"A位置: "_s
            + positionWords(positionAItems(), edit.modeA, edit.valueA1, edit.plusA, u"値A-1"));
    if (edit.operation != 0)
        parts.append(
            u"B位置: "_s
            + positionWords(positionBItems(), edit.modeB, edit.valueB1, edit.plusB, u"値B-1"));
    if (edit.operation != 2)
        parts.append(u"値C: "_s + quoted(edit.valueC));
    return item(advancedOperationItems(), edit.operation) + u" ("_s + parts.join(u"、"_s) + u')';
}

} // namespace

QString stepWords(const recipe::Step& step)
{
    if (const auto* easy = std::get_if<recipe::EasyStep>(&step))
        return easyWords(*easy);
    return advancedWords(std::get<recipe::AdvancedStep>(step));
}

} // namespace quillet::ui
