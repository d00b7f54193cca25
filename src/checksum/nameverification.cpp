#include "checksum/nameverification.h"

#include "batch/nativepath.h"
#include "checksum/namedchecksum.h"

#include <QStringList>

#if defined(Q_OS_WIN)
#include <QFileInfo>
#else
#include <sys/stat.h>
#endif

namespace quillet::checksum {

using namespace Qt::Literals::StringLiterals;

namespace {

bool isFolder(const QString& path)
{
#if defined(Q_OS_WIN)
    return QFileInfo(path).isDir();
#else
    struct stat status {};
    return ::stat(batch::nativeBytesFromPath(path).constData(), &status) == 0
           && S_ISDIR(status.st_mode);
#endif
}

} // namespace

NameVerdict verifyNamedChecksum(const QString& path, QChar separator, ChecksumProgress& progress)
{
    using Kind = NameVerdict::Kind;
    if (isFolder(path))
        return {Kind::Folder, {}, {}, {}};
    const std::optional<NamedChecksum> named = checksumInName(path, separator);
    if (!named)
        return {Kind::NoChecksum, {}, {}, {}};
    const QString namedDigits = named->digits.toUpper();
    const ChecksumResult result = FileChecksum(path, ChecksumKind::Crc32, progress);
    if (result.stopped)
        return {Kind::Stopped, namedDigits, {}, result.failure};
    if (!result.text)
        return {Kind::Unreadable, namedDigits, {}, result.failure};
    return {
        result.value == named->value ? Kind::Match : Kind::Mismatch, namedDigits, *result.text, {}};
}

QString verdictText(const NameVerdict& verdict)
{
    switch (verdict.kind) {
    case NameVerdict::Kind::Match: return u"一致"_s;
    case NameVerdict::Kind::Mismatch:
        return u"不一致 (名前 %1・実際 %2)"_s.arg(verdict.named, verdict.actual);
    case NameVerdict::Kind::NoChecksum: return u"チェックサムなし"_s;
    case NameVerdict::Kind::Folder: return u"フォルダ (検証しません)"_s;
    case NameVerdict::Kind::Unreadable: return u"読めません: "_s + verdict.reason;
    case NameVerdict::Kind::Stopped: return u"中止しました"_s;
    }
    return {};
}

QString verdictWord(const NameVerdict& verdict)
{
    switch (verdict.kind) {
    case NameVerdict::Kind::Match: return u"OK"_s;
    case NameVerdict::Kind::Mismatch: return u"不一致 %1 %2"_s.arg(verdict.named, verdict.actual);
    case NameVerdict::Kind::NoChecksum:
    case NameVerdict::Kind::Folder: return u"なし"_s;
    case NameVerdict::Kind::Unreadable: return u"エラー "_s + verdict.reason;
    case NameVerdict::Kind::Stopped: return u"中止"_s;
    }
    return {};
}

qsizetype VerdictCounts::total() const
{
    qsizetype sum = 0;
    for (const qsizetype count : m_counts)
        sum += count;
    return sum;
}

QString VerdictCounts::summary() const
{
    static constexpr std::pair<NameVerdict::Kind, QStringView> kWords[] = {
        {NameVerdict::Kind::Match, u"一致"},
        {NameVerdict::Kind::Mismatch, u"不一致"},
        {NameVerdict::Kind::NoChecksum, u"チェックサムなし"},
        {NameVerdict::Kind::Folder, u"フォルダ"},
        {NameVerdict::Kind::Unreadable, u"読めません"},
        {NameVerdict::Kind::Stopped, u"中止"}};
    QStringList parts;
    for (const auto& [kind, word] : kWords) {
        if (of(kind) > 0)
            parts.append(u"%1 %L2件"_s.arg(word).arg(of(kind)));
    }
    return parts.isEmpty() ? u"検証する項目がありません"_s : parts.join(u'・');
}

std::optional<QString> lineWithChecksum(const QString& line, QChar separator, QStringView wrong,
                                        QStringView actual)
{
    const std::optional<NamedChecksum> named = checksumInName(line, separator);
    if (!named || named->digits.compare(wrong, Qt::CaseInsensitive) != 0)
        return std::nullopt;
    const qsizetype nameStart = line.lastIndexOf(separator) + 1;
    QString mended = line;
    mended.replace(nameStart + named->start, named->digits.size(), actual.toString());
    return mended;
}

} // namespace quillet::checksum
