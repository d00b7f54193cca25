#pragma once

#include "batch/chunkedtext.h"

#include <QChar>
#include <QList>
#include <QString>

namespace quillet::checksum {

// A line of names to mend: the checksum its item's name carries is not the item's.
struct ChecksumMend {
    qsizetype line = 0;
    QString lineWhenChecked; // the line as it stood when the check began
    QString named;           // the digits the name carries
    QString actual;          // the item's CRC-32
};

struct MendedNames {
    batch::ChunkedText names;
    qsizetype mended = 0;
    qsizetype edited = 0;       // changed since the check began: left alone
    qsizetype unmatched = 0;    // the line carries other digits, or none: left alone
    qsizetype alreadyRight = 0; // the line carries the actual digits already (mended before)
};

// The names with the wrong digits of each mend's line replaced by the actual ones (brackets
// kept, upper case as a rename writes a checksum). A line edited since the check began is left
// alone, and so is one whose last checksum group is not the wrong one (or is the actual one
// already: the names were mended before, and the files not renamed since).
[[nodiscard]] MendedNames mendChecksums(const batch::ChunkedText& names,
                                        const QList<ChecksumMend>& mends, QChar separator);

} // namespace quillet::checksum
