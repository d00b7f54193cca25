#pragma once

// An imagined disk for the tests of the pre-check: which items exist is a set handed in, so
// every case says exactly what the run would meet.
#include "rename/precheck.h"
#include "rename/targets.h"

#include <QHash>
#include <QSet>

namespace quillet::test {

using namespace quillet::rename;
using namespace Qt::Literals::StringLiterals;

constexpr QChar kSep = u'/';

inline QStringList paths(const QStringList& names)
{
    QStringList result;
    for (const QString& name : names)
        result.append(u"/d/"_s + name);
    return result;
}

// An imagined disk holding the sources and the other items; a lookup that ignores case when
// the file system does. "/d" is a folder, as is every item added with a trailing "/"; "/d/mnt"
// and what lies below it are on a second file system.
struct Disk {
    QSet<QString> items{u"/d"_s};
    QSet<QString> folders{u"/d"_s};
    Qt::CaseSensitivity pathCase = Qt::CaseSensitive;
    // How often each path was looked at, per kind of look.
    mutable QHash<QString, int> looks; // "I /d/a.txt", "F /d"

    void add(const QString& path)
    {
        if (path.endsWith(u'/')) {
            items.insert(path.chopped(1));
            folders.insert(path.chopped(1));
        } else {
            items.insert(path);
        }
    }
    std::optional<ItemInfo> lookUp(const QString& path, LookUp how) const
    {
        ++looks[(how == LookUp::Item ? u"I "_s : u"F "_s) + path];
        QString found = items.contains(path) ? path : QString();
        for (auto item = items.cbegin();
             found.isEmpty() && pathCase == Qt::CaseInsensitive && item != items.cend(); ++item) {
            if (item->compare(path, Qt::CaseInsensitive) == 0)
                found = *item;
        }
        if (found.isEmpty())
            return std::nullopt;
        const bool mounted = found == u"/d/mnt"_s || found.startsWith(u"/d/mnt/"_s);
        return ItemInfo{folders.contains(found), mounted ? 2u : 1u};
    }
    // The rules of its disk: the imagined one ignores case as `pathCase` says; "/d/fat" and
    // what lies below it are a FAT disk.
    [[nodiscard]] DiskRules rulesOf(const QString& folder) const
    {
        if (folder == u"/d/fat"_s || folder.startsWith(u"/d/fat/"_s))
            return windowsDiskRules();
        DiskRules rules;
        rules.ignoresCase = pathCase == Qt::CaseInsensitive;
        return rules;
    }
    // No path was looked at twice in the same way.
    [[nodiscard]] int mostLooks() const
    {
        int most = 0;
        for (const int n : looks)
            most = qMax(most, n);
        return most;
    }
};

// "duplicate 1,2; existing 0" for the entries of each kind, "mismatch 3/4" when the counts of
// lines and files differ.
inline QString describe(const PrecheckFindings& findings)
{
    static const std::pair<EntryFinding, QString> kinds[] = {
        {EntryFinding::Unchanged, u"unchanged"_s},
        {EntryFinding::Empty, u"empty"_s},
        {EntryFinding::InvalidCharacter, u"invalid"_s},
        {EntryFinding::TooLong, u"toolong"_s},
        {EntryFinding::Duplicate, u"duplicate"_s},
        {EntryFinding::Existing, u"existing"_s},
        {EntryFinding::NoLine, u"noline"_s},
        {EntryFinding::SourceMissing, u"gone"_s},
        {EntryFinding::FolderMissing, u"nofolder"_s},
        {EntryFinding::OtherDrive, u"otherdrive"_s},
        {EntryFinding::Swap, u"swap"_s},
        {EntryFinding::SurroundingSpace, u"spaces"_s},
    };
    QStringList parts;
    if (findings.countMismatch())
        parts.append(u"mismatch %1/%2"_s.arg(findings.lines).arg(findings.entries));
    for (const auto& [kind, name] : kinds) {
        QStringList indices;
        for (const qsizetype i : findings.firstEntries[int(kind)])
            indices.append(QString::number(i));
        if (findings.count(kind) != indices.size())
            indices.append(u"…%1"_s.arg(findings.count(kind)));
        if (!indices.isEmpty())
            parts.append(name + u' ' + indices.join(u','));
    }
    return parts.join(u"; "_s);
}

struct Checked {
    PrecheckFindings findings;
    QStringList sources;
    QStringList targets;
};

// Checks the batch of the files in /d; the sources are put on the disk unless `gone` names them.
inline Checked check(const QStringList& sourceNames, const QString& names, Disk& disk,
                     const QStringList& gone = {})
{
    Checked checked;
    checked.sources = paths(sourceNames);
    checked.targets = BuildTargetList(checked.sources, names, kSep);
    const QSet<QString> goneNames(gone.cbegin(), gone.cend());
    for (const QString& source : checked.sources) {
        if (!goneNames.contains(source.sliced(3)))
            disk.add(source);
    }
    checked.findings = precheckBatch(
        checked.sources, checked.targets, names, kSep,
        [&disk](const QString& path, LookUp how) { return disk.lookUp(path, how); },
        [&disk](const QString& folder) { return disk.rulesOf(folder); });
    return checked;
}

} // namespace quillet::test
