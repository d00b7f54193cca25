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
// then takes the file's place, so the old file is never left truncated or half-written.
[[nodiscard]] std::optional<WriteError> writeFileAtomically(const QString& path,
                                                            const QByteArray& bytes);

} // namespace quillet::datafile
