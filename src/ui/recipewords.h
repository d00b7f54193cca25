#pragma once

#include "recipe/recipe.h"

#include <QString>

namespace quillet::ui {

// A step in the words of the operation lists, with the values it uses: "先頭に「[DVD] 」を付ける",
// "先頭にA文字を付ける (A: 「番組 」)".
[[nodiscard]] QString stepWords(const recipe::Step& step);

} // namespace quillet::ui
