#pragma once

#include <QString>
#include <QtGlobal>

#include <functional>
#include <optional>

namespace quillet::journal {

// What tells one file or folder from another. A rename keeps the device, the inode and the
// creation time; the inode number alone is not enough, since a file made after another was
// deleted often gets its number again.
struct ItemIdentity {
    enum class Type : char { File = 'f', Folder = 'd', Link = 'l', Other = 'o' };
    Type type = Type::File;
    quint64 device = 0;
    quint64 inode = 0;
    qint64 size = 0;
    qint64 modifiedNs = 0;
    qint64 createdNs = 0; // 0 where the file system does not keep it

    // The same item: same device and inode, and the same creation time where the file system
    // keeps one. Without it, a file must still have its size; its modification time is no
    // part of it (some file systems change it on a rename), nor is a folder's (renaming the
    // items inside changes it). Without inode numbers: the same size and modification time.
    [[nodiscard]] bool sameItem(const ItemIdentity& other) const;
    friend bool operator==(const ItemIdentity&, const ItemIdentity&) = default;
};

// The identity of the item at the path (a link as itself); nothing when no item is there.
[[nodiscard]] std::optional<ItemIdentity> identityOf(const QString& path);
using IdentityLookup = std::function<std::optional<ItemIdentity>(const QString& path)>;

} // namespace quillet::journal
