#pragma once

#include "journal/undoplan.h"
#include "rename/noreplacerename.h"

#include <QList>
#include <QString>

namespace quillet::rename {

// The rename of an undo run: refuses an item that is not the one the plan expects, so that an
// item moved or replaced after the plan was made is never renamed in its stead. The steps are
// matched to the calls in order (a collision retry keeps its step).
class UndoGuard {
public:
    UndoGuard(QList<journal::UndoStep> steps, NoticedRename rename,
              journal::IdentityLookup lookup = journal::identityOf);
    RenameResult operator()(const QString& from, const QString& to, const HelperNotice& notice);

private:
    QList<journal::UndoStep> m_steps;
    NoticedRename m_rename;
    journal::IdentityLookup m_lookup;
    qsizetype m_next = 0;
};

} // namespace quillet::rename
