#pragma once

#include <QByteArray>
#include <QList>

#include <functional>

namespace quillet::app {

// quillet --verify: checks the CRC-32 that each file's name carries against its content, with
// no window and no display. Each argument is a file, or a folder whose files are checked one
// after the other, in name order, its subfolders too (links are not followed). One line per
// file goes to `out`: the verdict ("OK", "不一致 <name's> <actual>", "なし", "エラー <reason>"),
// a tab and the file as it was named, bytes unchanged; the counts go to `err` at the end.
// Returns the exit status: 0 when every file that carries a checksum matches, 1 when one does
// not or cannot be read.
int verifyNamedChecksums(const QList<const char*>& arguments, const QByteArray& workingFolder,
                         const std::function<void(const QByteArray&)>& out,
                         const std::function<void(const QByteArray&)>& err);

} // namespace quillet::app
