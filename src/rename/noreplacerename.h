#pragma once

#include <QString>

namespace quillet::rename {

// The three outcomes of a rename that never replaces an existing item.
struct RenameResult {
    enum class Outcome { Done, TargetExists, Failed };
    Outcome outcome = Outcome::Failed;
    QString reason; // the system's reason, for Failed

    [[nodiscard]] static RenameResult done() { return {Outcome::Done, {}}; }
    [[nodiscard]] static RenameResult exists() { return {Outcome::TargetExists, {}}; }
    [[nodiscard]] static RenameResult failed(QString why)
    {
        return {Outcome::Failed, std::move(why)};
    }
};

// Renames (or moves into another existing folder) a file or folder. An item already at the
// new path is never replaced: the atomic no-replace rename of the system refuses it. A new
// path that only changes the letter case of the same item on a case-insensitive file system
// is renamed, not refused.
[[nodiscard]] RenameResult renameWithoutReplacing(const QString& from, const QString& to);

} // namespace quillet::rename
