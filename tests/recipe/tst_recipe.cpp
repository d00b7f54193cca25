// Recipes: the steps a batch keeps, their replay on another batch, and the file they live in.
#include "recipe/batchsteps.h"
#include "recipe/recipe.h"
#include "recipe/recipebook.h"
#include "testfiles.h"

#include <QFile>
#include <QTemporaryDir>
#include <QTest>

using namespace quillet;
using namespace quillet::recipe;
using namespace Qt::Literals::StringLiterals;

namespace {

Step easy(int operation, const QString& a = {}, const QString& b = {})
{
    return EasyStep{operation, a, b};
}

Step insertAtStart(const QString& text)
{
    transform::AdvancedEditRequest edit;
    edit.operation = 0; // insert C at A
    edit.modeA = 0;     // at the start
    edit.valueC = text;
    return AdvancedStep{edit};
}

// What a batch's steps are after a script of changes: "s<n>" a 実行 of easy operation n,
// "h" a hand edit, "d" files dropped, "r" 元に戻す, "<" and ">" the history's ← and →, "c" a
// start afresh.
QList<Step> afterScript(const QStringList& script, bool* followsHandEdits = nullptr)
{
    BatchSteps steps;
    for (const QString& move : script) {
        if (move.startsWith(u's'))
            steps.stepRun(easy(move.mid(1).toInt()));
        else if (move == u"h"_s)
            steps.handEdit();
        else if (move == u"d"_s)
            steps.filesTakenIn();
        else if (move == u"r"_s)
            steps.restored();
        else if (move == u"<"_s)
            steps.back();
        else if (move == u">"_s)
            steps.forward();
        else if (move == u"c"_s)
            steps.clear();
    }
    if (followsHandEdits)
        *followsHandEdits = steps.followsHandEdits();
    return steps.steps();
}

QList<Step> easySteps(std::initializer_list<int> operations)
{
    QList<Step> steps;
    for (const int operation : operations)
        steps.append(easy(operation));
    return steps;
}

} // namespace

class TestRecipe : public QObject {
    Q_OBJECT

private slots:
    void stepsFollowTheHistory_data()
    {
        QTest::addColumn<QStringList>("script");
        QTest::addColumn<QList<Step>>("steps");
        QTest::addColumn<bool>("followsHandEdits");
        QTest::newRow("each 実行 kept in order")
            << QStringList{u"s0"_s, u"s17"_s, u"s27"_s} << easySteps({0, 17, 27}) << false;
        QTest::newRow("← takes the last back")
            << QStringList{u"s0"_s, u"s17"_s, u"<"_s} << easySteps({0}) << false;
        QTest::newRow("→ brings it again")
            << QStringList{u"s0"_s, u"s17"_s, u"<"_s, u">"_s} << easySteps({0, 17}) << false;
        QTest::newRow("a new 実行 after ← drops the step taken back")
            << QStringList{u"s0"_s, u"s17"_s, u"<"_s, u"s31"_s, u">"_s} << easySteps({0, 31})
            << false;
        QTest::newRow("← over a hand edit leaves the steps")
            << QStringList{u"s0"_s, u"h"_s, u"<"_s} << easySteps({0}) << false;
        QTest::newRow("hand edits after the steps do not matter")
            << QStringList{u"s0"_s, u"h"_s, u"h"_s} << easySteps({0}) << false;
        QTest::newRow("a step after a hand edit follows it")
            << QStringList{u"h"_s, u"s0"_s} << easySteps({0}) << true;
        QTest::newRow("the hand edit taken back, the step run again")
            << QStringList{u"h"_s, u"<"_s, u"s0"_s} << easySteps({0}) << false;
        QTest::newRow("files dropped before the steps are no hand edit")
            << QStringList{u"d"_s, u"s0"_s, u"d"_s, u"s17"_s} << easySteps({0, 17}) << false;
        QTest::newRow("元に戻す drops the steps before it")
            << QStringList{u"s0"_s, u"h"_s, u"r"_s, u"s17"_s} << easySteps({17}) << false;
        QTest::newRow("← over 元に戻す brings them back")
            << QStringList{u"s0"_s, u"r"_s, u"<"_s} << easySteps({0}) << false;
        QTest::newRow("やり直す starts afresh")
            << QStringList{u"s0"_s, u"h"_s, u"c"_s, u"s17"_s} << easySteps({17}) << false;
        // Beyond the history's reach the changes are settled, hand edits too.
        QStringList many{u"h"_s, u"s1"_s};
        for (int i = 0; i < 12; ++i)
            many.append(u"h"_s);
        many.append(QStringList(20, u"<"_s));
        QTest::newRow("settled beyond reach") << many << easySteps({1}) << true;
    }
    void stepsFollowTheHistory()
    {
        QFETCH(QStringList, script);
        QFETCH(QList<Step>, steps);
        QFETCH(bool, followsHandEdits);
        bool follows = false;
        QCOMPARE(afterScript(script, &follows), steps);
        QCOMPARE(follows, followsHandEdits);
    }

    // Four easy operations and an advanced edit, replayed on a new batch: the same text as
    // running them one after the other.
    void replayRunsEveryStepInOrder()
    {
        Recipe recipe{u"週刊"_s,
                      {easy(27), easy(17), easy(8, u"番組 "_s), insertAtStart(u"["_s),
                       easy(25, u"["_s, u"【"_s)},
                      {},
                      false};
        const batch::ChunkedText names(u"[Group] ep #01\r\n[Group] ep #02\r\nextra"_s);
        const std::optional<batch::ChunkedText> replayed = replayRecipe(recipe, names, 3, {});
        QVERIFY(replayed);
        QCOMPARE(replayed->toString(), u"【番組  ep 第01話\r\n【番組  ep 第02話\r\n【番組 extra"_s);
    }

    void stepThatNoLongerAppliesIsRefused_data()
    {
        QTest::addColumn<Step>("step");
        QTest::newRow("an easy index beyond the list") << easy(36);
        QTest::newRow("a separator item") << easy(9);
        QTest::newRow("a negative index") << easy(-1);
        transform::AdvancedEditRequest edit;
        edit.operation = 4;
        QTest::newRow("an advanced operation beyond the list") << Step(AdvancedStep{edit});
    }
    void stepThatNoLongerAppliesIsRefused()
    {
        QFETCH(Step, step);
        const Recipe recipe{u"古い"_s, {easy(0), step}, {}, false};
        QCOMPARE(recipeProblem(recipe).value_or(QString()),
                 u"手順「古い」の2番目の操作は、いまの一覧にありません。"_s);
        QCOMPARE(replayRecipe(recipe, batch::ChunkedText(u"a"_s), 1, {}), std::nullopt);
    }

    void fileKeepsEveryField()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath(kRecipesFileName.toString());
        QCOMPARE(loadRecipes(path).recipes.size(), 0); // no file yet: no recipes, no damage
        QVERIFY(loadRecipes(path).damage.isEmpty());
        transform::AdvancedEditRequest edit;
        edit.operation = 3;
        edit.modeA = 3;
        edit.valueA1 = u"「"_s;
        edit.plusA = u"1"_s;
        edit.modeB = 2;
        edit.valueB1 = u"2"_s;
        edit.plusB = u"-1"_s;
        edit.valueC = u"x\ty"_s;
        const Recipe first{u"週刊 \"アニメ\""_s,
                           {easy(8, u"A "_s, u"B"_s), AdvancedStep{edit}},
                           QDateTime(QDate(2026, 12, 9), QTime(7, 0), Qt::UTC),
                           true};
        const Recipe second{u"空"_s, {}, QDateTime(QDate(2026, 1, 1), QTime(0, 0), Qt::UTC), false};
        QVERIFY(!saveRecipes(path, withRecipe(withRecipe({}, second), first)));
        const RecipeFile read = loadRecipes(path);
        QVERIFY2(read.damage.isEmpty(), qPrintable(read.damage));
        QCOMPARE(read.recipes.size(), 2);
        QCOMPARE(read.recipes[0].name, first.name); // the newest first
        QCOMPARE(read.recipes[0].steps, first.steps);
        QCOMPARE(read.recipes[0].saved, first.saved);
        QCOMPARE(read.recipes[0].followsHandEdits, true);
        QCOMPARE(read.recipes[1].name, second.name);
        // Saving under a name again replaces that recipe and puts it first.
        const QList<Recipe> again =
            withRecipe(read.recipes, Recipe{second.name, {easy(0)}, {}, false});
        QCOMPARE(again.size(), 2);
        QCOMPARE(again[0].steps, QList<Step>{easy(0)});
    }

    void damagedFileIsReportedAndKept_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QString>("damage");
        QTest::newRow("not JSON") << QByteArray("{\"format\": 1, \"recipes\": [")
                                  << u"JSON として読めません"_s;
        QTest::newRow("another document")
            << QByteArray("{\"name\": \"x\"}") << u"手順のファイルの形式ではありません"_s;
        QTest::newRow("a step of a mode unknown")
            << QByteArray("{\"format\":1,\"recipes\":[{\"name\":\"a\",\"saved\":\"\",\"steps\":"
                          "[{\"mode\":\"magic\"}]}]}")
            << u"1件目の手順: 手順の種類「magic」は知らないものです"_s;
        QTest::newRow("a number written as text")
            << QByteArray(
                   "{\"format\":1,\"recipes\":[{\"name\":\"a\",\"saved\":\"\",\"steps\":"
                   "[{\"mode\":\"easy\",\"operation\":\"3\",\"valueA\":\"\",\"valueB\":\"\"}]}]}")
            << u"1件目の手順: 「operation」がないか、形式が違います"_s;
    }
    void damagedFileIsReportedAndKept()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(QString, damage);
        QTemporaryDir dir;
        const QString path = test::writeFile(dir.filePath(u"recipes.json"_s), bytes);
        const RecipeFile read = loadRecipes(path);
        QVERIFY2(read.damage.startsWith(damage), qPrintable(read.damage));
        QVERIFY(read.recipes.isEmpty());
        QCOMPARE(test::readFile(path), bytes);
    }
};

QTEST_GUILESS_MAIN(TestRecipe)
#include "tst_recipe.moc"
