#pragma once

#include <QString>
#include <QStringList>

namespace quillet::memory {

// The value memory: one list of remembered texts that all seven value boxes offer.

// Whether a box's text is remembered: not empty, not yet in the list (exact comparison), and
// not one of the texts "1", "2" and "5" (the pattern [1-255] matches exactly those).
[[nodiscard]] bool isRememberable(const QString& text, const QStringList& entries);

// The texts of the seven boxes, in their canonical order, that a run adds to the list, in the
// order it adds them; a text typed into several boxes is added once.
[[nodiscard]] QStringList valuesToRemember(const QStringList& entries, const QStringList& boxTexts);

} // namespace quillet::memory
