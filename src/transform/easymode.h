#pragma once

#include "batch/chunkedtext.h"
#include "transform/profilefile.h"

#include <QString>
#include <QStringList>

#include <optional>

namespace quillet::transform {

// What the easy-mode operations read besides the line.
struct EasyValues {
    QString valueA;
    QString valueB;
    QString crc16Template;
    QString crc32Template;
    QString codecTemplate;
    // The codec-name table, read once per run; only operation 35 uses it.
    ProfileFile codecNames;
};

// The operation indices: positions of the operations in the easy-mode list.
namespace easy {
inline constexpr int kLastPrefix = 8;
inline constexpr int kNumberMarkerToEpisode = 17;
inline constexpr int kEpisodeToNumberMarker = 18;
inline constexpr int kReplaceAWithB = 25;
inline constexpr int kCrc16Template = 33;
inline constexpr int kCrc32Template = 34;
inline constexpr int kCodecRewrite = 35;
inline constexpr int kCount = 36;
// The four empty separator items name no operation.
[[nodiscard]] constexpr bool isSeparator(int index)
{
    return index == 9 || index == 16 || index == 26 || index == 32;
}
} // namespace easy

// The operation at `index` applied to one line. A result that would be empty, a failure and
// an index that names no operation all leave the line as it was.
[[nodiscard]] QString ApplyEasyOperation(int index, const QString& line, const EasyValues& values);

// The operation applied to every line, the results joined by CR LF. Nothing (the run is
// abandoned) when a separator item is selected and there is at least one line.
[[nodiscard]] std::optional<QString> RunEasyMode(int index, const QStringList& lines,
                                                 const EasyValues& values);

// The same run over lines 0 .. count - 1 of a names text (the empty line for lines it does not
// have). Each line is read, changed and added to the result on its own, so a million lines
// cost the result and not three lists of a million names besides it.
[[nodiscard]] std::optional<batch::ChunkedText>
RunEasyMode(int index, const batch::ChunkedText& names, qsizetype count, const EasyValues& values);

} // namespace quillet::transform
