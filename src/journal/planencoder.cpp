#include "journal/planencoder.h"

#include "batch/nativepath.h"
#include "journal/journalrecords.h"

#include <QDir>
#include <QFileInfo>

#include <cstdlib>

namespace quillet::journal {

std::optional<QByteArray> journalPath(const QString& path)
{
    QByteArray bytes = batch::nativeBytesFromPath(path);
    if (records::isAbsoluteAndNormal(bytes))
        return bytes;
#ifdef Q_OS_WIN
    const QString canonical = QFileInfo(QFileInfo(path).absolutePath()).canonicalFilePath();
    if (canonical.isEmpty())
        return std::nullopt;
    return batch::nativeBytesFromPath(
        QDir::cleanPath(canonical + u'/' + QFileInfo(path).fileName()));
#else
    const qsizetype slash = bytes.lastIndexOf('/');
    const QByteArray name = bytes.mid(slash + 1);
    if (slash < 0 || name.isEmpty() || name == "." || name == "..")
        return std::nullopt;
    char* resolved = ::realpath(slash == 0 ? "/" : bytes.left(slash).constData(), nullptr);
    if (!resolved)
        return std::nullopt;
    QByteArray folder(resolved);
    ::free(resolved);
    if (!folder.endsWith('/'))
        folder += '/';
    return folder + name;
#endif
}

PlanEncoder::PlanEncoder(QStringList sources, QStringList targets, IdentityLookup lookup)
    : m_sources(std::move(sources))
    , m_targets(std::move(targets))
    , m_lookup(std::move(lookup))
    , m_identities(size_t(qMin(m_sources.size(), m_targets.size())))
{
}

std::optional<ItemIdentity> PlanEncoder::identityAt(qsizetype entry)
{
    std::optional<ItemIdentity> identity = m_lookup(m_sources.at(entry));
    if (!identity && !m_fillsKnown) {
        m_fillsKnown = true;
        for (qsizetype i = 0; i < entry; ++i)
            m_filledBy.insert(m_targets.at(i), i);
    }
    if (!identity) {
        if (const auto earlier = m_filledBy.constFind(m_sources.at(entry));
            earlier != m_filledBy.cend())
            identity = m_identities[size_t(*earlier)];
        else
            identity = m_lookup(whereNow(m_sources.at(entry)));
    }
    if (m_fillsKnown)
        m_filledBy.insert(m_targets.at(entry), entry);
    return identity;
}

QString PlanEncoder::whereNow(const QString& path, int depth) const
{
    if (depth > 16)
        return path;
    // An item inside a folder that an earlier entry moves to this path is, before the run,
    // inside the folder's old path.
    for (qsizetype slash = path.lastIndexOf(u'/'); slash > 0;
         slash = path.lastIndexOf(u'/', slash - 1)) {
        const auto earlier = m_filledBy.constFind(path.left(slash));
        if (earlier != m_filledBy.cend())
            return whereNow(m_sources.at(*earlier), depth + 1) + path.sliced(slash);
    }
    return path;
}

QByteArray PlanEncoder::encode(qsizetype end, std::vector<qsizetype>& plannedOf,
                               std::vector<qsizetype>& entryOf)
{
    end = qMin(end, qsizetype(m_identities.size()));
    QByteArray lines;
    lines.reserve((end - m_next) * 256);
    for (; m_next < end; ++m_next) {
        const qsizetype i = m_next;
        const std::optional<ItemIdentity>& identity = m_identities[size_t(i)] = identityAt(i);
        plannedOf[size_t(i)] = -1;
        const std::optional<QByteArray> from = journalPath(m_sources.at(i));
        const std::optional<QByteArray> to = journalPath(m_targets.at(i));
        if (!identity || !from || !to)
            continue;
        m_payload.clear();
        m_payload.append("P\t");
        records::appendNumber(m_payload, m_planned);
        m_payload.append('\t');
        records::appendBase64(m_payload, *from);
        m_payload.append('\t');
        records::appendBase64(m_payload, *to);
        m_payload.append('\t');
        records::appendIdentity(m_payload, *identity);
        records::appendLine(lines, m_payload);
        plannedOf[size_t(i)] = m_planned;
        entryOf[size_t(m_planned)] = i;
        ++m_planned;
    }
    return lines;
}

} // namespace quillet::journal
