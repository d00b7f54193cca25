#pragma once

#include <QHash>
#include <QString>
#include <QStringView>

#include <functional>

namespace quillet::rename {

// How the file system that holds a folder treats the names in it.
struct DiskRules {
    // "Episode01" and "episode01" are one name: FAT, exFAT, NTFS, SMB shares, casefolded ext4.
    bool ignoresCase = false;
    // The characters Windows keeps out of names (\ : * ? " < > |) are refused, and the length
    // of a name is counted in UTF-16 units, as FAT, exFAT and NTFS store it.
    bool windowsNames = false;
    // A name may not end with a dot or a space: the Linux FAT driver drops them silently and a
    // FUSE driver keeps them, which leaves a file Windows cannot open. Windows itself drops
    // them, and the names built for it rely on that.
    bool noTrailingDotOrSpace = false;
    // Longest name: UTF-16 units with windowsNames, else bytes as the system stores them.
    qsizetype maxNameLength = 255;

    friend bool operator==(const DiskRules&, const DiskRules&) = default;
};

// The rules of FAT, exFAT, NTFS and SMB shares as seen from Linux.
[[nodiscard]] DiskRules windowsDiskRules();

// The rules of the folder's file system, or of its nearest folder that exists (a target's
// folder may be made by the batch itself).
using FolderRules = std::function<DiskRules(const QString& folder)>;

// Asks the system: statfs for the kind of file system (and the mount table for a FUSE one),
// the folder's casefold attribute on ext4 and f2fs, f_namemax for the length elsewhere.
[[nodiscard]] DiskRules rulesOfFolder(const QString& folder);

// The rules of each folder asked for once, also from several threads' own caches.
class DiskRulesCache {
public:
    explicit DiskRulesCache(FolderRules rules = rulesOfFolder)
        : m_rules(std::move(rules))
    {
    }

    [[nodiscard]] DiskRules of(const QString& folder);
    // The rules of the folder a path is in.
    [[nodiscard]] DiskRules ofFolderOf(const QString& path, QChar separator);

private:
    // The two folders asked for last: a batch's sources and their targets' folders.
    struct Recent {
        QString folder;
        DiskRules rules;
        bool known = false;
    };
    const DiskRules* recent(QStringView folder);
    DiskRules remember(const QString& folder, const DiskRules& rules);

    FolderRules m_rules;
    QHash<QString, DiskRules> m_known;
    Recent m_recent[2];
    int m_newest = 0;
};

} // namespace quillet::rename
