#pragma once

#include <QStringView>

#include <cstdint>
#include <optional>

namespace quillet::transform {

// Numbers typed into the value boxes and found in names are read the way the platform reads
// them: surrounding spaces ignored, an optional sign, digits with an optional fraction after
// ".". Anything else, the empty text included, is no number.
[[nodiscard]] std::optional<double> parseNumber(QStringView text);

// Rounds to the nearest integer, a half to the even neighbour; fails outside the signed
// 32-bit range.
[[nodiscard]] std::optional<std::int32_t> roundToInt32(double value);

// parseNumber, then roundToInt32.
[[nodiscard]] std::optional<std::int32_t> parseInt32(QStringView text);

// A single-precision number, as the sampling rate of a codec group is held; fails for no
// number and outside the single-precision range.
[[nodiscard]] std::optional<float> parseSingle(QStringView text);

// The shortest decimal text that reads back as the same single-precision value ("44.1", "48").
[[nodiscard]] QString formatSingle(float value);

} // namespace quillet::transform
