// Renaming through the windows, on files in a temporary folder: drop, edit, "リネーム開始",
// "リネームする", messages answered by a script, files renamed on disk.
#include "widgettest.h"

#include "ui/form1.h"
#include "ui/form2.h"
#include "ui/listingjob.h"
#include "ui/listingview.h"

#include <QDir>
#include <QFile>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTextCursor>
#include <QTimer>

#include <optional>

#include <unistd.h>

using namespace quillet;
using namespace Qt::Literals::StringLiterals;

class TestRenameWindows : public QObject, private test::MainWindowFixture {
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
    static QWidget* visibleTopLevel(const QString& name)
    {
        for (QWidget* widget : QApplication::topLevelWidgets()) {
            if (widget->objectName() == name && widget->isVisible())
                return widget;
        }
        return nullptr;
    }
    QPlainTextEdit* editor() const { return m_form->findChild<QPlainTextEdit*>(u"Text1"_s); }
    QPushButton* renameButton() const { return m_form->findChild<QPushButton*>(u"Command1"_s); }
    QString listing() const
    {
        return confirmWindow()->findChild<ui::ListingView*>(u"Text1"_s)->toPlainText();
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

    void wholeWayFromDropToRenamedFiles()
    {
        const QString a = write(u"a.avi"_s, "123456789");
        const QString b = write(u"b.mkv"_s, "B");
        test::dropFiles(editor()->viewport(), {a, b});
        setNames(u"Movie [*/CRC32/*]\nSecond"_s);
        QTest::mouseClick(renameButton(), Qt::LeftButton);
        ui::Form2* form2 = confirmWindow();
        QVERIFY(form2);
        QCOMPARE(form2->windowTitle(), u"確認"_s);
        const QString sep = QDir::separator();
        const QString folder = QDir::toNativeSeparators(m_files.path());
        QCOMPARE(listing(), a + u"\n ↓↓↓ \n"_s + folder + sep + u"Movie [*/CRC32/*].avi\n\n"_s + b
                                + u"\n ↓↓↓ \n"_s + folder + sep + u"Second.mkv\n\n"_s);
        QVERIFY(!form2->findChild<QPushButton*>(u"Command2"_s)->isEnabled());
        QVERIFY(!form2->findChild<QPushButton*>(u"Command3"_s)->isEnabled());

        QTest::mouseClick(form2->findChild<QPushButton*>(u"Command1"_s), Qt::LeftButton);

        QTRY_VERIFY(!m_form->isRenaming());
        QCOMPARE(m_dialogs.messages, QStringList{u"リネームしました。"_s});
        QCOMPARE(files(), (QStringList{u"Movie [CBF43926].avi"_s, u"Second.mkv"_s}));
        QCOMPARE(m_form->names(), ui::Form1::hintText());
        QVERIFY(m_form->batch().isEmpty());
        QVERIFY(!renameButton()->isEnabled());
        QTRY_VERIFY(!confirmWindow());
        // The history still leads back to the names of the batch just carried out.
        QTest::mouseClick(m_form->findChild<QPushButton*>(u"Command3"_s), Qt::LeftButton);
        QCOMPARE(m_form->names(), u"Movie [*/CRC32/*]\r\nSecond"_s);
    }

    void collisionPromptThroughTheWindows()
    {
        const QString a = write(u"a.txt"_s, "A");
        write(u"taken.txt"_s, "T");
        test::dropFiles(editor()->viewport(), {a});
        setNames(u"taken"_s);
        m_dialogs.answers = {u"free.txt"_s};
        QTest::mouseClick(renameButton(), Qt::LeftButton);
        QTest::mouseClick(confirmWindow()->findChild<QPushButton*>(u"Command1"_s), Qt::LeftButton);
        QTRY_VERIFY(!m_form->isRenaming());
        QCOMPARE(m_dialogs.prompts.size(), 1);
        QVERIFY(m_dialogs.prompts.first().startsWith(u"ファイル名の変更|"_s));
        QVERIFY(m_dialogs.prompts.first().endsWith(u"|taken.txt"_s));
        QCOMPARE(files(), (QStringList{u"free.txt"_s, u"taken.txt"_s}));
    }

    void partialRunDoesNotClaimSuccess()
    {
        const QString a = write(u"a.txt"_s, "A");
        write(u"b.txt"_s, "B");
        test::dropFiles(editor()->viewport(), {a, m_files.filePath(u"gone.txt"_s)});
        setNames(u"b\nx"_s);
        QTest::mouseClick(renameButton(), Qt::LeftButton);
        QTest::mouseClick(confirmWindow()->findChild<QPushButton*>(u"Command1"_s), Qt::LeftButton);
        QTRY_VERIFY(!m_form->isRenaming());
        QCOMPARE(m_dialogs.messages.last(),
                 u"2件中0件をリネームしました。2件はリネームしませんでした。"_s);
        QCOMPARE(files(), (QStringList{u"a.txt"_s, u"b.txt"_s}));
    }

    // Six refused entries were six boxes to click through before the end message told the same
    // six again: once the box of a failure is ticked, the later ones go only to the end.
    void failuresAfterTheTickedBoxGoOnlyToTheEndMessage_data()
    {
        QTest::addColumn<qsizetype>("tickAt");
        QTest::addColumn<qsizetype>("told");
        QTest::newRow("box left clear: every failure is told") << qsizetype(0) << qsizetype(4);
        QTest::newRow("ticked at the first failure") << qsizetype(1) << qsizetype(1);
        QTest::newRow("ticked at the third failure") << qsizetype(3) << qsizetype(3);
    }
    void failuresAfterTheTickedBoxGoOnlyToTheEndMessage()
    {
        QFETCH(qsizetype, tickAt);
        QFETCH(qsizetype, told);
        QStringList gone;
        for (int i = 1; i <= 4; ++i)
            gone.append(QDir::toNativeSeparators(m_files.filePath(u"gone%1.txt"_s.arg(i))));
        test::dropFiles(editor()->viewport(), QStringList{write(u"a.txt"_s, "A")} + gone);
        QCOMPARE(m_form->batch().count(), 5);
        setNames(u"renamed\nx1\nx2\nx3\nx4"_s);
        m_dialogs.tickAtFailure = tickAt;
        QTest::mouseClick(renameButton(), Qt::LeftButton);
        QTest::mouseClick(confirmWindow()->findChild<QPushButton*>(u"Command1"_s), Qt::LeftButton);
        QTRY_VERIFY(!m_form->isRenaming());

        QCOMPARE(m_dialogs.failures, told);
        QCOMPARE(m_dialogs.messages.size(), told + 1);
        for (qsizetype i = 0; i < told; ++i)
            QVERIFY2(m_dialogs.messages[i].contains(u"のリネームに失敗しました。"_s),
                     qPrintable(m_dialogs.messages[i]));
        // The run went on after the tick, and its end still names every entry it left.
        QCOMPARE(m_dialogs.messages.last(),
                 u"5件中1件をリネームしました。4件はリネームしませんでした。"_s);
        const QString details = m_dialogs.details.last();
        for (const QString& path : gone)
            QVERIFY2(details.contains(path + u"\r\n    "_s), qPrintable(details));
        QCOMPARE(files(), QStringList{u"renamed.txt"_s});
    }

    // Dropped by a file manager: a Shift-JIS name, a file and a folder without an extension,
    // and a file whose line the user empties. Only the Shift-JIS name changes (to UTF-8);
    // nothing gains a dot, nothing becomes a hidden file, and the skipped entry says why.
    void linuxNamesRenameAsTheUserReadsThem()
    {
        const QByteArray folder = QFile::encodeName(m_files.path());
        const QByteArray sjis = folder + "/\x93\xAE\x89\xE6.mp4";
        QFile raw(QFile::decodeName(folder + "/tmp"));
        QVERIFY(raw.open(QIODevice::WriteOnly) && raw.write("V") == 1);
        raw.close();
        QCOMPARE(::rename((folder + "/tmp").constData(), sjis.constData()), 0);
        write(u"notes"_s, "N");
        write(u"ep05.mkv"_s, "E");
        QVERIFY(QDir(m_files.path()).mkdir(u"photos"_s));
        const QByteArray base = QUrl::fromLocalFile(m_files.path()).toEncoded();
        QVERIFY(test::dropUriList(editor()->viewport(), base + "/%93%AE%89%E6.mp4\r\n" + base
                                                            + "/notes\r\n" + base + "/photos/\r\n"
                                                            + base + "/ep05.mkv\r\n"));
        QCOMPARE(m_form->names(), u"動画\r\nnotes\r\nphotos\r\nep05"_s);
        setNames(u"動画\nnotes\nphotos\n"_s);
        QTest::mouseClick(renameButton(), Qt::LeftButton);
        QVERIFY(listing().startsWith(QDir::toNativeSeparators(m_files.path()) + u"/動画.mp4\n"_s));
        QTest::mouseClick(confirmWindow()->findChild<QPushButton*>(u"Command1"_s), Qt::LeftButton);
        QTRY_VERIFY(!m_form->isRenaming());

        const QString ep05 = m_files.filePath(u"ep05.mkv"_s);
        QCOMPARE(m_dialogs.messages,
                 (QStringList{ep05 + u"\r\n\r\nのリネームに失敗しました。\r\n新しい名前が空です"_s,
                              u"4件中3件をリネームしました。1件はリネームしませんでした。"_s}));
        QCOMPARE(m_dialogs.details.last(), ep05 + u"\r\n    新しい名前が空です\r\n"_s);
        QCOMPARE(QDir(m_files.path())
                     .entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot, QDir::Name),
                 (QStringList{u"ep05.mkv"_s, u"notes"_s, u"photos"_s, u"動画.mp4"_s}));
        QCOMPARE(test::readFile(m_files.filePath(u"動画.mp4"_s)), QByteArray("V"));
    }

    // A drop while a checksum is read would be lost when the run ends: it is refused.
    void dropsAreRefusedWhileARunIsGoing()
    {
        const QString big = write(u"big.bin"_s, QByteArray(3'500'000, 'x'));
        test::dropFiles(editor()->viewport(), {big});
        setNames(u"big [*/CRC32/*]"_s);
        QTest::mouseClick(renameButton(), Qt::LeftButton);
        std::optional<bool> acceptedDuringRun;
        const QString late = write(u"late.txt"_s, "L");
        QTimer::singleShot(0, m_form.get(), [&] {
            acceptedDuringRun = test::dropFiles(editor()->viewport(), {late});
        });
        QTest::mouseClick(confirmWindow()->findChild<QPushButton*>(u"Command1"_s), Qt::LeftButton);
        QTRY_VERIFY(!m_form->isRenaming());
        QVERIFY(acceptedDuringRun.has_value());
        QVERIFY(!*acceptedDuringRun);
        QCOMPARE(m_dialogs.messages, QStringList{u"リネームしました。"_s});
        QVERIFY(test::dropFiles(editor()->viewport(), {late}));
        QCOMPARE(m_form->batch().sources(), QStringList{late});
    }

    // Closing the checksum's progress window (its close button, Alt+F4) stops the checksum
    // and the run as 中止 does; before, the window hid while the whole file was still read.
    void closingTheChecksumWindowStopsTheRun()
    {
        const QString big = m_files.filePath(u"big.bin"_s);
        {
            QFile file(big);
            QVERIFY(file.open(QIODevice::WriteOnly));
            QVERIFY(file.resize(qint64(64) << 30)); // sparse: minutes to read
        }
        const QString after = write(u"after.txt"_s, "A");
        test::dropFiles(editor()->viewport(), {big, after});
        setNames(u"big [*/CRC32/*]\nlater"_s);
        QTest::mouseClick(renameButton(), Qt::LeftButton);
        QTest::mouseClick(confirmWindow()->findChild<QPushButton*>(u"Command1"_s), Qt::LeftButton);
        QWidget* form3 = nullptr;
        QTRY_VERIFY_WITH_TIMEOUT((form3 = visibleTopLevel(u"Form3"_s)), 20000);
        QVERIFY(m_form->isRenaming());
        QVERIFY(!form3->close()); // it stays until the checksum has ended
        QTRY_VERIFY_WITH_TIMEOUT(!m_form->isRenaming(), 20000);
        QVERIFY(!visibleTopLevel(u"Form3"_s));
        QCOMPARE(m_dialogs.messages,
                 QStringList{
                     u"中止しました。2件中0件をリネームしました。2件はリネームしませんでした。"_s});
        QCOMPARE(files(), (QStringList{u"after.txt"_s, u"big.bin"_s}));
    }

    void closingTheConfirmationChangesNothing()
    {
        const QString a = write(u"a.txt"_s, "A");
        test::dropFiles(editor()->viewport(), {a});
        setNames(u"z"_s);
        QTest::mouseClick(renameButton(), Qt::LeftButton);
        QVERIFY(confirmWindow()->close());
        QCOMPARE(files(), QStringList{u"a.txt"_s});
        QCOMPARE(m_form->batch().count(), 1);
        QVERIFY(renameButton()->isEnabled());
    }

    // The rename button had the focus at open, so Space renamed at once; Escape did nothing.
    void confirmationOpensOnTheListingAndEscapeClosesIt()
    {
        const QString a = write(u"a.txt"_s, "A");
        test::dropFiles(editor()->viewport(), {a});
        setNames(u"z"_s);
        QTest::mouseClick(renameButton(), Qt::LeftButton);
        ui::Form2* form2 = confirmWindow();
        QVERIFY(form2);
        auto* listingBox = form2->findChild<ui::ListingView*>(u"Text1"_s);
        QCOMPARE(form2->focusWidget(), listingBox);
        QTest::keyClick(form2->focusWidget(), Qt::Key_Space);
        QTest::keyClick(form2->focusWidget(), Qt::Key_Return);
        QCOMPARE(files(), QStringList{u"a.txt"_s});
        QVERIFY(m_dialogs.messages.isEmpty());
        QTest::keyClick(form2->focusWidget(), Qt::Key_Escape);
        QTRY_VERIFY(!confirmWindow());
        QCOMPARE(files(), QStringList{u"a.txt"_s});
        QCOMPARE(m_form->batch().count(), 1);
        QVERIFY(renameButton()->isEnabled());
        // Opened again, it renames as before.
        QTest::mouseClick(renameButton(), Qt::LeftButton);
        QTest::mouseClick(confirmWindow()->findChild<QPushButton*>(u"Command1"_s), Qt::LeftButton);
        QTRY_VERIFY(!m_form->isRenaming());
        QCOMPARE(files(), QStringList{u"z.txt"_s});
    }

    void listingIsRebuiltAtEveryPress()
    {
        const QString a = write(u"a.txt"_s, "A");
        test::dropFiles(editor()->viewport(), {a});
        setNames(u"first"_s);
        QTest::mouseClick(renameButton(), Qt::LeftButton);
        QVERIFY(listing().contains(u"first.txt"_s));
        setNames(u"second"_s);
        QTest::mouseClick(renameButton(), Qt::LeftButton);
        QVERIFY(listing().contains(u"second.txt"_s));
        QVERIFY(!listing().contains(u"first.txt"_s));
    }

    // Files dropped while "確認" is open used to be left out of its run and then to vanish
    // from the batch when the run ended: they join the listing now.
    void filesDroppedWhileConfirmingJoinTheListing()
    {
        const QString a = write(u"a.txt"_s, "A");
        test::dropFiles(editor()->viewport(), {a});
        setNames(u"renamed"_s);
        QTest::mouseClick(renameButton(), Qt::LeftButton);
        test::dropFiles(editor()->viewport(), {write(u"late.txt"_s, "L")});
        QVERIFY(listing().contains(m_files.filePath(u"late.txt"_s)));
        setNames(u"renamed\nlate2"_s);
        QTest::mouseClick(renameButton(), Qt::LeftButton);
        QTest::mouseClick(confirmWindow()->findChild<QPushButton*>(u"Command1"_s), Qt::LeftButton);
        QTRY_VERIFY(!m_form->isRenaming());
        QCOMPARE(m_dialogs.messages, QStringList{u"リネームしました。"_s});
        QCOMPARE(files(), (QStringList{u"late2.txt"_s, u"renamed.txt"_s}));
    }

    // Names edited while "確認" was open were not what it listed: its run renamed the names of
    // the press and then emptied the batch, so the edits were lost. Each kind of edit relists.
    void editsWhileConfirmingAreWhatTheRunRenames_data()
    {
        QTest::addColumn<QString>("edit");
        QTest::addColumn<QString>("renamed");
        QTest::newRow("a hand edit") << u"type"_s << u"second!?.txt"_s;
        QTest::newRow("an operation") << u"operation"_s << u"[DVD] second.txt"_s;
        QTest::newRow("← in the history") << u"back"_s << u"first.txt"_s;
        QTest::newRow("→ in the history") << u"forward"_s << u"third.txt"_s;
    }
    void editsWhileConfirmingAreWhatTheRunRenames()
    {
        QFETCH(QString, edit);
        QFETCH(QString, renamed);
        test::dropFiles(editor()->viewport(), {write(u"a.txt"_s, "A")});
        setNames(u"first"_s);
        setNames(u"second"_s);
        if (edit == u"forward") {
            setNames(u"third"_s);
            QTest::mouseClick(child(u"Command3"_s), Qt::LeftButton);
        }
        QTest::mouseClick(renameButton(), Qt::LeftButton);
        ui::Form2* form2 = confirmWindow();
        QVERIFY(form2);
        auto* confirmButton = form2->findChild<QPushButton*>(u"Command1"_s);
        QVERIFY(confirmButton->isEnabled());

        if (edit == u"type") {
            editor()->moveCursor(QTextCursor::End);
            QTest::keyClicks(editor(), u"!?"_s);
        } else if (edit == u"operation") {
            QTest::mouseClick(child(u"Command7"_s), Qt::LeftButton);
        } else {
            QTest::mouseClick(child(edit == u"back" ? u"Command3"_s : u"Command4"_s),
                              Qt::LeftButton);
        }
        // No run of the names the listing still shows while their relisting is due.
        QVERIFY(m_form->isListing());
        QTest::mouseClick(confirmButton, Qt::LeftButton);
        QVERIFY(!m_form->isRenaming());
        QCOMPARE(files(), QStringList{u"a.txt"_s});

        QTRY_VERIFY(!m_form->isListing());
        QVERIFY(listing().contains(m_files.filePath(renamed)));
        QVERIFY(confirmButton->isEnabled());
        QTest::mouseClick(confirmButton, Qt::LeftButton);
        QTRY_VERIFY(!m_form->isRenaming());
        QCOMPARE(m_dialogs.messages, QStringList{u"リネームしました。"_s});
        QCOMPARE(files(), QStringList{renamed});
    }

    // The edits are listed together once they pause, not one key at a time; nothing is listed
    // once 確認 is closed, and 確認 closes when the batch is started over.
    void editsAreRelistedOnlyWhileConfirmingTheBatch()
    {
        test::dropFiles(editor()->viewport(), {write(u"a.txt"_s, "A")});
        setNames(u"first"_s);
        QTest::mouseClick(renameButton(), Qt::LeftButton);
        editor()->moveCursor(QTextCursor::End);
        QTest::keyClicks(editor(), u"abc"_s);
        QVERIFY(listing().contains(m_files.filePath(u"first.txt"_s)));
        QTRY_VERIFY(!m_form->isListing());
        QVERIFY(listing().contains(m_files.filePath(u"firstabc.txt"_s)));

        QVERIFY(confirmWindow()->close());
        setNames(u"closed"_s);
        QVERIFY(!m_form->isListing());
        // Started over while 確認 lists the batch, nothing is left for it to run.
        QTest::mouseClick(renameButton(), Qt::LeftButton);
        QVERIFY(listing().contains(m_files.filePath(u"closed.txt"_s)));
        QTest::mouseClick(child(u"Command2"_s), Qt::LeftButton);
        QTRY_VERIFY(!confirmWindow());
        QCOMPARE(files(), QStringList{u"a.txt"_s});
        QVERIFY(m_dialogs.messages.isEmpty());
    }

    // A large batch is listed for 確認 on a thread: names edited before 確認 opened on that
    // listing were not in it.
    void editsWhileAPressIsListingJoinTheListing()
    {
        const int count = int(ui::ListingJob::kListedAtOnce) + 1;
        QStringList paths;
        QStringList names;
        for (int i = 0; i < count; ++i) {
            paths.append(write(u"f%1.txt"_s.arg(i), "F"));
            names.append(u"n%1"_s.arg(i));
        }
        test::dropFiles(editor()->viewport(), paths);
        QCOMPARE(m_form->batch().count(), count);
        setNames(names.join(u'\n'));
        QTest::mouseClick(renameButton(), Qt::LeftButton);
        QVERIFY(!confirmWindow());
        names.last() = u"edited"_s;
        setNames(names.join(u'\n'));
        QTRY_VERIFY(confirmWindow() && !m_form->isListing());
        QVERIFY(listing().contains(m_files.filePath(u"edited.txt"_s)));
        QVERIFY(!listing().contains(m_files.filePath(u"n%1.txt"_s.arg(count - 1))));
    }

    // 確認 that lists an undo keeps it when the names of a new batch are edited meanwhile.
    void editsLeaveAListedUndoAsItIs()
    {
        test::dropFiles(editor()->viewport(), {write(u"a.txt"_s, "A")});
        setNames(u"b"_s);
        QTest::mouseClick(renameButton(), Qt::LeftButton);
        QTest::mouseClick(confirmWindow()->findChild<QPushButton*>(u"Command1"_s), Qt::LeftButton);
        QTRY_VERIFY(!m_form->isRenaming());
        QTRY_VERIFY(!confirmWindow());
        test::dropFiles(editor()->viewport(), {write(u"c.txt"_s, "C")});
        m_form->undoLastRun();
        const QString undo = listing();
        QVERIFY(undo.contains(m_files.filePath(u"a.txt"_s)));

        setNames(u"d"_s);
        QVERIFY(!m_form->isListing());
        QCOMPARE(listing(), undo);
        QTest::mouseClick(confirmWindow()->findChild<QPushButton*>(u"Command1"_s), Qt::LeftButton);
        QTRY_VERIFY(!m_form->isRenaming());
        QCOMPARE(files(), (QStringList{u"a.txt"_s, u"c.txt"_s}));
        QCOMPARE(m_form->names(), u"d"_s);
    }

    void confirmationLayoutFollowsItsSize()
    {
        const QString a = write(u"a.txt"_s, "A");
        test::dropFiles(editor()->viewport(), {a});
        QTest::mouseClick(renameButton(), Qt::LeftButton);
        ui::Form2* form2 = confirmWindow();
        form2->resize(700, 500);
        QTRY_COMPARE(form2->size(), QSize(700, 500));
        const QSize outer = form2->frameGeometry().size();
        auto* button = form2->findChild<QPushButton*>(u"Command1"_s);
        QCOMPARE(form2->findChild<ui::ListingView*>(u"Text1"_s)->size(),
                 QSize(outer.width() - 10, outer.height() - 79));
        QCOMPARE(button->pos(), QPoint(outer.width() - 435, outer.height() - 72));
        QCOMPARE(form2->findChild<QPushButton*>(u"Command3"_s)->pos(),
                 button->pos() + QPoint(288, 0));
    }
};

QUILLET_WIDGET_TEST_MAIN(TestRenameWindows)
#include "tst_renamewindows.moc"
