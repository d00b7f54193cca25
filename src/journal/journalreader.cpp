#include "journal/journalreader.h"

#include "journal/journalfolder.h"
#include "journal/journalrecords.h"

#include <QDir>

namespace quillet::journal {

using namespace Qt::Literals::StringLiterals;

namespace {

struct Header {
    RunKind kind = RunKind::Rename;
    QDateTime startedUtc;
    qint64 entries = 0;
    QString undoes;
};

std::optional<Header> readHeader(QByteArrayView line)
{
    const std::optional<QList<QByteArray>> fields = records::fields(line);
    if (!fields || fields->size() != 6 || fields->at(0) != records::kMagic
        || (fields->at(1) != records::kVersion && fields->at(1) != records::kWholePlanFirstVersion))
        return std::nullopt;
    Header header;
    if (fields->at(2) == runKindWord(RunKind::Undo))
        header.kind = RunKind::Undo;
    else if (fields->at(2) == runKindWord(RunKind::Redo))
        header.kind = RunKind::Redo;
    else if (fields->at(2) != runKindWord(RunKind::Rename))
        return std::nullopt;
    header.startedUtc =
        QDateTime::fromString(QString::fromLatin1(fields->at(3)), Qt::ISODateWithMs);
    bool ok = false;
    header.entries = fields->at(4).toLongLong(&ok);
    if (!header.startedUtc.isValid() || !ok || header.entries < 0)
        return std::nullopt;
    if (fields->at(5) != "-") {
        const QByteArray::FromBase64Result name =
            QByteArray::fromBase64Encoding(fields->at(5), QByteArray::AbortOnBase64DecodingErrors);
        header.undoes = QString::fromUtf8(name.decoded);
        if (!name || !isJournalName(header.undoes))
            return std::nullopt;
    }
    return header;
}

// The first line of the bytes, with its line break; empty when there is no whole line.
QByteArrayView firstLine(QByteArrayView bytes)
{
    const qsizetype end = bytes.indexOf('\n');
    return end < 0 ? QByteArrayView() : bytes.first(end + 1);
}

qint64 sizeLimit(QByteArrayView head)
{
    const QByteArrayView line = firstLine(head);
    const std::optional<Header> header =
        line.isEmpty() ? std::nullopt : readHeader(line.chopped(1));
    if (!header)
        return records::kMaxHeaderBytes;
    return records::kMaxHeaderBytes + header->entries * records::kMaxBytesPerEntry;
}

} // namespace

JournalRead readJournal(const QString& path)
{
    const JournalBytes file = readJournalBytes(path, sizeLimit);
    if (!file.bytes)
        return {std::nullopt, file.problem};
    const auto damaged = [&path](qsizetype line, QStringView what = u"壊れています") {
        return JournalRead{
            std::nullopt,
            u"%1（%2行目）: %3"_s.arg(QDir::toNativeSeparators(path)).arg(line + 1).arg(what)};
    };
    const QByteArray& bytes = *file.bytes;
    if (bytes.isEmpty())
        return damaged(0, u"空です");

    JournalContents contents;
    contents.path = path;
    qint64 planned = 0;
    qsizetype lineNumber = 0;
    qsizetype start = 0;
    for (; start < bytes.size(); ++lineNumber) {
        const qsizetype end = bytes.indexOf('\n', start);
        // A last line without its line break was being written when the program stopped;
        // nothing it would vouch for ever followed it.
        if (end < 0)
            break;
        const QByteArrayView line = QByteArrayView(bytes).sliced(start, end - start);
        start = end + 1;
        if (lineNumber == 0) {
            const std::optional<Header> header = readHeader(line);
            if (!header)
                return damaged(lineNumber);
            contents.kind = header->kind;
            contents.startedUtc = header->startedUtc;
            contents.undoes = header->undoes;
            planned = header->entries;
            continue;
        }
        if (contents.ended)
            return damaged(lineNumber);
        const std::optional<QList<QByteArray>> fields = records::fields(line);
        if (!fields || fields->isEmpty())
            return damaged(lineNumber);
        const QByteArray& kind = fields->at(0);
        if (kind == "E" && fields->size() == 1) {
            contents.ended = true;
            continue;
        }
        bool ok = false;
        const qint64 index = fields->value(1).toLongLong(&ok);
        if (!ok || index < 0)
            return damaged(lineNumber);
        if (kind == "P") {
            // The plan's entries come numbered in order, each before anything else of its own.
            std::optional<QString> from, to;
            std::optional<ItemIdentity> identity;
            if (fields->size() != 5 || index != contents.entries.size() || index >= planned
                || !(from = records::pathFromField(fields->at(2)))
                || !(to = records::pathFromField(fields->at(3)))
                || !(identity = records::identityFromField(fields->at(4))))
                return damaged(lineNumber);
            contents.entries.append(
                {*from, *to, *identity, QString(), JournalEntry::State::Unknown});
            continue;
        }
        if (index >= contents.entries.size())
            return damaged(lineNumber);
        JournalEntry& entry = contents.entries[qsizetype(index)];
        // A renamed item may be put back once; nothing else follows an outcome.
        const bool putBack = kind == "N" && entry.state == JournalEntry::State::Renamed;
        if (entry.state != JournalEntry::State::Unknown && !putBack)
            return damaged(lineNumber);
        if ((kind == "T" || kind == "H") && fields->size() == 3) {
            const std::optional<QString> path = records::pathFromField(fields->at(2));
            if (!path)
                return damaged(lineNumber);
            (kind == "T" ? entry.to : entry.helper) = *path;
        } else if ((kind == "R" || kind == "N") && fields->size() == 2) {
            entry.state =
                kind == "R" ? JournalEntry::State::Renamed : JournalEntry::State::NotRenamed;
        } else {
            return damaged(lineNumber);
        }
    }
    if (lineNumber == 0)
        return damaged(0);
    if (contents.ended) {
        // Every rename that happened had its outcome written before the end.
        for (JournalEntry& entry : contents.entries) {
            if (entry.state == JournalEntry::State::Unknown)
                entry.state = JournalEntry::State::NotRenamed;
        }
    }
    return {std::move(contents), QString()};
}

} // namespace quillet::journal
