#include "transform/advancededit.h"

#include "batch/linetext.h"
#include "transform/numbertext.h"
#include "transform/textpositions.h"

namespace quillet::transform {
namespace {

enum class Side { A, B };

// The position before the plus value is added.
std::optional<double> rawPosition(const QString& line, int mode, const QString& value, Side side)
{
    const double length = double(line.size());
    switch (mode) {
    case 0: return side == Side::A ? 1.0 : length + 1;
    case 1: {
        const std::optional<std::int32_t> count = parseInt32(value);
        return count ? std::optional<double>(*count) : std::nullopt;
    }
    case 2: {
        const std::optional<double> count = parseNumber(value);
        if (!count)
            return std::nullopt;
        const std::optional<std::int32_t> position = roundToInt32(length - *count + 2);
        return position ? std::optional<double>(*position) : std::nullopt;
    }
    case 3: {
        // A stands in front of the found text, B behind it; not found is 0.
        const qsizetype found = findFrom(line, value);
        return double(found) + (side == Side::B ? value.size() : 0);
    }
    case 4: {
        // An empty text is found at the end of the line (at 0 on an empty line), mirroring
        // the forward search, which finds it at the start.
        const qsizetype found =
            value.isEmpty() ? (line.isEmpty() ? 0 : line.size() + 1) : line.lastIndexOf(value) + 1;
        return double(found) + (side == Side::B ? value.size() : 0);
    }
    default: return std::nullopt;
    }
}

std::optional<std::int32_t> resolve(const QString& line, int mode, const QString& value,
                                    const QString& plus, Side side)
{
    const std::optional<double> raw = rawPosition(line, mode, value, side);
    if (!raw)
        return std::nullopt;
    const std::optional<double> offset = parseNumber(plus);
    if (!offset)
        return std::nullopt;
    return roundToInt32(*raw + *offset);
}

std::optional<QString> joined(std::optional<QString> head, const QString& middle,
                              std::optional<QString> tail)
{
    if (!head || !tail)
        return std::nullopt;
    return *head + middle + *tail;
}

} // namespace

std::optional<std::int32_t> ResolvePositionA(const QString& line, int modeA, const QString& valueA1,
                                             const QString& plusA)
{
    return resolve(line, modeA, valueA1, plusA, Side::A);
}

std::optional<std::int32_t> ResolvePositionB(const QString& line, int modeB, const QString& valueB1,
                                             const QString& plusB)
{
    return resolve(line, modeB, valueB1, plusB, Side::B);
}

std::optional<QString> EditLineAtPositions(const QString& line, const AdvancedEditRequest& request)
{
    const std::optional<std::int32_t> a =
        ResolvePositionA(line, request.modeA, request.valueA1, request.plusA);
    if (!a)
        return std::nullopt;
    const std::optional<std::int32_t> b =
        ResolvePositionB(line, request.modeB, request.valueB1, request.plusB);
    if (!b)
        return std::nullopt;
    // A position beyond the end is the end, also when A and B are compared. 64-bit arithmetic:
    // A - 1 of the smallest 32-bit position must not overflow.
    const qsizetype end = line.size() + 1;
    const qsizetype posA = qMin<qsizetype>(*a, end);
    const qsizetype posB = qMin<qsizetype>(*b, end);
    if (posA > posB)
        return QString();
    switch (request.operation) {
    case 0: return joined(leftText(line, posA - 1), request.valueC, restText(line, posA));
    case 1: return joined(leftText(line, posB - 1), request.valueC, restText(line, posB));
    case 2: return joined(leftText(line, posA - 1), QString(), restText(line, posB));
    case 3: return joined(leftText(line, posA - 1), request.valueC, restText(line, posB));
    default: return std::nullopt;
    }
}

QString ApplyAdvancedEdit(qsizetype count, const QString& names, const AdvancedEditRequest& request)
{
    QStringList lines = batch::linesForEntries(names, count);
    for (QString& line : lines) {
        const QString result = EditLineAtPositions(line, request).value_or(QString());
        if (!result.isEmpty())
            line = result;
    }
    return batch::joinLines(lines);
}

} // namespace quillet::transform
