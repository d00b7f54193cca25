#pragma once

#include <QString>
#include <QStringView>

#include <optional>

namespace quillet::transform {

// Text access by 1-based character positions, as the name operations describe their steps.
// A search gives 0 when nothing is found. Positions and lengths that make no sense (a start
// before position 1, a negative length) are failures, which keep the line unchanged.

// The position of the first occurrence of `what` at or after `start` (start >= 1); 0 when
// there is none or `start` lies beyond the end. An empty `what` is found at `start`.
[[nodiscard]] qsizetype findFrom(QStringView text, QStringView what, qsizetype start = 1);

// The position of the last occurrence of `what` that lies wholly within the first `start`
// characters; 0 when there is none or `start` lies beyond the end; a failure for start < 1.
[[nodiscard]] std::optional<qsizetype> findLastUpTo(QStringView text, QStringView what,
                                                    qsizetype start);

// The `length` characters from position `start` (fewer at the end of the text); a failure
// for start < 1 or length < 0.
[[nodiscard]] std::optional<QString> midText(QStringView text, qsizetype start, qsizetype length);

// The first n characters (all of them when n is at least the length); a failure for n < 0.
[[nodiscard]] std::optional<QString> leftText(QStringView text, qsizetype n);

// The text from position p to its end (empty beyond the end); a failure for p < 1.
[[nodiscard]] std::optional<QString> restText(QStringView text, qsizetype p);

} // namespace quillet::transform
