#pragma once

#include <QString>

#include <cstdint>
#include <optional>

namespace quillet::transform {

// The advanced-mode settings as the user left them. Values stay texts: a text that is no
// number fails only the lines that need it as a number.
struct AdvancedEditRequest {
    int operation = 0; // 0 insert C at A, 1 insert C at B, 2 delete A..B, 3 replace A..B by C
    int modeA = 0;     // 0 start, 1 from the front, 2 from the back, 3 search forward, 4 backward
    QString valueA1;
    QString plusA = QStringLiteral("0");
    int modeB = 0; // 0 end, then as modeA
    QString valueB1;
    QString plusB = QStringLiteral("0");
    QString valueC;
};

// Positions are 1-based gaps: 1 is the start of the line, length + 1 its end.
[[nodiscard]] std::optional<std::int32_t>
ResolvePositionA(const QString& line, int modeA, const QString& valueA1, const QString& plusA);
[[nodiscard]] std::optional<std::int32_t>
ResolvePositionB(const QString& line, int modeB, const QString& valueB1, const QString& plusB);

// The edited line; the empty text when no edit applies (A after B); nothing on a failure.
[[nodiscard]] std::optional<QString> EditLineAtPositions(const QString& line,
                                                         const AdvancedEditRequest& request);

// The edit over lines 0 .. count - 1 of the names text, joined by CR LF. A failing line or an
// empty result keeps the line as it was.
[[nodiscard]] QString ApplyAdvancedEdit(qsizetype count, const QString& names,
                                        const AdvancedEditRequest& request);

} // namespace quillet::transform
