#pragma once

#include <QString>
#include <QtGlobal>

#include <functional>
#include <optional>

namespace quillet::rename {

// What the check of a batch learns about an item from one look at the disk.
struct ItemInfo {
    bool folder = false;
    // The file system the item is on: a rename cannot take an item off it. kUnknownDevice when
    // the system would not say; such an item is never reported as being on another drive.
    quint64 device = 0;
};

inline constexpr quint64 kUnknownDevice = 0;

enum class LookUp {
    Item,   // the item at the path itself; a symbolic link is itself (lstat)
    Folder, // where the path leads, links followed, as a rename into the folder goes (stat)
};

// std::nullopt when nothing is at the path.
using ItemLookup = std::function<std::optional<ItemInfo>(const QString& path, LookUp how)>;

// One system call on the real disk. Paths may hold escaped bytes (batch/nativepath.h). A path
// the system refuses to look at for another reason than absence (no permission on a folder)
// counts as there: the run will say why it fails, the check does not guess.
[[nodiscard]] std::optional<ItemInfo> lookUpItem(const QString& path, LookUp how);

} // namespace quillet::rename
