#pragma once

#include "recipe/recipe.h"

#include <QDialog>
#include <QList>

class QLabel;
class QPushButton;
class QTreeWidget;

namespace quillet::ui {

// 手順の一覧: every saved recipe, newest first, with its steps in words; the selected one can
// be run over the batch, renamed or deleted. The window only shows and asks: the main window
// keeps the recipes.
class RecipesWindow final : public QDialog {
    Q_OBJECT

public:
    explicit RecipesWindow(QWidget* parent = nullptr);

    // Keeps the recipe selected that is selected now, or the one named `select`.
    void setRecipes(const QList<recipe::Recipe>& recipes, const QString& select = {});
    [[nodiscard]] QTreeWidget* recipeList() const { return m_list; }

    // The steps of a recipe, numbered, one per line: "1. 先頭に「[DVD] 」を付ける".
    [[nodiscard]] static QString stepsText(const recipe::Recipe& recipe);

signals:
    void runRequested(const QString& name);
    void renameRequested(const QString& name);
    void deleteRequested(const QString& name);

private:
    [[nodiscard]] QString selectedName() const;
    void showSelected();

    QTreeWidget* m_list = nullptr;
    QLabel* m_steps = nullptr;
    QPushButton* m_runButton = nullptr;
    QPushButton* m_renameButton = nullptr;
    QPushButton* m_deleteButton = nullptr;
    QList<recipe::Recipe> m_recipes;
};

} // namespace quillet::ui
