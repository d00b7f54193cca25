#include "recipe/recipebook.h"

#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QJsonParseError>
#include <QStandardPaths>

namespace quillet::recipe {

using namespace Qt::Literals::StringLiterals;

namespace {

constexpr int kFormat = 1;

QJsonObject stepToJson(const Step& step)
{
    if (const auto* easy = std::get_if<EasyStep>(&step))
        return {{u"mode"_s, u"easy"_s},
                {u"operation"_s, easy->operation},
                {u"valueA"_s, easy->valueA},
                {u"valueB"_s, easy->valueB}};
    const transform::AdvancedEditRequest& edit = std::get<AdvancedStep>(step).edit;
    return {
        {u"mode"_s, u"advanced"_s},   {u"operation"_s, edit.operation}, {u"modeA"_s, edit.modeA},
        {u"valueA1"_s, edit.valueA1}, {u"plusA"_s, edit.plusA},         {u"modeB"_s, edit.modeB},
        {u"valueB1"_s, edit.valueB1}, {u"plusB"_s, edit.plusB},         {u"valueC"_s, edit.valueC}};
}

// Reads fields of one JSON object, remembering the first that is missing or of another type.
class Fields {
public:
    Fields(const QJsonObject& object, QString& problem)
        : m_object(object)
        , m_problem(problem)
    {
    }
    QString text(const QString& key) const
    {
        const QJsonValue value = m_object.value(key);
        if (!value.isString())
            fail(key);
        return value.toString();
    }
    int number(const QString& key) const
    {
        const QJsonValue value = m_object.value(key);
        if (!value.isDouble() || value.toDouble() != double(value.toInt()))
            fail(key);
        return value.toInt();
    }
    bool flag(const QString& key) const
    {
        const QJsonValue value = m_object.value(key);
        if (!value.isBool() && !value.isUndefined())
            fail(key);
        return value.toBool();
    }

private:
    void fail(const QString& key) const
    {
        if (m_problem.isEmpty())
            m_problem = u"「%1」がないか、形式が違います"_s.arg(key);
    }
    const QJsonObject& m_object;
    QString& m_problem;
};

std::optional<Step> stepFromJson(const QJsonObject& object, QString& problem)
{
    const Fields fields(object, problem);
    const QString mode = fields.text(u"mode"_s);
    if (mode == u"easy"_s)
        return EasyStep{fields.number(u"operation"_s), fields.text(u"valueA"_s),
                        fields.text(u"valueB"_s)};
    if (mode == u"advanced"_s) {
        transform::AdvancedEditRequest edit;
        edit.operation = fields.number(u"operation"_s);
        edit.modeA = fields.number(u"modeA"_s);
        edit.valueA1 = fields.text(u"valueA1"_s);
        edit.plusA = fields.text(u"plusA"_s);
        edit.modeB = fields.number(u"modeB"_s);
        edit.valueB1 = fields.text(u"valueB1"_s);
        edit.plusB = fields.text(u"plusB"_s);
        edit.valueC = fields.text(u"valueC"_s);
        return AdvancedStep{edit};
    }
    if (problem.isEmpty())
        problem = u"手順の種類「%1」は知らないものです"_s.arg(mode);
    return std::nullopt;
}

RecipeFile damaged(const QString& why)
{
    return {{}, why};
}

} // namespace

QString recipesFileOfThisUser()
{
    return QStandardPaths::writableLocation(QStandardPaths::AppLocalDataLocation) + u'/'
           + kRecipesFileName.toString();
}

QByteArray recipesToJson(const QList<Recipe>& recipes)
{
    QJsonArray list;
    for (const Recipe& recipe : recipes) {
        QJsonArray steps;
        for (const Step& step : recipe.steps)
            steps.append(stepToJson(step));
        list.append(QJsonObject{{u"name"_s, recipe.name},
                                {u"saved"_s, recipe.saved.toUTC().toString(Qt::ISODate)},
                                {u"followsHandEdits"_s, recipe.followsHandEdits},
                                {u"steps"_s, steps}});
    }
    return QJsonDocument(QJsonObject{{u"format"_s, kFormat}, {u"recipes"_s, list}})
        .toJson(QJsonDocument::Compact);
}

RecipeFile recipesFromJson(const QByteArray& json)
{
    QJsonParseError error{};
    const QJsonDocument document = QJsonDocument::fromJson(json, &error);
    if (error.error != QJsonParseError::NoError)
        return damaged(u"JSON として読めません (%1 バイト目: %2)"_s.arg(error.offset)
                           .arg(error.errorString()));
    const QJsonObject root = document.object();
    if (!document.isObject() || root.value(u"format"_s).toInt() != kFormat
        || !root.value(u"recipes"_s).isArray())
        return damaged(u"手順のファイルの形式ではありません"_s);
    RecipeFile file;
    QString problem;
    for (const QJsonValue& entry : root.value(u"recipes"_s).toArray()) {
        const QJsonObject object = entry.toObject();
        const Fields fields(object, problem);
        Recipe recipe;
        recipe.name = fields.text(u"name"_s);
        recipe.saved = QDateTime::fromString(fields.text(u"saved"_s), Qt::ISODate);
        recipe.followsHandEdits = fields.flag(u"followsHandEdits"_s);
        if (!object.value(u"steps"_s).isArray() && problem.isEmpty())
            problem = u"「steps」がないか、形式が違います"_s;
        for (const QJsonValue& step : object.value(u"steps"_s).toArray()) {
            if (std::optional<Step> read = stepFromJson(step.toObject(), problem))
                recipe.steps.append(std::move(*read));
        }
        if (!problem.isEmpty())
            return damaged(u"%1件目の手順: %2"_s.arg(file.recipes.size() + 1).arg(problem));
        file.recipes.append(std::move(recipe));
    }
    return file;
}

RecipeFile loadRecipes(const QString& path)
{
    QFile file(path);
    if (!file.exists())
        return {};
    if (!file.open(QIODevice::ReadOnly))
        return damaged(u"読めません: "_s + file.errorString());
    return recipesFromJson(file.readAll());
}

std::optional<datafile::WriteError> saveRecipes(const QString& path, const QList<Recipe>& recipes)
{
    return datafile::writeFileAtomically(path, recipesToJson(recipes));
}

QList<Recipe> withRecipe(QList<Recipe> recipes, const Recipe& recipe)
{
    if (const qsizetype at = indexOfRecipe(recipes, recipe.name); at >= 0)
        recipes.removeAt(at);
    recipes.prepend(recipe);
    return recipes;
}

FoundRecipe findRecipe(const QString& path, const QString& name)
{
    const RecipeFile file = loadRecipes(path);
    if (!file.damage.isEmpty())
        return {std::nullopt, u"手順のファイルを読めません: %1\n%2"_s.arg(path, file.damage)};
    const qsizetype at = indexOfRecipe(file.recipes, name);
    if (at < 0)
        return {std::nullopt, u"手順「%1」はありません（%2）"_s.arg(name, path)};
    return {file.recipes.at(at), {}};
}

qsizetype indexOfRecipe(const QList<Recipe>& recipes, const QString& name)
{
    for (qsizetype i = 0; i < recipes.size(); ++i) {
        if (recipes.at(i).name == name)
            return i;
    }
    return -1;
}

} // namespace quillet::recipe
