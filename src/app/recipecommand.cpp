#include "recipecommand.h"

#include "batch/nativepath.h"
#include "batch/renamebatch.h"
#include "commandline.h"
#include "recipe/recipebook.h"
#include "rename/noreplacerename.h"
#include "rename/targets.h"

namespace quillet::app {

using namespace Qt::Literals::StringLiterals;

int printRecipe(const QString& recipesFile, const QString& name,
                const QList<const char*>& arguments, const QByteArray& workingFolder,
                const recipe::ReplayValues& values,
                const std::function<void(const QByteArray&)>& out,
                const std::function<void(const QByteArray&)>& err)
{
    const recipe::FoundRecipe found = recipe::findRecipe(recipesFile, name);
    if (!found.recipe) {
        err(found.problem.toLocal8Bit() + '\n');
        return 2;
    }
    const recipe::Recipe& chosen = *found.recipe;
    if (const std::optional<QString> problem = recipe::recipeProblem(chosen)) {
        err(problem->toLocal8Bit() + '\n');
        return 2;
    }
    QStringList paths;
    bool missing = false;
    for (const char* argument : arguments) {
        const QString path = pathOfArgument(argument, workingFolder);
        if (rename::itemExists(path)) {
            paths.append(path);
        } else {
            missing = true;
            err(u"見つかりません: %1\n"_s.arg(batch::displayText(path, u'/')).toLocal8Bit());
        }
    }
    batch::RenameBatch batch(u'/');
    const batch::ChunkedText names(batch.takeIn(QString(), paths));
    const std::optional<batch::ChunkedText> renamed =
        recipe::replayRecipe(chosen, names, batch.count(), values);
    if (!renamed)
        return 2;
    const QStringList targets = rename::BuildTargetList(batch.sources(), renamed->toString(), u'/');
    for (qsizetype i = 0; i < batch.count(); ++i)
        out(batch::nativeBytesFromPath(batch.sources().at(i)) + '\t'
            + batch::nativeBytesFromPath(targets.value(i)) + '\n');
    return missing ? 1 : 0;
}

} // namespace quillet::app
