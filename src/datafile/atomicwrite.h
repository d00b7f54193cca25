#pragma once

#include <QByteArray>
#include <QString>

#include <optional>

namespace quillet::datafile {

// The outcome of a write: nothing, or why it failed, in words for the user.
struct WriteError {
    QString reason;
};

// Replaces the file as a whole: the bytes go to a temporary file in the same folder, which
// then takes the file's place, so the old file is never left truncated or half-written. The
// new file keeps the old one's mode; a symbolic link is written through to its file. A file
// that is there but cannot be read (no permission, a folder, a pipe, a device) is never
// written over: the error says so, with the reason.
[[nodiscard]] std::optional<WriteError> writeFileAtomically(const QString& path,
                                                            const QByteArray& bytes);

} // namespace quillet::datafile
