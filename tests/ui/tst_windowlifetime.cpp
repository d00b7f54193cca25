// The program lives as long as its main window: closing it takes "確認" along and ends the event
// loop, as QApplication::exec() in main() runs it; a rename run is never cut short by a close.
#include "widgettest.h"

#include "ui/form1.h"
#include "ui/form2.h"

#include <QDir>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTimer>

#include <functional>
#include <optional>

using namespace quillet;
using namespace Qt::Literals::StringLiterals;

namespace {

// Runs the application's event loop as main() does, starting with `action`. True when the loop
// ended by itself, because its last window closed; a loop still running after a few seconds is
// stopped and counts as false.
bool eventLoopEndsAfter(const std::function<void()>& action)
{
    bool stoppedByTest = false;
    QTimer watchdog;
    watchdog.setSingleShot(true);
    QObject::connect(&watchdog, &QTimer::timeout, [&stoppedByTest] {
        stoppedByTest = true;
        QCoreApplication::exit(1);
    });
    watchdog.start(5000);
    QTimer::singleShot(0, qApp, action);
    const int code = QApplication::exec();
    return code == 0 && !stoppedByTest;
}

} // namespace

class TestWindowLifetime : public QObject, private test::MainWindowFixture {
    Q_OBJECT

private:
    QTemporaryDir m_files;
    QTemporaryDir m_journals;
    int m_case = 0;

    QString write(const QString& name, const QByteArray& content)
    {
        return QDir::toNativeSeparators(test::writeFile(m_files.filePath(name), content));
    }
    QStringList files() const { return QDir(m_files.path()).entryList(QDir::Files, QDir::Name); }
    QWidget* editorViewport() const { return child<QPlainTextEdit>(u"Text1"_s)->viewport(); }
    void press(const QWidget* window, const QString& button)
    {
        QTest::mouseClick(test::control<QPushButton>(window, button), Qt::LeftButton);
    }
    // A batch of one file, renamed to `name` once "リネームする" is pressed.
    void prepareRename(const QString& file, const QByteArray& content, const QString& name)
    {
        QVERIFY(test::dropFiles(editorViewport(), {write(file, content)}));
        setNames(name);
    }

private slots:
    void init()
    {
        QVERIFY(QDir(m_files.path()).removeRecursively());
        QVERIFY(QDir().mkpath(m_files.path()));
        m_dialogs = test::ScriptedDialogs();
        m_form = test::showMainWindow(m_dataDir.path(), m_dialogs);
        m_form->setJournalFolder(m_journals.filePath(QString::number(++m_case)));
    }
    void cleanup() { m_form.reset(); }

    // Closing the main window left "確認" open and the process running: its "リネームする"
    // still renamed, and later starts handed their files to the hidden window.
    void closingTheMainWindowEndsTheProgram_data()
    {
        QTest::addColumn<QString>("confirming");
        QTest::newRow("nothing else open") << QString();
        QTest::newRow("確認 lists the batch") << u"batch"_s;
        QTest::newRow("確認 lists the undo of the last run") << u"undo"_s;
    }
    void closingTheMainWindowEndsTheProgram()
    {
        QFETCH(QString, confirming);
        QStringList expected;
        if (confirming == u"batch"_s) {
            prepareRename(u"a.txt"_s, "A", u"b"_s);
            press(m_form.get(), u"Command1"_s);
            expected = {u"a.txt"_s};
        } else if (confirming == u"undo"_s) {
            prepareRename(u"a.txt"_s, "A", u"b"_s);
            press(m_form.get(), u"Command1"_s);
            press(confirmWindow(), u"Command1"_s);
            QTRY_VERIFY(!confirmWindow());
            m_form->undoLastRun();
            expected = {u"b.txt"_s};
        }
        QCOMPARE(confirmWindow() != nullptr, !confirming.isEmpty());

        QVERIFY(eventLoopEndsAfter([this] { m_form->close(); }));
        QVERIFY(!confirmWindow());
        QVERIFY(!m_form->isVisible());
        QCOMPARE(files(), expected);
    }

    // The window closed in the middle of a run (a close arrives while a checksum is read, and
    // SIGTERM closes the window): the close is refused until the run has ended.
    void closeIsRefusedUntilTheRunEnds()
    {
        prepareRename(u"big.bin"_s, QByteArray(3'500'000, 'x'), u"big [*/CRC32/*]"_s);
        press(m_form.get(), u"Command1"_s);
        press(confirmWindow(), u"Command1"_s);
        // The run goes on its own thread: the window answers, and refuses to close.
        QVERIFY(m_form->isRenaming());
        QVERIFY(!m_form->close());
        QVERIFY(m_form->isVisible());
        QTRY_VERIFY(!m_form->isRenaming());
        // The run went to its end: every file renamed, the end message shown.
        QCOMPARE(m_dialogs.messages, QStringList{u"リネームしました。"_s});
        QCOMPARE(files().size(), 1);
        QVERIFY(files().first().startsWith(u"big ["_s));
        // After the run the window closes as always, and with it the program.
        QVERIFY(eventLoopEndsAfter([this] { m_form->close(); }));
    }
};

QUILLET_WIDGET_TEST_MAIN(TestWindowLifetime)
#include "tst_windowlifetime.moc"
