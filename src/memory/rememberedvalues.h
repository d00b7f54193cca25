#pragma once

#include <QString>
#include <QStringList>

#include "datafile/datafile.h"

#include <optional>

namespace quillet::memory {

inline constexpr QStringView kRememberedValuesFile = u"AutoComplete.txt";

// The remembered values stored in AutoComplete.txt in the data folder, in file order. Empty
// lines are skipped; duplicates stay. A missing or unreadable file gives no values.
[[nodiscard]] QStringList LoadRememberedValues(const QString& dataFolder);

// Writes the values to AutoComplete.txt in the data folder, one per line, each line ending
// with CR LF (no values: a file holding just CR LF). The file is replaced as a whole.
[[nodiscard]] std::optional<datafile::WriteError> SaveRememberedValues(const QString& dataFolder,
                                                                       const QStringList& values);

} // namespace quillet::memory
