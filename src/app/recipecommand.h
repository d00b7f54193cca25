#pragma once

#include "recipe/recipe.h"

#include <QByteArray>
#include <QList>
#include <QString>

#include <functional>

namespace quillet::app {

// quillet --recipe NAME --print: the names the recipe gives the files, renaming nothing. The
// files go into a batch as a drop would put them there (folders as entries); the recipe runs
// over their names; one line per entry goes to `out`: the old path, a tab, the new path (bytes
// as on disk). Returns the exit status: 0; 1 when a file named is not there (said on `err`,
// the others printed); 2 with the reason on `err` when there is no such recipe, the recipes
// cannot be read or a step of it no longer applies.
int printRecipe(const QString& recipesFile, const QString& name,
                const QList<const char*>& arguments, const QByteArray& workingFolder,
                const recipe::ReplayValues& values,
                const std::function<void(const QByteArray&)>& out,
                const std::function<void(const QByteArray&)>& err);

} // namespace quillet::app
