#pragma once

#include "checksum/filechecksum.h"

#include <QChar>
#include <QString>
#include <QStringView>

#include <array>
#include <optional>

namespace quillet::checksum {

// What checking the CRC-32 an item's name carries against its content found.
struct NameVerdict {
    enum class Kind { Match, Mismatch, NoChecksum, Folder, Unreadable, Stopped };
    static constexpr int kKinds = 6;

    Kind kind = Kind::NoChecksum;
    QString named;  // the name's digits, upper-case (Match, Mismatch, Unreadable when known)
    QString actual; // the content's CRC-32 (Match, Mismatch)
    QString reason; // why it could not be read (Unreadable)
};

// Checks one item: a folder is not read, nor is a file whose name carries no checksum; any
// other file is read whole with FileChecksum, the progress told as it goes and asked whether
// to stop. A link counts as what it points to.
[[nodiscard]] NameVerdict verifyNamedChecksum(const QString& path, QChar separator,
                                              ChecksumProgress& progress);

// The verdict as the window lists it: "一致", "不一致 (名前 A1B2C3D4・実際 0F1E2D3C)",
// "チェックサムなし", "フォルダ (検証しません)", "読めません: <reason>" or "中止しました".
[[nodiscard]] QString verdictText(const NameVerdict& verdict);

// The verdict as the command line prints it before the file: "OK", "不一致 <name's> <actual>",
// "なし", "エラー <reason>"; folders are not printed there, and "中止" ends a stopped one.
[[nodiscard]] QString verdictWord(const NameVerdict& verdict);

// How many verdicts of each kind.
class VerdictCounts {
public:
    void add(NameVerdict::Kind kind) { ++m_counts[size_t(kind)]; }
    [[nodiscard]] qsizetype of(NameVerdict::Kind kind) const { return m_counts[size_t(kind)]; }
    [[nodiscard]] qsizetype total() const;
    // "一致 2件・不一致 1件・チェックサムなし 1件"; kinds that did not occur are left out, and
    // nothing at all reads "検証する項目がありません".
    [[nodiscard]] QString summary() const;

private:
    std::array<qsizetype, NameVerdict::kKinds> m_counts{};
};

// A line of names whose checksum is mended: the last checksum group of its file name, when it
// holds `wrong` (either case), gets `actual` in its place, the brackets kept. Nothing when the
// line carries no such group.
[[nodiscard]] std::optional<QString> lineWithChecksum(const QString& line, QChar separator,
                                                      QStringView wrong, QStringView actual);

} // namespace quillet::checksum
