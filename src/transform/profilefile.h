#pragma once

#include <QString>
#include <QStringList>

#include <vector>

namespace quillet::transform {

// A profile file (an initialisation file): "[section]" lines, each followed by "key=value"
// lines. Section and key names match without regard to the case of ASCII letters; spaces
// around names and values are ignored; one pair of enclosing quotation marks is taken off a
// value; a value is read to at most 254 characters. The first section of a name and the first
// key of a name within it count.
class ProfileFile {
public:
    static constexpr qsizetype kMaxValueLength = 254;

    ProfileFile() = default;
    [[nodiscard]] static ProfileFile parse(const QString& text);
    // Read in the data files' encoding; a missing or unreadable file is an empty profile.
    [[nodiscard]] static ProfileFile load(const QString& path);

    // The value, or the empty text when the section or the key is missing.
    [[nodiscard]] QString value(QStringView section, QStringView key) const;

private:
    struct Entry {
        QString key;
        QString value;
    };
    struct Section {
        QString name;
        std::vector<Entry> entries;
    };
    std::vector<Section> m_sections;
};

// One value of the profile file at the path; the empty text when the file, the section or
// the key is missing.
[[nodiscard]] QString ReadProfileValue(QStringView section, QStringView key, const QString& path);

} // namespace quillet::transform
