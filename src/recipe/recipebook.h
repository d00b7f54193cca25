#pragma once

#include "datafile/atomicwrite.h"
#include "recipe/recipe.h"

#include <QByteArray>
#include <QList>
#include <QString>

#include <optional>

namespace quillet::recipe {

// The recipes' file in the per-user data folder.
inline constexpr QStringView kRecipesFileName = u"recipes.json";

// recipes.json in this user's data folder for Quillet (the application's name must be set).
[[nodiscard]] QString recipesFileOfThisUser();

// The recipes a file holds, newest first, or why they could not be read.
struct RecipeFile {
    QList<Recipe> recipes;
    // Empty when the file was read, or is not there yet (no recipes). Otherwise why it cannot
    // be read; the file is then to be left as it is.
    QString damage;
};

// The recipes as one UTF-8 JSON document: {"format": 1, "recipes": [{"name", "saved",
// "followsHandEdits", "steps": [{"mode": "easy", "operation", "valueA", "valueB"} or
// {"mode": "advanced", "operation", "modeA", "valueA1", "plusA", "modeB", "valueB1", "plusB",
// "valueC"}]}]}.
[[nodiscard]] QByteArray recipesToJson(const QList<Recipe>& recipes);
[[nodiscard]] RecipeFile recipesFromJson(const QByteArray& json);

[[nodiscard]] RecipeFile loadRecipes(const QString& path);
// Writes the whole file at once (datafile::writeFileAtomically).
[[nodiscard]] std::optional<datafile::WriteError> saveRecipes(const QString& path,
                                                              const QList<Recipe>& recipes);

// The recipes with `recipe` saved under its name: a recipe of that name is replaced, and the
// saved one comes first.
[[nodiscard]] QList<Recipe> withRecipe(QList<Recipe> recipes, const Recipe& recipe);

// The recipe of that name in the file, or why there is none, in words for standard error.
struct FoundRecipe {
    std::optional<Recipe> recipe;
    QString problem;
};
[[nodiscard]] FoundRecipe findRecipe(const QString& path, const QString& name);

// The index of the recipe of that name, or -1.
[[nodiscard]] qsizetype indexOfRecipe(const QList<Recipe>& recipes, const QString& name);

} // namespace quillet::recipe
