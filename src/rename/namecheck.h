#pragma once

#include "rename/diskrules.h"

#include <QChar>
#include <QString>
#include <QStringView>

namespace quillet::rename {

// Why a new file name cannot be given to an item.
enum class NameProblem {
    None,
    Empty,            // nothing, only spaces, or only the extension came from the line
    InvalidCharacter, // NUL, a control character, a broken UTF-16 sequence, "." or "..", or
                      // what the disk refuses (FAT, exFAT, NTFS: \ : * ? " < > |, a trailing
                      // dot or space)
    TooLong,          // longer than the disk allows
};

// Longest file name in bytes, as stored on most Linux file systems (UTF-8 there).
inline constexpr qsizetype kMaxFileNameBytes = 255;

// Checks one file name (no separator in it) against the rules of the disk it goes to:
// characters and length. Bytes kept by the surrogate escape are valid; they are a name's own
// bytes.
[[nodiscard]] NameProblem checkFileName(QStringView fileName, const DiskRules& rules = {});

// The reason shown to the user for a problem.
[[nodiscard]] QString nameProblemReason(NameProblem problem);

class DiskRulesCache;

// The file name a target gives its item, as the run will write it, checked against the rules
// of the disk of the target's folder: a checksum token counts with its digits, and a name of
// which the line gave nothing (or only spaces, or a folder with a separator at its end) is
// empty, whatever extension the source adds.
[[nodiscard]] NameProblem checkTarget(const QString& source, const QString& target, QChar separator,
                                      DiskRulesCache& rules);

// The part of a target's file name that came from the names' line: without the extension
// that the source adds.
[[nodiscard]] QStringView nameFromLine(const QString& source, const QString& target,
                                       QChar separator);

// Whether a name starts or ends with a space (also an ideographic one): allowed, but rarely
// meant.
[[nodiscard]] bool hasSurroundingSpace(QStringView name);

} // namespace quillet::rename
