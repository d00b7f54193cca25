#pragma once

#include "journal/renamejournal.h"
#include "rename/noreplacerename.h"
#include "rename/renamerun.h"

namespace quillet::rename {

// The rename of a run whose plan is in the journal: only a planned entry is renamed; a new
// path the plan did not know and every helper item are recorded before they are used, and the
// outcome after the rename. Once the journal cannot be written, the run is asked to stop: what
// it renamed so far stays in the journal, and nothing is renamed that the journal would not
// hold.
[[nodiscard]] RenameFunction journaled(journal::RenameJournal& journal, NoticedRename rename,
                                       RunControl& control);

} // namespace quillet::rename
