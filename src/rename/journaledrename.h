#pragma once

#include "journal/renamejournal.h"
#include "rename/noreplacerename.h"

namespace quillet::rename {

// The rename wrapped so that every call goes through the journal: the attempt before it, the
// outcome after it.
[[nodiscard]] RenameFunction journaled(journal::RenameJournal& journal, RenameFunction rename);

} // namespace quillet::rename
