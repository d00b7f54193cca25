#pragma once

#include <QFont>
#include <QStringList>

namespace quillet::ui {

// The windows are drawn for "ＭＳ Ｐゴシック". Where it is missing, a metric-compatible
// proportional Japanese gothic takes its place, so that Japanese text never shows as boxes.
[[nodiscard]] QStringList japaneseFontFamilies();

[[nodiscard]] QFont japaneseFont(qreal pointSize, bool bold = false);

} // namespace quillet::ui
