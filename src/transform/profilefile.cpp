#include "transform/profilefile.h"

#include "datafile/datafile.h"

namespace quillet::transform {
namespace {

bool isSpace(QChar c)
{
    return c == u' ' || c == u'\t';
}

QStringView trimmed(QStringView text)
{
    qsizetype begin = 0;
    qsizetype end = text.size();
    while (begin < end && isSpace(text[begin]))
        ++begin;
    while (end > begin && isSpace(text[end - 1]))
        --end;
    return text.sliced(begin, end - begin);
}

bool sameName(QStringView a, QStringView b)
{
    if (a.size() != b.size())
        return false;
    for (qsizetype i = 0; i < a.size(); ++i) {
        char16_t x = a[i].unicode();
        char16_t y = b[i].unicode();
        if (x >= u'A' && x <= u'Z')
            x = static_cast<char16_t>(x + 32);
        if (y >= u'A' && y <= u'Z')
            y = static_cast<char16_t>(y + 32);
        if (x != y)
            return false;
    }
    return true;
}

QString unquoted(QStringView value)
{
    if (value.size() >= 2 && (value.front() == u'"' || value.front() == u'\'')
        && value.back() == value.front())
        value = value.sliced(1, value.size() - 2);
    return value.first(qMin(value.size(), ProfileFile::kMaxValueLength)).toString();
}

} // namespace

ProfileFile ProfileFile::parse(const QString& text)
{
    ProfileFile profile;
    // Profile lines end at CR, LF or CR LF alike.
    qsizetype start = 0;
    while (start <= text.size()) {
        qsizetype end = start;
        while (end < text.size() && text[end] != u'\r' && text[end] != u'\n')
            ++end;
        const QStringView line = trimmed(QStringView(text).sliced(start, end - start));
        start = end + 1;

        if (line.isEmpty() || line.front() == u';')
            continue;
        if (line.front() == u'[') {
            const qsizetype close = line.indexOf(u']');
            const QStringView name = close < 0 ? line.sliced(1) : line.sliced(1, close - 1);
            profile.m_sections.push_back({trimmed(name).toString(), {}});
            continue;
        }
        if (profile.m_sections.empty())
            continue;
        const qsizetype equals = line.indexOf(u'=');
        const QStringView key = trimmed(equals < 0 ? line : line.first(equals));
        if (key.isEmpty())
            continue;
        const QString value = equals < 0 ? QString() : unquoted(trimmed(line.sliced(equals + 1)));
        profile.m_sections.back().entries.push_back({key.toString(), value});
    }
    return profile;
}

ProfileFile ProfileFile::load(const QString& path)
{
    // Read like every data file: a pipe under this name must not hang the operation.
    const std::optional<QByteArray> bytes = datafile::readDataFileBytes(path);
    if (!bytes)
        return {};
    return parse(datafile::decodeDataFile(*bytes));
}

QString ProfileFile::value(QStringView section, QStringView key) const
{
    section = trimmed(section);
    key = trimmed(key);
    for (const Section& s : m_sections) {
        if (!sameName(s.name, section))
            continue;
        for (const Entry& entry : s.entries) {
            if (sameName(entry.key, key))
                return entry.value;
        }
        return {};
    }
    return {};
}

QString ReadProfileValue(QStringView section, QStringView key, const QString& path)
{
    return ProfileFile::load(path).value(section, key);
}

} // namespace quillet::transform
