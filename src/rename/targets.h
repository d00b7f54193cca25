#pragma once

#include <QChar>
#include <QString>
#include <QStringList>

namespace quillet::rename {

inline constexpr QStringView kCrc16Token = u"*/CRC16/*";
inline constexpr QStringView kCrc32Token = u"*/CRC32/*";

// Whether a target's name waits for a checksum.
[[nodiscard]] inline bool hasChecksumToken(QStringView text)
{
    return text.contains(kCrc16Token) || text.contains(kCrc32Token);
}

// The target of one source for a new name: the source's folder + separator + the name + "." +
// the extension of the source's file name. With the Windows separator the "." always stands
// (the system drops a trailing one); on POSIX a file name without a dot gets none.
[[nodiscard]] QString targetFor(const QString& source, const QString& line, QChar separator);

// One target per source, line i of the names for source i.
[[nodiscard]] QStringList BuildTargetList(const QStringList& sources, const QString& names,
                                          QChar separator);

// Each source, the arrow line " ↓↓↓ " and its target on three lines, then an empty line. Paths
// are shown as the user reads them (batch/nativepath.h).
inline constexpr int kListingLinesPerEntry = 4;
inline constexpr int kListingTargetLine = 2; // of an entry's lines, counted from 0
[[nodiscard]] QString FormatConfirmationListing(const QStringList& sources,
                                                const QStringList& targets, QChar separator);

// Where a target's file name starts: after its last separator that is not part of a checksum
// token (on POSIX the tokens hold "/"). 0 when there is none.
[[nodiscard]] qsizetype fileNameStart(const QString& target, QChar separator);

} // namespace quillet::rename
