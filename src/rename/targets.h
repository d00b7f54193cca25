#pragma once

#include <QChar>
#include <QString>
#include <QStringList>

namespace quillet::rename {

inline constexpr QStringView kCrc16Token = u"*/CRC16/*";
inline constexpr QStringView kCrc32Token = u"*/CRC32/*";

// One target per source: the source's folder + separator + line i of the names + "." + the
// extension of the source path. The "." always stands.
[[nodiscard]] QStringList BuildTargetList(const QStringList& sources, const QString& names,
                                          QChar separator);

// Each source, the arrow line " ↓↓↓ " and its target on three lines, then an empty line.
[[nodiscard]] QString FormatConfirmationListing(const QStringList& sources,
                                                const QStringList& targets);

// Where a target's file name starts: after its last separator that is not part of a checksum
// token (on POSIX the tokens hold "/"). 0 when there is none.
[[nodiscard]] qsizetype fileNameStart(const QString& target, QChar separator);

} // namespace quillet::rename
