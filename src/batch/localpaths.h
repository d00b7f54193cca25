#pragma once

#include <QList>
#include <QStringList>
#include <QUrl>

namespace quillet::batch {

// The local paths among dropped or handed-over URLs, in their order. On POSIX each path keeps
// the exact bytes of the URL's percent-encoded path (batch/nativepath.h), so a name that is not
// UTF-8 still names its file. A trailing separator after a folder is dropped.
[[nodiscard]] QStringList localPathsOf(const QList<QUrl>& urls);

} // namespace quillet::batch
