// quillet --recipe NAME --print: the names a recipe gives, printed, and its exit statuses.
#include "recipe/recipebook.h"
#include "recipecommand.h"
#include "testfiles.h"

#include <QDir>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

using namespace quillet;
using namespace Qt::Literals::StringLiterals;

namespace {

struct Run {
    int status = -1;
    QByteArray out;
    QByteArray err;
};

const recipe::Recipe kWeekly{
    u"週刊"_s,
    {recipe::EasyStep{27, {}, {}}, recipe::EasyStep{17, {}, {}}, recipe::EasyStep{31, {}, {}}},
    QDateTime(QDate(2026, 12, 9), QTime(7, 0), Qt::UTC),
    false};

} // namespace

class TestRecipeCommand : public QObject {
    Q_OBJECT

private slots:
    void initTestCase()
    {
        QVERIFY(m_dir.isValid());
        test::writeFile(m_dir.filePath(u"[Group] Show #01.mkv"_s), "x");
        test::writeFile(m_dir.filePath(u"notes"_s), "x");
        // Where a user's recipes are: $XDG_DATA_HOME/Quillet/recipes.json.
        QVERIFY(QDir().mkpath(m_dir.filePath(u"data/Quillet"_s)));
        QVERIFY(!recipe::saveRecipes(m_dir.filePath(u"data/Quillet/recipes.json"_s), {kWeekly}));
    }

    void printsOldAndNewPaths()
    {
        Run run;
        const QByteArray folder = QFile::encodeName(m_dir.path());
        run.status = app::printRecipe(
            m_dir.filePath(u"data/Quillet/recipes.json"_s), u"週刊"_s,
            {"[Group] Show #01.mkv", "notes", "gone.mkv"}, folder, {},
            [&run](const QByteArray& bytes) { run.out += bytes; },
            [&run](const QByteArray& bytes) { run.err += bytes; });
        QCOMPARE(run.status, 1); // one file named is not there
        QCOMPARE(run.out, folder + "/[Group] Show #01.mkv\t" + folder + "/Show 第01話.mkv\n"
                              + folder + "/notes\t" + folder + "/notes\n");
        QCOMPARE(run.err, "見つかりません: " + folder + "/gone.mkv\n");
    }

    // Without a display, and never through a window that is open.
    void programStatus_data()
    {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<int>("status");
        QTest::addColumn<QByteArray>("out");
        QTest::addColumn<QByteArray>("firstError");
        const QByteArray folder = QFile::encodeName(m_dir.path());
        QTest::newRow("the recipe's names")
            << QStringList{u"--recipe"_s, u"週刊"_s, u"--print"_s, u"[Group] Show #01.mkv"_s} << 0
            << QByteArray(folder + "/[Group] Show #01.mkv\t" + folder + "/Show 第01話.mkv\n")
            << QByteArray();
        QTest::newRow("an unknown recipe")
            << QStringList{u"--recipe"_s, u"月刊"_s, u"--print"_s, u"notes"_s} << 2 << QByteArray()
            << QByteArray("手順「月刊」はありません（" + folder + "/data/Quillet/recipes.json）");
        QTest::newRow("no file") << QStringList{u"--recipe"_s, u"週刊"_s, u"--print"_s} << 2
                                 << QByteArray()
                                 << QByteArray("--recipe には手順をかけるファイルかフォルダーを"
                                               "指定してください");
        QTest::newRow("--print alone") << QStringList{u"--print"_s, u"notes"_s} << 2 << QByteArray()
                                       << QByteArray("--print は --recipe と一緒に使います");
    }
    void programStatus()
    {
        QFETCH(QStringList, arguments);
        QFETCH(int, status);
        QFETCH(QByteArray, out);
        QFETCH(QByteArray, firstError);
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.remove(u"DISPLAY"_s);
        environment.remove(u"WAYLAND_DISPLAY"_s);
        environment.insert(u"QT_QPA_PLATFORM"_s, u"xcb"_s);
        environment.insert(u"XDG_DATA_HOME"_s, m_dir.filePath(u"data"_s));
        environment.insert(u"XDG_RUNTIME_DIR"_s, m_dir.path()); // no open window to find
        QProcess process;
        process.setProcessEnvironment(environment);
        process.setWorkingDirectory(m_dir.path());
        process.start(QStringLiteral(QUILLET_PROGRAM), arguments);
        QVERIFY(process.waitForFinished(60'000));
        QCOMPARE(process.exitStatus(), QProcess::NormalExit);
        QCOMPARE(process.readAllStandardOutput(), out);
        QCOMPARE(process.readAllStandardError().split('\n').first(), firstError);
        QCOMPARE(process.exitCode(), status);
    }

private:
    QTemporaryDir m_dir;
};

QTEST_GUILESS_MAIN(TestRecipeCommand)
#include "tst_recipecommand.moc"
