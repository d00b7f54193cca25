// Recipes through the main window: the steps of a batch saved under a name, and replayed on
// the next batch as one step of the history.
#include "widgettest.h"

#include "recipe/recipebook.h"

#include <QComboBox>
#include <QContextMenuEvent>
#include <QDialog>
#include <QDir>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QPushButton>
#include <QRadioButton>
#include <QTreeWidget>

using namespace quillet;
using namespace Qt::Literals::StringLiterals;

class TestRecipes : public QObject, private test::MainWindowFixture {
    Q_OBJECT

private:
    QTemporaryDir m_files;
    QString m_recipesFile;

    void click(const QString& name) { QTest::mouseClick(child(name), Qt::LeftButton); }
    void type(const QString& boxName, const QString& text)
    {
        auto* box = child<QComboBox>(boxName);
        box->lineEdit()->clear();
        box->lineEdit()->insert(text);
    }
    void select(const QString& list, int row)
    {
        auto* widget = child<QListWidget>(list);
        widget->setCurrentRow(row);
    }
    void mode(int index)
    {
        for (QRadioButton* option : m_form->findChildren<QRadioButton*>(u"Option1"_s)) {
            if (option->property("index").toInt() == index)
                QTest::mouseClick(option, Qt::LeftButton);
        }
    }
    // A batch of new files in a folder of its own.
    void dropBatch(const QString& folder)
    {
        QDir(m_files.path()).mkdir(folder);
        QStringList paths;
        for (const QString& name :
             {u"[Group] Show #01.mkv"_s, u"[Group] Show #02.mkv"_s, u"extra.txt"_s})
            paths.append(test::writeFile(m_files.filePath(folder + u'/' + name), "x"));
        m_form->takeInFiles(paths);
    }
    // Four easy operations and one advanced edit, pressed as the user would.
    void pressTheWeeklyOperations()
    {
        mode(0);
        select(u"List6"_s, 27); // the leading bracket group goes
        click(u"Command7"_s);
        select(u"List6"_s, 17); // #01 -> 第01話
        click(u"Command7"_s);
        select(u"List6"_s, 8); // a prefix from value A
        type(u"Text10"_s, u"番組 "_s);
        click(u"Command7"_s);
        select(u"List6"_s, 25); // A -> B
        type(u"Text10"_s, u"Show"_s);
        type(u"Text11"_s, u"ショー"_s);
        click(u"Command7"_s);
        mode(1);
        select(u"List3"_s, 0); // insert C at A
        select(u"List4"_s, 0); // the start
        type(u"Text3"_s, u"【週刊】"_s);
        click(u"Command6"_s);
    }
    QMenu* openEditorMenu()
    {
        auto* editor = child<QPlainTextEdit>(u"Text1"_s);
        QContextMenuEvent event(QContextMenuEvent::Mouse, QPoint(5, 5),
                                editor->viewport()->mapToGlobal(QPoint(5, 5)));
        QCoreApplication::sendEvent(editor->viewport(), &event);
        QMenu* menu = nullptr;
        if (!QTest::qWaitFor(
                [&] { return (menu = qobject_cast<QMenu*>(QApplication::activePopupWidget())); }))
            qFatal("no context menu");
        return menu;
    }

private slots:
    void init()
    {
        m_dialogs = test::ScriptedDialogs();
        m_form = test::showMainWindow(m_dataDir.path(), m_dialogs);
        m_recipesFile = m_files.filePath(u"recipes.json"_s);
        QFile::remove(m_recipesFile);
        m_form->setRecipesFile(m_recipesFile);
    }
    void cleanup() { m_form.reset(); }

    void savedRecipeReplaysThePressesAsOneStep()
    {
        dropBatch(u"week1"_s);
        pressTheWeeklyOperations();
        const QString byHand = m_form->names();
        QCOMPARE(m_form->batchSteps().steps().size(), 5);
        QVERIFY(!m_form->batchSteps().followsHandEdits());

        m_dialogs.answers = {u"週刊"_s};
        // Typed where the user types it: in the main window, which has the focus.
        m_form->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(m_form.get()));
        QTest::keyClick(m_form.get(), Qt::Key_S, Qt::ControlModifier | Qt::AltModifier);
        QCOMPARE(m_dialogs.prompts.size(), 1);
        QVERIFY(m_dialogs.prompts.first().startsWith(u"手順の保存|"_s));
        const recipe::RecipeFile saved = recipe::loadRecipes(m_recipesFile);
        QCOMPARE(saved.recipes.size(), 1);
        QCOMPARE(saved.recipes.first().name, u"週刊"_s);

        click(u"Command2"_s); // やり直す
        dropBatch(u"week2"_s);
        const QString dropped = m_form->names();
        QMenu* menu = openEditorMenu();
        auto* recipes = menu->findChild<QMenu*>(u"RecipeMenu"_s);
        QVERIFY(recipes);
        QCOMPARE(recipes->title(), u"手順"_s);
        QAction* weekly = nullptr;
        for (QAction* action : recipes->actions()) {
            if (action->text() == u"週刊"_s)
                weekly = action;
        }
        QVERIFY(weekly);
        weekly->trigger();
        menu->close();
        QCOMPARE(m_form->names(), byHand);
        QVERIFY(m_dialogs.messages.isEmpty());

        click(u"Command3"_s); // ← takes the whole recipe back
        QCOMPARE(m_form->names(), dropped);
    }

    // The same name again asks before it replaces.
    void savingUnderATakenNameAsks()
    {
        dropBatch(u"a"_s);
        select(u"List6"_s, 0);
        click(u"Command7"_s);
        m_dialogs.answers = {u"x"_s, u"x"_s};
        m_form->saveRecipe();
        m_form->saveRecipe(); // answered no
        QCOMPARE(m_dialogs.questions, QStringList{u"手順「x」は既にあります。置き換えますか?"_s});
        QCOMPARE(recipe::loadRecipes(m_recipesFile).recipes.size(), 1);
    }

    // A damaged file is named when the menu opens, and never written over.
    void damagedFileIsReportedAndKept()
    {
        const QByteArray damaged = "{\"format\": 1, \"recipes\": [ {\"name\": ";
        test::writeFile(m_recipesFile, damaged);
        dropBatch(u"b"_s);
        QMenu* menu = openEditorMenu();
        menu->close();
        QCOMPARE(m_dialogs.messages.size(), 1);
        QVERIFY(m_dialogs.messages.first().contains(QDir::toNativeSeparators(m_recipesFile)));
        select(u"List6"_s, 0);
        click(u"Command7"_s);
        m_dialogs.answers = {u"y"_s};
        m_form->saveRecipe();
        QCOMPARE(test::readFile(m_recipesFile), damaged);
        QVERIFY(m_dialogs.messages.last().contains(u"保存しませんでした"_s));
    }

    // A step the lists no longer have refuses the whole recipe.
    void recipeWithAStepThatNoLongerAppliesIsRefused()
    {
        const recipe::Recipe stale{u"古い"_s,
                                   {recipe::EasyStep{0, {}, {}}, recipe::EasyStep{40, {}, {}}},
                                   QDateTime::currentDateTimeUtc(),
                                   false};
        QVERIFY(!recipe::saveRecipes(m_recipesFile, {stale}));
        dropBatch(u"c"_s);
        const QString dropped = m_form->names();
        QVERIFY(!m_form->runRecipe(u"古い"_s));
        QCOMPARE(m_form->names(), dropped);
        QCOMPARE(m_dialogs.messages.size(), 1);
        QVERIFY(m_dialogs.messages.first().startsWith(
            u"手順「古い」の2番目の操作は、いまの一覧にありません。"_s));
    }

    // 手順の一覧 lists every recipe with its steps in words, and runs, renames and deletes one.
    void recipeListRunsRenamesAndDeletes()
    {
        transform::AdvancedEditRequest edit;
        edit.operation = 0;
        edit.modeA = 1;
        edit.valueA1 = u"3"_s;
        edit.valueC = u"x"_s;
        const recipe::Recipe first{u"一"_s,
                                   {recipe::EasyStep{0, {}, {}},
                                    recipe::EasyStep{8, u"番組 "_s, {}},
                                    recipe::AdvancedStep{edit}},
                                   QDateTime::currentDateTimeUtc(),
                                   true};
        const recipe::Recipe second{
            u"二"_s, {recipe::EasyStep{0, {}, {}}}, QDateTime::currentDateTimeUtc(), false};
        QVERIFY(!recipe::saveRecipes(m_recipesFile, {first, second}));
        dropBatch(u"d"_s);
        m_form->showRecipes();
        auto* window = qobject_cast<QDialog*>([] {
            for (QWidget* widget : QApplication::topLevelWidgets())
                if (widget->objectName() == u"Recipes"_s && widget->isVisible())
                    return widget;
            return static_cast<QWidget*>(nullptr);
        }());
        QVERIFY(window);
        QCOMPARE(window->windowTitle(), u"手順の一覧"_s);
        auto* list = test::control<QTreeWidget>(window, u"RecipeList"_s);
        QCOMPARE(list->topLevelItemCount(), 2);
        QCOMPARE(list->topLevelItem(0)->text(0), u"一"_s);
        QCOMPARE(test::control<QLabel>(window, u"RecipeSteps"_s)->text(),
                 u"1. 先頭に「[DVD] 」を付ける\n"
                 u"2. 先頭にA文字を付ける (A: 「番組 」)\n"
                 u"3. 『A位置』に「値C」を入れる (A位置: 前から「3」文字目、値C: 「x」)\n"
                 u"※ 保存したときには、操作の前に手で行を編集していました。"_s);

        list->setCurrentItem(list->topLevelItem(1));
        QTest::mouseClick(test::control<QPushButton>(window, u"RunButton"_s), Qt::LeftButton);
        QCOMPARE(m_form->names(),
                 u"[DVD] [Group] Show #01\r\n[DVD] [Group] Show #02\r\n[DVD] extra"_s);

        m_dialogs.answers = {u"三"_s};
        QTest::mouseClick(test::control<QPushButton>(window, u"RenameButton"_s), Qt::LeftButton);
        QCOMPARE(recipe::loadRecipes(m_recipesFile).recipes.at(1).name, u"三"_s);
        m_dialogs.answerYes = true;
        QTest::mouseClick(test::control<QPushButton>(window, u"DeleteButton"_s), Qt::LeftButton);
        const recipe::RecipeFile left = recipe::loadRecipes(m_recipesFile);
        QCOMPARE(left.recipes.size(), 1);
        QCOMPARE(left.recipes.first().name, u"一"_s);
        QCOMPARE(list->topLevelItemCount(), 1);
    }
};

QUILLET_WIDGET_TEST_MAIN(TestRecipes)
#include "tst_recipes.moc"
