#pragma once

#include <QStringList>

namespace quillet::ui {

// The items of the operation lists, in the order whose indices the operations dispatch on.
[[nodiscard]] QStringList easyOperationItems();     // List6, 36 items, four empty separators
[[nodiscard]] QStringList advancedOperationItems(); // List3
[[nodiscard]] QStringList positionAItems();         // List4
[[nodiscard]] QStringList positionBItems();         // List5

} // namespace quillet::ui
