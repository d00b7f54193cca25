#pragma once

#include <QString>

namespace quillet::transform {

// Line operations of the easy mode that add, convert or replace characters. Each returns the
// new line; the empty text stands for "no change".

// Every `from` becomes `to`, in one pass from the start: occurrences never overlap and
// replaced text is not searched again. An empty `from` changes nothing.
[[nodiscard]] QString replaceEach(const QString& line, const QString& from, const QString& to);

// Every `from` character becomes `to`: the cheap form for the one-character conversions.
[[nodiscard]] QString replaceEachChar(QString line, QChar from, QChar to);

// The first "#" directly followed by one to eight digits becomes "第" + digits + "話".
[[nodiscard]] QString numberMarkerToEpisode(const QString& line);

// The first "第" directly followed by one to eight digits becomes "#" + digits; the one
// character after the digits (normally "話") is dropped.
[[nodiscard]] QString episodeToNumberMarker(const QString& line);

} // namespace quillet::transform
