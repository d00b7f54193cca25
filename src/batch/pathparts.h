#pragma once

#include <QChar>
#include <QString>

namespace quillet::batch {

// Cutting a path into folder, file name, base name and extension. The separator is the
// platform's own ("\" on Windows, "/" elsewhere) and is passed in so both are testable.

// The part after the last separator; the whole text without one; empty when it ends with one.
[[nodiscard]] QString FileNamePart(const QString& path, QChar separator);

// The part before the last separator, that separator excluded; empty without one.
[[nodiscard]] QString FolderPart(const QString& path, QChar separator);

// The part before the last "."; the whole text without one.
[[nodiscard]] QString StripExtension(const QString& name);

// The part after the last "." of the whole text (not only of its file name); empty without one.
[[nodiscard]] QString ExtensionPart(const QString& path);

// The file name without its last extension.
[[nodiscard]] QString BaseName(const QString& path, QChar separator);

} // namespace quillet::batch
