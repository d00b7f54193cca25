// Taking runs back through the windows, on files in a temporary folder: an undo request never
// replaces a batch that 確認 lists, an undo is listed as one everywhere, 最近のリネーム takes back
// any run, and a journal that cannot be written is said before the run.
#include "widgettest.h"

#include "ui/form1.h"
#include "ui/form2.h"
#include "ui/listingview.h"
#include "ui/precheckline.h"
#include "ui/recentrunswindow.h"

#include <QContextMenuEvent>
#include <QDir>
#include <QMenu>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTreeWidget>

using namespace quillet;
using namespace Qt::Literals::StringLiterals;

namespace {

const QString kBatchListed = u"確認の画面にリネームする一覧が開いています。"_s;

ui::RecentRunsWindow* recentRunsWindow()
{
    for (QWidget* widget : QApplication::topLevelWidgets()) {
        if (auto* window = qobject_cast<ui::RecentRunsWindow*>(widget);
            window && window->isVisible())
            return window;
    }
    return nullptr;
}

QString checkLine(ui::Form2* form2)
{
    return form2->findChild<ui::PrecheckLine*>(u"PrecheckLabel"_s)->fullText();
}

} // namespace

class TestUndoWindows : public QObject, private test::MainWindowFixture {
    Q_OBJECT

private:
    QTemporaryDir m_files;
    QTemporaryDir m_journals;
    int m_case = 0;

    QString path(const QString& name) const
    {
        return QDir::toNativeSeparators(m_files.filePath(name));
    }
    QString write(const QString& name) { return test::writeFile(path(name), name.toUtf8()); }
    QStringList files() const { return QDir(m_files.path()).entryList(QDir::Files, QDir::Name); }
    QPlainTextEdit* editor() const { return m_form->findChild<QPlainTextEdit*>(u"Text1"_s); }
    QString listing() const
    {
        return confirmWindow()->findChild<ui::ListingView*>(u"Text1"_s)->toPlainText();
    }
    QPushButton* confirmButton() const
    {
        return confirmWindow()->findChild<QPushButton*>(u"Command1"_s);
    }

    // Drops the files, gives them the names and opens 確認.
    void listBatch(const QStringList& names, const QString& newNames)
    {
        QStringList paths;
        for (const QString& name : names)
            paths.append(write(name));
        QVERIFY(test::dropFiles(editor()->viewport(), paths));
        setNames(newNames);
        QTest::mouseClick(m_form->findChild<QPushButton*>(u"Command1"_s), Qt::LeftButton);
        QVERIFY(confirmWindow());
    }
    // A key pressed in the main window, which the user brings to the front first.
    void pressInMainWindow(Qt::Key key)
    {
        // An X server without a window manager may keep the focus on 確認: Qt is told too.
        m_form->activateWindow();
        QApplication::setActiveWindow(m_form.get());
        QTRY_COMPARE(QApplication::activeWindow(), m_form.get());
        QWidget* focus = QApplication::focusWidget();
        QTest::keyClick(focus ? focus : m_form.get(), key, Qt::ControlModifier | Qt::AltModifier);
    }
    // Presses the confirm button of 確認 and waits for the run's end.
    void confirm()
    {
        QTest::mouseClick(confirmButton(), Qt::LeftButton);
        QTRY_VERIFY(!m_form->isRenaming());
        QTRY_VERIFY(!confirmWindow());
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
    void cleanup()
    {
        m_form.reset();
        QTRY_VERIFY(!recentRunsWindow());
    }

    // Ctrl+Alt+Z while 確認 listed a batch replaced the batch by the reversal of the last run,
    // and リネームする would have undone that run.
    void undoRequestLeavesTheListedBatch_data()
    {
        QTest::addColumn<QString>("request");
        QTest::newRow("Ctrl+Alt+Z in the main window") << u"key"_s;
        QTest::newRow("an undo handed over by --undo-last") << u"last"_s;
        QTest::newRow("a run taken back from 最近のリネーム") << u"run"_s;
    }

    void undoRequestLeavesTheListedBatch()
    {
        QFETCH(QString, request);
        listBatch({u"a.txt"_s}, u"z"_s);
        confirm();
        const QString firstRun = QDir(m_form->journalFolder()).entryList(QDir::Files).first();
        listBatch({u"b.txt"_s}, u"y"_s);
        const QString listed = listing();
        m_dialogs.messages.clear();

        if (request == u"key")
            pressInMainWindow(Qt::Key_Z);
        else if (request == u"last")
            m_form->undoLastRun();
        else
            m_form->undoRun(firstRun);

        QCOMPARE(m_dialogs.messages.size(), 1);
        QVERIFY2(m_dialogs.messages.first().startsWith(kBatchListed),
                 qPrintable(m_dialogs.messages.first()));
        QCOMPARE(confirmWindow()->windowTitle(), u"確認"_s);
        QCOMPARE(confirmButton()->text(), u"リネームする"_s);
        QCOMPARE(listing(), listed);
        QCOMPARE(files(), (QStringList{u"b.txt"_s, u"z.txt"_s}));
        // The batch still runs as it was listed.
        confirm();
        QCOMPARE(files(), (QStringList{u"y.txt"_s, u"z.txt"_s}));
    }

    // The undo was listed in the rename's window, with its title, button and end message.
    void undoAndRedoAreListedAsSuch()
    {
        listBatch({u"a.txt"_s, u"b.txt"_s}, u"x\ny"_s);
        confirm();
        m_dialogs.messages.clear();

        pressInMainWindow(Qt::Key_Z);
        QVERIFY(confirmWindow());
        QCOMPARE(confirmWindow()->windowTitle(), u"確認 — 元に戻す"_s);
        QCOMPARE(confirmButton()->text(), u"元に戻す"_s);
        // What a screen reader says of the button is the undo, never a rename.
        QCOMPARE(confirmButton()->accessibleDescription(), checkLine(confirmWindow()));
        QVERIFY2(QRegularExpression(
                     u"^\\d{4}/\\d\\d/\\d\\d \\d\\d:\\d\\d のリネーム 2件を元に戻します$"_s)
                     .match(checkLine(confirmWindow()))
                     .hasMatch(),
                 qPrintable(checkLine(confirmWindow())));
        // From where each file is now down to the name it gets back, the newest rename first.
        QCOMPARE(listing(), path(u"y.txt"_s) + u"\n ↓↓↓ \n"_s + path(u"b.txt"_s) + u"\n\n"_s
                                + path(u"x.txt"_s) + u"\n ↓↓↓ \n"_s + path(u"a.txt"_s) + u"\n\n"_s);
        confirm();
        QCOMPARE(m_dialogs.messages, QStringList{u"元に戻しました。"_s});
        QCOMPARE(files(), (QStringList{u"a.txt"_s, u"b.txt"_s}));

        // Taking back the undo is a redo: an ordinary run.
        pressInMainWindow(Qt::Key_Z);
        QCOMPARE(confirmWindow()->windowTitle(), u"確認 — やり直す"_s);
        QCOMPARE(confirmButton()->text(), u"やり直す"_s);
        QVERIFY(checkLine(confirmWindow()).endsWith(u" の元に戻し 2件をやり直します"_s));
        confirm();
        QCOMPARE(m_dialogs.messages.last(), u"リネームしました。"_s);
        QCOMPARE(files(), (QStringList{u"x.txt"_s, u"y.txt"_s}));
    }

    // A batch listed over an undo takes the window back to a rename's words.
    void aBatchListedOverAnUndoReadsAsARename()
    {
        listBatch({u"a.txt"_s}, u"x"_s);
        confirm();
        pressInMainWindow(Qt::Key_Z);
        QCOMPARE(confirmButton()->text(), u"元に戻す"_s);
        listBatch({u"b.txt"_s}, u"y"_s);
        QCOMPARE(confirmWindow()->windowTitle(), u"確認"_s);
        QCOMPARE(confirmButton()->text(), u"リネームする"_s);
        QCOMPARE(confirmButton()->accessibleDescription(), u"リネームを開始します"_s);
        QVERIFY(!checkLine(confirmWindow()).contains(u"元に戻します"_s));
        confirm();
        QCOMPARE(files(), (QStringList{u"x.txt"_s, u"y.txt"_s}));
    }

    // Three files renamed, then two others: the first run alone is taken back from the list.
    void recentRunsTakeBackTheFirstRunOnly_data()
    {
        QTest::addColumn<QString>("opener");
        QTest::newRow("Ctrl+Alt+H in the main window") << u"key"_s;
        QTest::newRow("the name editor's context menu") << u"menu"_s;
    }

    void recentRunsTakeBackTheFirstRunOnly()
    {
        QFETCH(QString, opener);
        listBatch({u"a.txt"_s, u"b.txt"_s, u"c.txt"_s}, u"a1\nb1\nc1"_s);
        confirm();
        listBatch({u"d.txt"_s, u"e.txt"_s}, u"d1\ne1"_s);
        confirm();

        if (opener == u"key") {
            pressInMainWindow(Qt::Key_H);
        } else {
            QContextMenuEvent event(QContextMenuEvent::Mouse, QPoint(5, 5),
                                    editor()->viewport()->mapToGlobal(QPoint(5, 5)));
            QCoreApplication::sendEvent(editor()->viewport(), &event);
            QMenu* menu = nullptr;
            QTRY_VERIFY((menu = qobject_cast<QMenu*>(QApplication::activePopupWidget())));
            auto* action = menu->findChild<QAction*>(u"RecentRunsAction"_s);
            QVERIFY(action);
            QCOMPARE(action->text(), u"最近のリネーム..."_s);
            action->trigger();
            menu->close();
        }
        ui::RecentRunsWindow* window = recentRunsWindow();
        QVERIFY(window);
        QCOMPARE(window->windowTitle(), u"最近のリネーム"_s);
        QTreeWidget* list = window->runList();
        QCOMPARE(list->topLevelItemCount(), 2);
        QCOMPARE(list->topLevelItem(0)->text(2), u"2"_s);
        QCOMPARE(list->topLevelItem(1)->text(2), u"3"_s);
        QCOMPARE(list->topLevelItem(1)->text(1), u"リネーム"_s);
        QVERIFY(list->topLevelItem(1)->text(4).startsWith(u"a.txt → a1.txt"_s));
        QCOMPARE(list->topLevelItem(1)->text(5), u"元に戻せます"_s);

        list->setCurrentItem(list->topLevelItem(1));
        QTest::mouseClick(window->findChild<QPushButton*>(u"TakeBackButton"_s), Qt::LeftButton);
        QVERIFY(confirmWindow());
        QVERIFY(checkLine(confirmWindow()).endsWith(u" のリネーム 3件を元に戻します"_s));
        confirm();
        QCOMPARE(files(),
                 (QStringList{u"a.txt"_s, u"b.txt"_s, u"c.txt"_s, u"d1.txt"_s, u"e1.txt"_s}));
        // The list follows: the undo on top, the first run taken back.
        QCOMPARE(list->topLevelItemCount(), 3);
        QCOMPARE(list->topLevelItem(0)->text(1), u"元に戻し"_s);
        QCOMPARE(list->topLevelItem(2)->text(5), u"取り消し済みです"_s);
    }

    // The journal's folder is looked at when 確認 opens: a folder that cannot take a journal is
    // said in red in the check line before anything is renamed. (A read-only folder, which
    // only an unprivileged user meets, is probed in the journal's own tests.)
    void journalProbeWarnsBeforeTheRun_data()
    {
        QTest::addColumn<QString>("obstacle");
        QTest::newRow("a file where the journal folder should be") << u"file"_s;
        QTest::newRow("a link where the journal folder should be") << u"link"_s;
    }

    void journalProbeWarnsBeforeTheRun()
    {
        QFETCH(QString, obstacle);
        const QString journals = m_files.filePath(u"journal"_s);
        if (obstacle == u"file")
            test::writeFile(journals, "not a folder");
        else
            QVERIFY(QFile::link(m_files.path(), journals));
        m_form->setJournalFolder(journals);
        listBatch({u"a.txt"_s}, u"z"_s);
        const QString line = checkLine(confirmWindow());
        QVERIFY2(line.startsWith(u"元に戻すための記録を書けません: "_s
                                 + QDir::toNativeSeparators(journals)),
                 qPrintable(line));
        QVERIFY(
            confirmWindow()->findChild<QLabel*>(u"PrecheckLabel"_s)->text().contains(u"color:"_s));
        QVERIFY(QFileInfo::exists(m_files.filePath(u"a.txt"_s)));
    }
};

QUILLET_WIDGET_TEST_MAIN(TestUndoWindows)
#include "tst_undowindows.moc"
