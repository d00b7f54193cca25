#pragma once

#include <QString>

namespace quillet::transform {

// Easy-mode operations that remove a part of a line. Each returns the new line; the empty
// text stands for "no change". The bracket kinds are "[ ]", "( )" and "（ ）".

// Removes the group that closes first, when the line begins with an opening bracket.
[[nodiscard]] QString RemoveLeadingBracketGroup(const QString& line);

// Removes everything from the last opening bracket on, when the line ends with a closing one.
[[nodiscard]] QString RemoveTrailingBracketGroup(const QString& line);

// Removes the first (or last) occurrence of value A.
[[nodiscard]] QString RemoveFirstValueA(const QString& line, const QString& valueA);
[[nodiscard]] QString RemoveLastValueA(const QString& line, const QString& valueA);

// Removes " " and "　" at both ends; spaces inside stay.
[[nodiscard]] QString TrimSpaces(const QString& line);

} // namespace quillet::transform
