#pragma once

// The lines of a journal file, shared by the writer and the reader. Every line is
// "FIELD<TAB>FIELD…<TAB>CRC-32 of what precedes it", so a torn or altered line is found.
//   QUILLET-JOURNAL  3  rename|undo|redo <start, UTC, ISO 8601>  <entries>  <journal undone or ->
//   P  <entry>  <old path>  <new path>  <identity of the item at the old path>   (the plan)
//   T  <entry>  <new path>     the new path changed during the run (an answer to the prompt
//                              for a taken name, a checksum filled in); before the rename
//   H  <entry>  <path>         an item the rename makes for a moment (a reservation of the
//                              new name, a temporary name); before it is made
//   R  <entry>                 renamed
//   N  <entry>                 not renamed; after R: put back to its old path (a cycle of the
//                              run could not go round)
//   E                          the run ended: every rename that happened has its R
// Paths are the exact bytes, in Base64; an identity is type,device,inode,size,mtime,btime.
// The plan's entries are numbered 0, 1, … in order, at most <entries> of them (those of the run
// whose item was there); they come in pieces, and every other line of an entry comes after its
// P line. Version 2 had the whole plan first, which version 3 still reads.
#include "journal/itemidentity.h"

#include <QByteArray>
#include <QByteArrayView>
#include <QList>
#include <QString>

#include <optional>

namespace quillet::journal::records {

inline constexpr QByteArrayView kMagic = "QUILLET-JOURNAL";
inline constexpr QByteArrayView kVersion = "3";
inline constexpr QByteArrayView kWholePlanFirstVersion = "2";

// The largest share of a journal one entry can take: its plan line with two paths of the
// longest length a system takes, its outcome and a few changes of its new path. A journal
// larger than its entries can fill is not read.
inline constexpr qint64 kMaxBytesPerEntry = 64 * 1024;
inline constexpr qint64 kMaxHeaderBytes = 4 * 1024;

// One line, its check sum appended.
[[nodiscard]] QByteArray line(QByteArrayView payload);
// The same line appended to `out`, for the many lines of a plan.
void appendLine(QByteArray& out, QByteArrayView payload);
void appendNumber(QByteArray& out, qint64 number);
// Standard Base64 with padding, as QByteArray::toBase64 writes it, without a buffer of its own.
void appendBase64(QByteArray& out, QByteArrayView bytes);
void appendIdentity(QByteArray& out, const ItemIdentity& identity);
// The fields of a line whose check sum holds; nothing when it does not.
[[nodiscard]] std::optional<QList<QByteArray>> fields(QByteArrayView line);

// Only an absolute path without "." or ".." parts is taken: the journal names items, never
// places relative to wherever the program happens to run.
[[nodiscard]] std::optional<QString> pathFromField(const QByteArray& field);

[[nodiscard]] std::optional<ItemIdentity> identityFromField(const QByteArray& field);

// Whether the path is absolute and holds no "." or ".." part nor an empty one.
[[nodiscard]] bool isAbsoluteAndNormal(QByteArrayView nativePath);

} // namespace quillet::journal::records
