#pragma once

#include "rename/crc.h"
#include "rename/noreplacerename.h"

#include <QChar>
#include <QString>
#include <QStringList>

#include <functional>
#include <optional>

namespace quillet::rename {

// What the rename run needs from the outside world, handed in so it can run without windows.
struct RenameOperations {
    std::function<RenameResult(const QString& from, const QString& to)> rename;
    // The text the user confirmed; empty when cancelled or confirmed empty.
    std::function<QString(const QString& prompt, const QString& title, const QString& preset)>
        askName;
    std::function<void(const QString& text)> showMessage;
    std::function<std::optional<QString>(const QString& path, ChecksumKind kind)> fileChecksum;
};

struct RenameSummary {
    qsizetype renamed = 0;
    qsizetype notRenamed = 0;
};

// Every checksum token of the target replaced by the source file's checksum of that kind;
// nothing when a checksum cannot be computed.
[[nodiscard]] std::optional<QString> ReplaceChecksumToken(const QString& target,
                                                          const QString& source,
                                                          const RenameOperations& operations);

// Renames source i to target i, in order. A taken target leads to the collision prompt until
// the user gives a free name or cancels; any other failure is reported and the entry skipped.
// An entry whose target is its own path is left alone and counts as renamed.
RenameSummary RunRename(const QStringList& sources, const QStringList& targets,
                        const RenameOperations& operations, QChar separator);

// "リネームしました。" when every entry was renamed; otherwise how many were and were not.
[[nodiscard]] QString completionMessage(const RenameSummary& summary);

[[nodiscard]] QString failureMessage(const QString& source);
[[nodiscard]] QString collisionPrompt(const QString& target);
inline constexpr QStringView kCollisionTitle = u"ファイル名の変更";

} // namespace quillet::rename
