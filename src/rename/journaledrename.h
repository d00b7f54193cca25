#pragma once

#include "journal/renamejournal.h"
#include "rename/noreplacerename.h"

namespace quillet::rename {

// The rename of a run whose plan is in the journal: only a planned entry is renamed; a new
// path the plan did not know and every helper item are recorded before they are used, and the
// outcome after the rename.
[[nodiscard]] RenameFunction journaled(journal::RenameJournal& journal, NoticedRename rename);

} // namespace quillet::rename
