#pragma once

#include <QString>
#include <QStringView>

namespace quillet::rename {

// Why a new file name cannot be given to an item.
enum class NameProblem {
    None,
    Empty,            // nothing, or only the extension, came from the line
    InvalidCharacter, // NUL, a broken UTF-16 sequence, "." or ".."
    TooLong,          // more bytes than a file name may have
};

// Longest file name in bytes, as stored on Linux file systems (UTF-8 there).
inline constexpr qsizetype kMaxFileNameBytes = 255;

// Checks one file name (no separator in it): characters and encoded length. Bytes kept by the
// surrogate escape are valid; they are a name's own bytes.
[[nodiscard]] NameProblem checkFileName(QStringView fileName);

// The reason shown to the user for a problem.
[[nodiscard]] QString nameProblemReason(NameProblem problem);

} // namespace quillet::rename
