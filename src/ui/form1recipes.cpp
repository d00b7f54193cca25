// The main window's recipes: the batch's steps saved under a name, and run again over a
// later batch as one step of the history.
#include "ui/form1.h"

#include "transform/codecrewrite.h"
#include "ui/nameeditor.h"
#include "ui/recipeswindow.h"
#include "ui/userdialogs.h"

#include <QDir>
#include <QFileInfo>
#include <QMenu>
#include <QStandardPaths>

namespace quillet::ui {

using namespace Qt::Literals::StringLiterals;

QString Form1::recipesFile() const
{
    return m_recipesFile.isEmpty() ? recipe::recipesFileOfThisUser() : m_recipesFile;
}

QList<recipe::Recipe> Form1::savedRecipes()
{
    const QString path = recipesFile();
    recipe::RecipeFile file = recipe::loadRecipes(path);
    if (!file.damage.isEmpty())
        m_dialogs.showMessage(
            u"手順のファイルを読めません。ファイルはそのままにしてあります。\r\n\r\n"_s
            + QDir::toNativeSeparators(path) + u"\r\n"_s + file.damage);
    return file.recipes;
}

bool Form1::writeRecipes(const QList<recipe::Recipe>& recipes)
{
    const QString path = recipesFile();
    QDir().mkpath(QFileInfo(path).path());
    if (const std::optional<datafile::WriteError> error = recipe::saveRecipes(path, recipes)) {
        m_dialogs.showMessage(u"手順を保存できませんでした。\r\n\r\n"_s
                              + QDir::toNativeSeparators(path) + u"\r\n"_s + error->reason);
        return false;
    }
    return true;
}

void Form1::saveRecipe()
{
    const QList<recipe::Step> steps = m_steps.steps();
    if (steps.isEmpty()) {
        m_dialogs.showMessage(u"保存する操作がありません。イージーモードかアドバンスドモードの"
                              u"「実行」で名前を変えてから保存してください。"_s);
        return;
    }
    // A file that cannot be read is not written over.
    const QString path = recipesFile();
    const recipe::RecipeFile file = recipe::loadRecipes(path);
    if (!file.damage.isEmpty()) {
        m_dialogs.showMessage(u"手順のファイルを読めないため、保存しませんでした。ファイルは"
                              u"そのままにしてあります。\r\n\r\n"_s
                              + QDir::toNativeSeparators(path) + u"\r\n"_s + file.damage);
        return;
    }
    QString prompt = u"この%1個の操作を手順として保存します。手順の名前:"_s.arg(steps.size());
    if (m_steps.followsHandEdits())
        prompt += u"\r\n\r\n※ 手で編集した行のあとの操作です。ほかのファイルでは同じ結果に"
                  u"ならないことがあります。"_s;
    const QString name = m_dialogs.askText(prompt, u"手順の保存"_s, QString()).trimmed();
    if (name.isEmpty())
        return;
    if (recipe::indexOfRecipe(file.recipes, name) >= 0
        && !m_dialogs.askYesNo(u"手順「%1」は既にあります。置き換えますか?"_s.arg(name)))
        return;
    const recipe::Recipe saved{name, steps, QDateTime::currentDateTimeUtc(),
                               m_steps.followsHandEdits()};
    const QList<recipe::Recipe> recipes = recipe::withRecipe(file.recipes, saved);
    if (writeRecipes(recipes) && m_recipesWindow)
        m_recipesWindow->setRecipes(recipes);
}

recipe::ReplayValues Form1::replayValues() const
{
    return {
        m_startup.crc16Template, m_startup.crc32Template, m_startup.codecTemplate,
        transform::ProfileFile::load(QString(m_dataFolder).append(transform::kCodecChangeFile))};
}

bool Form1::runRecipe(const QString& name)
{
    const QList<recipe::Recipe> recipes = savedRecipes();
    const qsizetype at = recipe::indexOfRecipe(recipes, name);
    if (at < 0) {
        m_dialogs.showMessage(u"手順「%1」はありません。"_s.arg(name));
        return false;
    }
    const recipe::Recipe& chosen = recipes.at(at);
    if (const std::optional<QString> problem = recipe::recipeProblem(chosen)) {
        m_dialogs.showMessage(*problem + u"\r\n手順は実行しませんでした。"_s);
        return false;
    }
    if (m_batch.isEmpty() || m_renaming)
        return false;
    const std::optional<batch::ChunkedText> names =
        recipe::replayRecipe(chosen, m_editorNames.names(), m_batch.count(), replayValues());
    if (!names)
        return false;
    // One change of the history; its steps are the recipe's, kept for the next recipe.
    replaceNamesAs(*names, ChangeKind::Steps, chosen.steps);
    return true;
}

void Form1::showRecipes()
{
    if (!m_recipesWindow) {
        m_recipesWindow = new RecipesWindow(this);
        m_recipesWindow->setAttribute(Qt::WA_DeleteOnClose);
        connect(m_recipesWindow, &RecipesWindow::runRequested, this,
                [this](const QString& name) { runRecipe(name); });
        connect(m_recipesWindow, &RecipesWindow::deleteRequested, this, &Form1::deleteRecipe);
        connect(m_recipesWindow, &RecipesWindow::renameRequested, this, &Form1::renameRecipe);
    }
    m_recipesWindow->setRecipes(savedRecipes());
    m_recipesWindow->show();
    m_recipesWindow->raise();
    m_recipesWindow->activateWindow();
}

void Form1::deleteRecipe(const QString& name)
{
    QList<recipe::Recipe> recipes = savedRecipes();
    const qsizetype at = recipe::indexOfRecipe(recipes, name);
    if (at >= 0 && m_dialogs.askYesNo(u"手順「%1」を削除しますか?"_s.arg(name))) {
        recipes.removeAt(at);
        if (writeRecipes(recipes))
            m_recipesWindow->setRecipes(recipes);
    }
    // The question was the main window's: the list takes the focus back.
    m_recipesWindow->activateWindow();
}

void Form1::renameRecipe(const QString& name)
{
    QList<recipe::Recipe> recipes = savedRecipes();
    const qsizetype at = recipe::indexOfRecipe(recipes, name);
    const QString renamed =
        at < 0 ? QString()
               : m_dialogs.askText(u"新しい名前:"_s, u"手順の名前の変更"_s, name).trimmed();
    if (!renamed.isEmpty() && renamed != name) {
        if (recipe::indexOfRecipe(recipes, renamed) >= 0) {
            m_dialogs.showMessage(u"手順「%1」は既にあります。"_s.arg(renamed));
        } else {
            recipes[at].name = renamed;
            if (writeRecipes(recipes))
                m_recipesWindow->setRecipes(recipes, renamed);
        }
    }
    m_recipesWindow->activateWindow();
}

void Form1::addRecipeItems(QMenu* menu)
{
    menu->addSeparator();
    QAction* save = menu->addAction(u"手順を保存..."_s, this, &Form1::saveRecipe);
    save->setObjectName(u"SaveRecipeAction"_s);
    save->setShortcut(QKeySequence(Qt::CTRL | Qt::ALT | Qt::Key_S));
    QMenu* recipes = menu->addMenu(u"手順"_s);
    recipes->setObjectName(u"RecipeMenu"_s);
    recipes->setAccessibleName(u"手順"_s);
    for (const recipe::Recipe& saved : savedRecipes()) {
        QAction* run = recipes->addAction(saved.name);
        run->setObjectName(u"RunRecipeAction"_s);
        run->setEnabled(!m_batch.isEmpty());
        connect(run, &QAction::triggered, this, [this, name = saved.name] { runRecipe(name); });
    }
    recipes->addSeparator();
    QAction* all = recipes->addAction(u"手順の一覧..."_s, this, &Form1::showRecipes);
    all->setObjectName(u"ShowRecipesAction"_s);
}

} // namespace quillet::ui
