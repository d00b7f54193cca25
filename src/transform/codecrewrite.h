#pragma once

#include "transform/profilefile.h"

#include <QString>

#include <optional>

namespace quillet::transform {

// The codec-name table CodecChange.txt, with the sections "MOVIECODEC" and "MUSICCODEC".
inline constexpr QStringView kCodecChangeFile = u"CodecChange.txt";
inline constexpr QStringView kMovieCodecSection = u"MOVIECODEC";
inline constexpr QStringView kMusicCodecSection = u"MUSICCODEC";

// The translation of a codec name through the table: the name itself when it has no entry or
// an empty one, the empty text for the replacement "NullString".
[[nodiscard]] QString LookupCodecName(QStringView section, const QString& name,
                                      const ProfileFile& codecNames);

// Rewrites the bracketed codec-information group of a name such as
// "Movie [640x480 24Bit DivX 5 29.97fps 1234f MP3 44.1kHz 2ch 128kbps ]" by filling the codec
// template with its ten fields. Gives the empty text when the line holds no such group, and
// nothing when the group cannot be taken apart.
[[nodiscard]] std::optional<QString>
RewriteCodecInfo(const QString& line, const QString& codecTemplate, const ProfileFile& codecNames);

} // namespace quillet::transform
