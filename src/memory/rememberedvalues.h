#pragma once

#include <QString>
#include <QStringList>

namespace quillet::memory {

inline constexpr QStringView kRememberedValuesFile = u"AutoComplete.txt";

// The remembered values stored in AutoComplete.txt in the data folder, in file order. Empty
// lines are skipped; duplicates stay. A missing or unreadable file gives no values.
[[nodiscard]] QStringList LoadRememberedValues(const QString& dataFolder);

} // namespace quillet::memory
