#include "recipe/recipe.h"

#include "transform/easymode.h"

namespace quillet::recipe {

using namespace Qt::Literals::StringLiterals;

bool AdvancedStep::operator==(const AdvancedStep& other) const
{
    const transform::AdvancedEditRequest& a = edit;
    const transform::AdvancedEditRequest& b = other.edit;
    return a.operation == b.operation && a.modeA == b.modeA && a.valueA1 == b.valueA1
           && a.plusA == b.plusA && a.modeB == b.modeB && a.valueB1 == b.valueB1
           && a.plusB == b.plusB && a.valueC == b.valueC;
}

namespace {

constexpr int kAdvancedOperations = 4;
constexpr int kPositionModes = 5;

bool applies(const EasyStep& step)
{
    return step.operation >= 0 && step.operation < transform::easy::kCount
           && !transform::easy::isSeparator(step.operation);
}

bool applies(const AdvancedStep& step)
{
    const transform::AdvancedEditRequest& edit = step.edit;
    return edit.operation >= 0 && edit.operation < kAdvancedOperations && edit.modeA >= 0
           && edit.modeA < kPositionModes && edit.modeB >= 0 && edit.modeB < kPositionModes;
}

} // namespace

std::optional<QString> recipeProblem(const Recipe& recipe)
{
    for (qsizetype i = 0; i < recipe.steps.size(); ++i) {
        const bool ok =
            std::visit([](const auto& step) { return applies(step); }, recipe.steps.at(i));
        if (!ok)
            return u"手順「%1」の%2番目の操作は、いまの一覧にありません。"_s.arg(recipe.name)
                .arg(i + 1);
    }
    return std::nullopt;
}

std::optional<batch::ChunkedText> replayRecipe(const Recipe& recipe,
                                               const batch::ChunkedText& names, qsizetype count,
                                               const ReplayValues& values)
{
    if (recipeProblem(recipe))
        return std::nullopt;
    batch::ChunkedText text = names;
    for (const Step& step : recipe.steps) {
        if (const auto* easy = std::get_if<EasyStep>(&step)) {
            const transform::EasyValues easyValues{easy->valueA,         easy->valueB,
                                                   values.crc16Template, values.crc32Template,
                                                   values.codecTemplate, values.codecNames};
            std::optional<batch::ChunkedText> next =
                transform::RunEasyMode(easy->operation, text, count, easyValues);
            if (!next)
                return std::nullopt;
            text = std::move(*next);
        } else {
            const auto& advanced = std::get<AdvancedStep>(step);
            text = batch::ChunkedText(
                transform::ApplyAdvancedEdit(count, text.toString(), advanced.edit));
        }
    }
    return text;
}

} // namespace quillet::recipe
