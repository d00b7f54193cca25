// チェックサムの検証: the rows it lists for the batch's files, and the mend of their names.
#include "cutonread.h"
#include "unprivileged.h"
#include "widgettest.h"

#include <QElapsedTimer>

#include "ui/checksumverifywindow.h"

#include <QContextMenuEvent>
#include <QDir>
#include <QLabel>
#include <QMenu>
#include <QPushButton>
#include <QSignalSpy>
#include <QTreeWidget>

#include <unistd.h>

using namespace quillet;
using namespace Qt::Literals::StringLiterals;

namespace {

// "123456789" sums to CBF43926.
constexpr QByteArrayView kContent = "123456789";

// Each row as a screen reader reads its cells.
QStringList rowsOf(const QTreeWidget* list)
{
    QStringList rows;
    for (int i = 0; i < list->topLevelItemCount(); ++i) {
        const QTreeWidgetItem* item = list->topLevelItem(i);
        rows.append(item->text(0) + u'|' + item->text(1) + u'|' + item->text(2));
    }
    return rows;
}

// What this process has read through system calls so far (rchar of /proc/self/io).
qint64 bytesReadByThisProcess()
{
    QFile io(u"/proc/self/io"_s);
    if (!io.open(QIODevice::ReadOnly))
        qFatal("no /proc/self/io");
    for (const QByteArray& line : io.readAll().split('\n')) {
        if (line.startsWith("rchar:"))
            return line.mid(6).trimmed().toLongLong();
    }
    qFatal("no rchar in /proc/self/io");
}

ui::ChecksumVerifyWindow* verifyWindow()
{
    for (QWidget* widget : QApplication::topLevelWidgets()) {
        if (auto* window = qobject_cast<ui::ChecksumVerifyWindow*>(widget);
            window && window->isVisible())
            return window;
    }
    return nullptr;
}

} // namespace

class TestVerifyWindow : public QObject, quillet::test::MainWindowFixture {
    Q_OBJECT

private slots:
    void init()
    {
        m_form = quillet::test::showMainWindow(m_dataDir.path(), m_dialogs);
        QVERIFY(m_files.isValid());
    }
    void cleanup() { m_form.reset(); }

    // One row per entry, in order: a match, a mismatch, none, a folder, a file gone, and a file
    // cut short while it is read; the summary counts them.
    void rowsForEachOutcome()
    {
        const QStringList paths = {
            quillet::test::writeFile(m_files.filePath(u"a [CBF43926].mkv"_s),
                                     kContent.toByteArray()),
            quillet::test::writeFile(m_files.filePath(u"b (a1b2c3d4).mkv"_s),
                                     kContent.toByteArray()),
            quillet::test::writeFile(m_files.filePath(u"c.mkv"_s), kContent.toByteArray()),
            m_files.filePath(u"d [CBF43926]"_s),
            m_files.filePath(u"e [CBF43926].mkv"_s),
            m_files.filePath(u"f [00000000].mkv"_s)};
        QVERIFY(QDir().mkdir(paths[3]));
        quillet::test::writeFile(paths[4], kContent.toByteArray());
        {
            QFile big(paths[5]);
            QVERIFY(big.open(QIODevice::WriteOnly));
            QVERIFY(big.resize(qint64(1) << 30)); // sparse: a while to read
        }
        QVERIFY(quillet::test::dropFiles(child<QPlainTextEdit>(u"Text1"_s)->viewport(), paths));
        QVERIFY(QFile::remove(paths[4]));
        const quillet::test::CutOnFirstRead cutter(paths[5], 4096);
        pressVerifyKeys();
        ui::ChecksumVerifyWindow* window = verifyWindow();
        QVERIFY(window);
        QCOMPARE(window->windowTitle(), u"チェックサムの検証"_s);
        QSignalSpy finished(window, &ui::ChecksumVerifyWindow::checkFinished);
        QVERIFY(finished.wait(30'000));
        QVERIFY(cutter.cut());
        QCOMPARE(rowsOf(window->resultList()),
                 (QStringList{
                     u"1|a [CBF43926].mkv|一致"_s,
                     u"2|b (a1b2c3d4).mkv|不一致 (名前 A1B2C3D4・実際 CBF43926)"_s,
                     u"3|c.mkv|チェックサムなし"_s, u"4|d [CBF43926]|フォルダ (検証しません)"_s,
                     u"5|e [CBF43926].mkv|読めません: 見つかりません"_s,
                     u"6|f [00000000].mkv|読めません: 読んでいる間にファイルが短くなりました"_s}));
        QCOMPARE(quillet::test::control<QLabel>(window, u"VerifySummary"_s)->text(),
                 u"一致 1件・不一致 1件・チェックサムなし 1件・フォルダ 1件・読めません 2件"_s);
        QVERIFY(quillet::test::control<QPushButton>(window, u"MendButton"_s)->isEnabled());
        QVERIFY(m_form->isEnabled()); // the main window was never blocked
    }

    // Root reads every file: run as root, this test runs again as an unprivileged user.
    void unreadableFileRow()
    {
        if (::geteuid() == 0) {
            const QString failed = quillet::test::runTestFunctionUnprivileged(
                QCoreApplication::applicationFilePath(), "unreadableFileRow");
            QVERIFY2(failed.isEmpty(), qPrintable(failed));
            return;
        }
        const QString path = quillet::test::writeFile(m_files.filePath(u"locked [CBF43926].mkv"_s),
                                                      kContent.toByteArray());
        QVERIFY(QFile::setPermissions(path, QFileDevice::Permissions()));
        QVERIFY(quillet::test::dropFiles(child<QPlainTextEdit>(u"Text1"_s)->viewport(), {path}));
        pressVerifyKeys();
        ui::ChecksumVerifyWindow* window = verifyWindow();
        QVERIFY(window);
        QSignalSpy finished(window, &ui::ChecksumVerifyWindow::checkFinished);
        QVERIFY(finished.wait(30'000));
        QCOMPARE(rowsOf(window->resultList()),
                 QStringList{u"1|locked [CBF43926].mkv|読めません: アクセスが拒否されました"_s});
    }

    // The mend writes the actual digits into the mismatched lines as one step of the history:
    // ← takes it back whole. A line edited since the check began is left alone and counted.
    void mendIsOneHistoryStepAndLeavesEditedLinesAlone()
    {
        const QStringList paths = {quillet::test::writeFile(m_files.filePath(u"a [CBF43926].mkv"_s),
                                                            kContent.toByteArray()),
                                   quillet::test::writeFile(m_files.filePath(u"b (a1b2c3d4).mkv"_s),
                                                            kContent.toByteArray()),
                                   quillet::test::writeFile(m_files.filePath(u"c [11111111].mkv"_s),
                                                            kContent.toByteArray())};
        QVERIFY(quillet::test::dropFiles(child<QPlainTextEdit>(u"Text1"_s)->viewport(), paths));
        const QString dropped = m_form->names();
        // The lines hold the names without their extensions.
        QCOMPARE(dropped, u"a [CBF43926]\r\nb (a1b2c3d4)\r\nc [11111111]"_s);

        // Opened from the editor's context menu this time.
        auto* editor = child<QPlainTextEdit>(u"Text1"_s);
        QContextMenuEvent event(QContextMenuEvent::Mouse, QPoint(5, 5),
                                editor->viewport()->mapToGlobal(QPoint(5, 5)));
        QCoreApplication::sendEvent(editor->viewport(), &event);
        QMenu* menu = nullptr;
        QTRY_VERIFY((menu = qobject_cast<QMenu*>(QApplication::activePopupWidget())));
        auto* action = menu->findChild<QAction*>(u"VerifyChecksumsAction"_s);
        QVERIFY(action);
        QCOMPARE(action->text(), u"名前のチェックサムを検証"_s);
        action->trigger();
        menu->close();
        ui::ChecksumVerifyWindow* window = verifyWindow();
        QVERIFY(window);
        QSignalSpy finished(window, &ui::ChecksumVerifyWindow::checkFinished);
        QVERIFY(finished.wait(30'000));

        // The user edits the third line before mending.
        m_dialogs.messages.clear();
        QTextCursor cursor = editor->textCursor();
        cursor.movePosition(QTextCursor::End);
        editor->setTextCursor(cursor);
        QTest::keyClick(editor, Qt::Key_X);
        const QString edited = m_form->names();
        QTest::mouseClick(quillet::test::control<QPushButton>(window, u"MendButton"_s),
                          Qt::LeftButton);
        QCOMPARE(m_form->names(), u"a [CBF43926]\r\nb (CBF43926)\r\nc [11111111]x"_s);
        QCOMPARE(quillet::test::control<QLabel>(window, u"VerifySummary"_s)->text(),
                 u"一致 1件・不一致 2件\n1件の名前を直しました。"
                 u"1件は検証を始めた後に行が編集されたため、そのままにしました。"_s);
        QVERIFY(!quillet::test::control<QPushButton>(window, u"MendButton"_s)->isEnabled());

        QTest::mouseClick(child<QPushButton>(u"Command3"_s), Qt::LeftButton); // ←
        QCOMPARE(m_form->names(), edited);
    }

    // Closing the window stops the reading at once, not after the whole file.
    void closingStopsTheCheck()
    {
        const QString big = m_files.filePath(u"big [00000000].bin"_s);
        constexpr qint64 kSize = qint64(64) << 30; // sparse, far more than a test should read
        {
            QFile file(big);
            QVERIFY(file.open(QIODevice::WriteOnly));
            QVERIFY(file.resize(kSize));
        }
        QVERIFY(quillet::test::dropFiles(child<QPlainTextEdit>(u"Text1"_s)->viewport(), {big}));
        const qint64 before = bytesReadByThisProcess();
        pressVerifyKeys();
        QPointer<ui::ChecksumVerifyWindow> window = verifyWindow();
        QVERIFY(window);
        QVERIFY(window->isChecking());
        QTRY_VERIFY(bytesReadByThisProcess() - before > (qint64(1) << 20));
        window->close();
        QTRY_VERIFY(!window);
        QVERIFY(bytesReadByThisProcess() - before < kSize / 2);
    }

    // Closing the main window ends Quillet: the check goes with it, as 確認 does.
    void closingTheMainWindowClosesTheCheck()
    {
        const QString big = m_files.filePath(u"big [00000000].bin"_s);
        {
            QFile file(big);
            QVERIFY(file.open(QIODevice::WriteOnly));
            QVERIFY(file.resize(qint64(64) << 30));
        }
        QVERIFY(quillet::test::dropFiles(child<QPlainTextEdit>(u"Text1"_s)->viewport(), {big}));
        pressVerifyKeys();
        QPointer<ui::ChecksumVerifyWindow> window = verifyWindow();
        QVERIFY(window && window->isChecking());
        QVERIFY(m_form->close());
        QTRY_VERIFY(!window);
    }

private:
    // Ctrl+Alt+V in the main window, which has the focus as when the user types it.
    void pressVerifyKeys()
    {
        m_form->activateWindow();
        if (!QTest::qWaitForWindowActive(m_form.get()))
            qWarning("the main window did not become active");
        QTest::keyClick(m_form.get(), Qt::Key_V, Qt::ControlModifier | Qt::AltModifier);
    }

    QTemporaryDir m_files;
};

QUILLET_WIDGET_TEST_MAIN(TestVerifyWindow)
#include "tst_verifywindow.moc"
