// The pre-check line of the confirmation window, on files in a temporary folder: what it says
// for a batch, where it sits, and that the run goes on as before.
#include "widgettest.h"

#include "rename/targets.h"
#include "ui/form1.h"
#include "ui/form2.h"
#include "ui/listingview.h"

#include <QAccessible>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QPalette>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTextBlock>
#include <QTextDocument>

#include <optional>

using namespace quillet;
using namespace Qt::Literals::StringLiterals;

class TestPrecheckWindow : public QObject, private test::MainWindowFixture {
    Q_OBJECT

private:
    QTemporaryDir m_files;

    QString write(const QString& name)
    {
        return QDir::toNativeSeparators(test::writeFile(m_files.filePath(name), name.toUtf8()));
    }
    QStringList files() const { return QDir(m_files.path()).entryList(QDir::Files, QDir::Name); }
    QPlainTextEdit* editor() const { return m_form->findChild<QPlainTextEdit*>(u"Text1"_s); }
    QLabel* precheckLabel() const
    {
        return test::control<QLabel>(confirmWindow(), u"PrecheckLabel"_s);
    }
    static QString plain(const QString& html)
    {
        QTextDocument document;
        document.setHtml(html);
        return document.toPlainText();
    }
    // The colour the problems are written in, as "#rrggbb".
    static QString problemColour(const QString& html)
    {
        return QRegularExpression(u"color:(#[0-9a-fA-F]{6})"_s).match(html).captured(1);
    }
    // Drops the files, sets the names and presses "リネーム開始".
    void confirm(const QStringList& names, const QString& text)
    {
        QStringList paths;
        for (const QString& name : names)
            paths.append(write(name));
        test::dropFiles(editor()->viewport(), paths);
        pressRename(text);
    }
    ui::ListingView* listing() const
    {
        return test::control<ui::ListingView>(confirmWindow(), u"Text1"_s);
    }
    // "tag" of each marked entry, "red" after an entry whose three lines are in the problem
    // colour, read from the listing as it draws them: "1 ← 重複 (1行目と同じ) red; 2 ← 変更なし".
    QString marks() const
    {
        const ui::ListingView* view = listing();
        QStringList found;
        for (qsizetype entry = 0; entry < view->lineCount() / rename::kListingLinesPerEntry;
             ++entry) {
            const qsizetype first = entry * rename::kListingLinesPerEntry;
            const QString tag = view->tagAfter(first + rename::kListingTargetLine);
            int red = 0;
            for (qsizetype line = first; line <= first + rename::kListingTargetLine; ++line) {
                const QColor colour = view->lineColour(line);
                red += colour.red() > 2 * colour.green();
            }
            if (!tag.isEmpty() || red > 0)
                found.append(u"%1 %2%3"_s.arg(entry).arg(tag, red == 3 ? u" red"_s : u""_s));
        }
        return found.join(u"; "_s);
    }
    // The entry whose three lines are selected in the listing, -1 when that is not the case.
    qsizetype selectedEntry() const
    {
        const ui::ListingView* view = listing();
        const rename::ListingPosition first = view->selectionStart();
        const rename::ListingPosition last = view->selectionEnd();
        const bool whole = first.column == 0 && last.column == view->listing().lineLength(last.line)
                           && first.line % rename::kListingLinesPerEntry == 0
                           && last.line == first.line + rename::kListingTargetLine;
        return whole ? first.line / rename::kListingLinesPerEntry : -1;
    }
    void pressRename(const QString& text)
    {
        setNames(text);
        QTest::mouseClick(child(u"Command1"_s), Qt::LeftButton);
        // A large batch is listed and checked on a thread of its own.
        QTRY_VERIFY(!m_form->isListing());
        QVERIFY(confirmWindow());
    }

private slots:
    void init()
    {
        for (const QString& name : QDir(m_files.path()).entryList(QDir::Files))
            QFile::remove(m_files.filePath(name));
        m_dialogs = test::ScriptedDialogs();
        m_form = test::showMainWindow(m_dataDir.path(), m_dialogs);
    }
    void cleanup() { m_form.reset(); }

    void lineSaysWhatTheBatchHolds_data()
    {
        QTest::addColumn<QString>("names");
        QTest::addColumn<QString>("shown");
        QTest::addColumn<bool>("red");
        QTest::newRow("clean batch shows nothing") << u"x\ny\nz"_s << QString() << false;
        QTest::newRow("a duplicate and an existing target")
            << u"x\nx\ntaken"_s << u"重複 1件・既存 1件"_s << true;
        QTest::newRow("unchanged entries alone are not red")
            << u"a\nb\nz"_s << u"変更なし 2件"_s << false;
        QTest::newRow("a missing line")
            << u"x\ny"_s << u"名前 2行 ≠ ファイル 3件・名前のないファイル 1件"_s << true;
    }
    void lineSaysWhatTheBatchHolds()
    {
        QFETCH(QString, names);
        QFETCH(QString, shown);
        QFETCH(bool, red);
        write(u"taken.txt"_s);
        confirm({u"a.txt"_s, u"b.txt"_s, u"c.txt"_s}, names);
        QLabel* label = precheckLabel();
        QCOMPARE(plain(label->text()), shown);
        QCOMPARE(!problemColour(label->text()).isEmpty(), red);
        QCOMPARE(label->toolTip().isEmpty(), shown.isEmpty());
    }

    void tooltipNamesTheEntries()
    {
        write(u"taken.txt"_s);
        confirm({u"a.txt"_s, u"b.txt"_s, u"c.txt"_s}, u"x\nx\ntaken"_s);
        const QString tip = plain(precheckLabel()->toolTip());
        QVERIFY2(tip.contains(u"2行目  b.txt → x.txt"_s), qPrintable(tip));
        QVERIFY2(tip.contains(u"3行目  c.txt → taken.txt"_s), qPrintable(tip));
    }

    void lineIsRebuiltAtEveryPress()
    {
        confirm({u"a.txt"_s, u"b.txt"_s}, u"x\nx"_s);
        QCOMPARE(plain(precheckLabel()->text()), u"重複 1件"_s);
        pressRename(u"x\ny"_s);
        QCOMPARE(plain(precheckLabel()->text()), QString());
        QCOMPARE(precheckLabel()->toolTip(), QString());
    }

    // The check informs; the run still meets the taken name and asks for another.
    void problemsDoNotChangeTheRun()
    {
        write(u"taken.txt"_s);
        confirm({u"a.txt"_s}, u"taken"_s);
        QCOMPARE(plain(precheckLabel()->text()), u"既存 1件"_s);
        m_dialogs.answers = {u"free.txt"_s};
        QTest::mouseClick(test::control<QPushButton>(confirmWindow(), u"Command1"_s),
                          Qt::LeftButton);
        QTRY_VERIFY(!m_form->isRenaming());
        QCOMPARE(m_dialogs.prompts.size(), 1);
        QCOMPARE(files(), (QStringList{u"free.txt"_s, u"taken.txt"_s}));
    }

    void lineStaysLeftOfTheButtonsInTheirRow_data()
    {
        QTest::addColumn<QSize>("size");
        QTest::newRow("as opened") << QSize();
        QTest::newRow("wider") << QSize(1100, 600);
        QTest::newRow("narrower") << QSize(520, 400);
    }
    void lineStaysLeftOfTheButtonsInTheirRow()
    {
        QFETCH(QSize, size);
        confirm({u"a.txt"_s, u"b.txt"_s}, u"x\nx"_s);
        ui::Form2* form2 = confirmWindow();
        if (size.isValid()) {
            form2->resize(size);
            QTRY_COMPARE(form2->size(), size);
        }
        const QRect label = precheckLabel()->geometry();
        const QRect button = test::control<QPushButton>(form2, u"Command1"_s)->geometry();
        QCOMPARE(label.top(), button.top());
        QVERIFY(label.left() >= 0);
        QVERIFY(label.width() > 0);
        QVERIFY2(
            label.right() < button.left(),
            qPrintable(u"label ends at %1, button at %2"_s.arg(label.right()).arg(button.left())));
    }

    // The run's progress row was drawn over the check line, so a screen reader and a screenshot
    // met both. The run here waits at its first question (the journal cannot be written) until
    // the row is up, and is then declined, which leaves 確認 open.
    void checkLineGivesWayToTheRunProgressRow()
    {
        const QString journals = m_files.filePath(u"journal"_s);
        test::writeFile(journals, "not a folder");
        m_form->setJournalFolder(journals);
        confirm({u"a.txt"_s}, u"z"_s);
        ui::Form2* form2 = confirmWindow();
        QWidget* row = test::control(form2, u"RunProgress"_s);
        QLabel* line = precheckLabel();
        QVERIFY(line->isVisible());
        QVERIFY(!row->isVisible());
        std::optional<bool> lineWithRow;
        m_dialogs.whileAsked = [&] {
            if (QTest::qWaitFor([row] { return row->isVisible(); }))
                lineWithRow = line->isVisible();
        };
        QTest::mouseClick(test::control<QPushButton>(form2, u"Command1"_s), Qt::LeftButton);
        QTRY_VERIFY(!m_form->isRenaming());

        QCOMPARE(m_dialogs.questions.size(), 1);
        QCOMPARE(lineWithRow, std::optional<bool>(false));
        QCOMPARE(confirmWindow(), form2);
        QVERIFY(line->isVisible());
        QVERIFY(!row->isVisible());
        QCOMPARE(files(), (QStringList{u"a.txt"_s, u"journal"_s}));
    }

    // Red on a dark window must not turn into dark red on near black.
    void problemsStayReadableOnADarkPalette()
    {
        confirm({u"a.txt"_s, u"b.txt"_s}, u"x\nx"_s);
        ui::Form2* form2 = confirmWindow();
        for (const QColor window : {QColor(Qt::white), QColor(0x20, 0x20, 0x20)}) {
            QPalette palette = form2->palette();
            palette.setColor(QPalette::Window, window);
            form2->setPalette(palette);
            const QColor red(problemColour(precheckLabel()->text()));
            QVERIFY(red.isValid());
            QVERIFY2(qAbs(red.lightness() - window.lightness()) >= 90,
                     qPrintable(red.name() + u" on "_s + window.name()));
            QVERIFY(red.red() > 2 * red.green());
        }
    }

    // Nothing in the listing marked the entries a finding was about.
    void listingMarksEveryEntryWithAFinding_data()
    {
        QTest::addColumn<QString>("names");
        QTest::addColumn<QString>("expected");
        QTest::newRow("clean batch is not marked") << u"x\ny\nz"_s << QString();
        QTest::newRow("a duplicate names the line it repeats")
            << u"x\ny\nx"_s << u"2 ← 重複 (1行目と同じ) red"_s;
        QTest::newRow("two lines naming one existing file")
            << u"taken\ntaken\nz"_s << u"0 ← 既存 red; 1 ← 重複 (1行目と同じ)・既存 red"_s;
        QTest::newRow("unchanged entries keep the ordinary colour")
            << u"a\ny\nz"_s << u"0 ← 変更なし"_s;
        QTest::newRow("a missing folder and a file without a line")
            << u"nosuch/x\ny"_s << u"0 ← フォルダがありません red; 2 ← 名前のないファイル red"_s;
    }
    void listingMarksEveryEntryWithAFinding()
    {
        QFETCH(QString, names);
        QFETCH(QString, expected);
        write(u"taken.txt"_s);
        confirm({u"a.txt"_s, u"b.txt"_s, u"c.txt"_s}, names);
        QCOMPARE(marks(), expected);
        // The marks stay out of the text the run is shown with.
        QCOMPARE(listing()->lineCount(), 3 * rename::kListingLinesPerEntry + 1);
        QVERIFY(!listing()->toPlainText().contains(u'←'));
    }

    // A file deleted after the drop and a line into a folder that does not exist went unnoticed
    // until the run failed on them.
    void faultsTheRunMeetsAreFoundBefore_data()
    {
        QTest::addColumn<QString>("names");
        QTest::addColumn<bool>("deleteFirst");
        QTest::addColumn<QString>("shown");
        QTest::newRow("a file deleted after the drop")
            << u"x\ny"_s << true << u"見つかりません 1件"_s;
        QTest::newRow("a folder that does not exist")
            << u"sub/j\ny"_s << false << u"フォルダがありません 1件"_s;
        QTest::newRow("a folder that is a file")
            << u"taken.txt/j\ny"_s << false << u"フォルダがありません 1件"_s;
    }
    void faultsTheRunMeetsAreFoundBefore()
    {
        QFETCH(QString, names);
        QFETCH(bool, deleteFirst);
        QFETCH(QString, shown);
        write(u"taken.txt"_s);
        test::dropFiles(editor()->viewport(), {write(u"a.txt"_s), write(u"b.txt"_s)});
        if (deleteFirst)
            QVERIFY(QFile::remove(m_files.filePath(u"a.txt"_s)));
        pressRename(names);
        QCOMPARE(plain(precheckLabel()->text()), shown);
        QCOMPARE(marks(), u"0 ← "_s + shown.section(u' ', 0, 0) + u" red"_s);
    }

    void problemsAreReachedFromTheKeyboardAndTheLine_data()
    {
        QTest::addColumn<bool>("click");
        QTest::addColumn<bool>("back");
        QTest::addColumn<QList<qsizetype>>("visits");
        QTest::newRow("F8 goes forward and round")
            << false << false << QList<qsizetype>{2, 3, 4, 2};
        QTest::newRow("Shift+F8 goes back and round")
            << false << true << QList<qsizetype>{4, 3, 2, 4};
        QTest::newRow("a click on the line goes forward")
            << true << false << QList<qsizetype>{2, 3, 4, 2};
        QTest::newRow("Shift+click goes back") << true << true << QList<qsizetype>{4, 3, 2, 4};
    }
    void problemsAreReachedFromTheKeyboardAndTheLine()
    {
        QFETCH(bool, click);
        QFETCH(bool, back);
        QFETCH(QList<qsizetype>, visits);
        write(u"taken.txt"_s);
        // Unchanged, fine, missing folder, duplicate, existing: the first two are no problem.
        confirm({u"a.txt"_s, u"b.txt"_s, u"c.txt"_s, u"d.txt"_s, u"e.txt"_s},
                u"a\nx\nnosuch/y\nx\ntaken"_s);
        const Qt::KeyboardModifiers modifiers = back ? Qt::ShiftModifier : Qt::NoModifier;
        for (const qsizetype expected : visits) {
            if (click)
                QTest::mouseClick(precheckLabel(), Qt::LeftButton, modifiers);
            else
                QTest::keyClick(listing(), Qt::Key_F8, modifiers);
            QCOMPARE(selectedEntry(), expected);
        }
    }

    // With several kinds the line was cut mid-word without "…", hiding 変更なし, and its details
    // reached a screen reader as HTML.
    void checkLineNeverCutsAWord_data()
    {
        QTest::addColumn<QSize>("size");
        QTest::newRow("as opened") << QSize();
        QTest::newRow("narrower") << QSize(700, 400);
    }
    void checkLineNeverCutsAWord()
    {
        QFETCH(QSize, size);
        write(u"taken.txt"_s);
        confirm(
            {u"a.txt"_s, u"b.txt"_s, u"c.txt"_s, u"d.txt"_s, u"e.txt"_s, u"f.txt"_s, u"g.txt"_s},
            u"a\nx\nx\ntaken\nnosuch/q\n"_s + QString(300, u'x'));
        ui::Form2* form2 = confirmWindow();
        if (size.isValid()) {
            form2->resize(size);
            QTRY_COMPARE(form2->size(), size);
        }
        const QString full =
            u"名前 6行 ≠ ファイル 7件・名前のないファイル 1件・フォルダがありません 1件・"
            u"重複 1件・既存 1件・長すぎる名前 1件・変更なし 1件"_s;
        QLabel* label = precheckLabel();
        const QString shown = plain(label->text());
        // Whole problems up to "…", then always the unchanged count.
        QVERIFY2(shown.endsWith(u"…・変更なし 1件"_s), qPrintable(shown));
        const QString problems = shown.chopped(u"…・変更なし 1件"_s.size());
        QVERIFY2(problems.isEmpty() || (problems.endsWith(u'・') && full.startsWith(problems)),
                 qPrintable(shown));
        QVERIFY(label->fontMetrics().horizontalAdvance(shown) <= label->contentsRect().width());
        QVERIFY(plain(label->toolTip()).startsWith(full + u'\n'));
        QAccessibleInterface* accessible = QAccessible::queryAccessibleInterface(label);
        QCOMPARE(accessible->text(QAccessible::Name), full);
        const QString description = accessible->text(QAccessible::Description);
        QVERIFY2(description.startsWith(full + u'\n')
                     && description.contains(u"3行目  c.txt → x.txt"_s)
                     && !description.contains(u'<'),
                 qPrintable(description));
    }

    void listingMarksFollowThePalette()
    {
        confirm({u"a.txt"_s, u"b.txt"_s}, u"x\nx"_s);
        QPalette palette = confirmWindow()->palette();
        palette.setColor(QPalette::Base, QColor(0x20, 0x20, 0x20));
        confirmWindow()->setPalette(palette);
        const QColor red = listing()->lineColour(rename::kListingLinesPerEntry);
        QVERIFY2(red.lightness() > 128 && red.red() > 2 * red.green(), qPrintable(red.name()));
    }

    // A file name holding a line break pushed the marks of every later entry one line off, onto
    // the wrong entry, and F8 selected the lines of two entries.
    void marksStayOnTheirEntryAfterANameWithALineBreak()
    {
        confirm({u"a\nb.txt"_s, u"c.txt"_s, u"d.txt"_s}, u"x\ny\nx"_s);
        QCOMPARE(marks(), u"2 ← 重複 (1行目と同じ) red"_s);
        QTest::keyClick(listing(), Qt::Key_F8);
        QCOMPARE(selectedEntry(), 2);
        const QString d = QDir::toNativeSeparators(m_files.filePath(u"d.txt"_s));
        QCOMPARE(listing()->selectedText().section(u'\n', 0, 0), d);
        QVERIFY(listing()->toPlainText().contains(u"a\nb.txt\n ↓↓↓ \n"_s));
    }

    // A batch of 10,000 with five problems of three kinds scattered through it.
    void tenThousandEntriesWithFiveProblems()
    {
        constexpr int kEntries = 10'000;
        write(u"taken.txt"_s);
        QStringList paths;
        QStringList names;
        for (int i = 0; i < kEntries; ++i) {
            paths.append(write(u"f%1.txt"_s.arg(i)));
            names.append(u"n%1"_s.arg(i));
        }
        names[1234] = u"taken"_s;    // existing
        names[3456] = u"n17"_s;      // duplicate
        names[5678] = u"nosuch/x"_s; // missing folder
        names[7890] = u"n4242"_s;    // duplicate
        names[9999] = u"nosuch/y"_s; // missing folder
        test::dropFiles(editor()->viewport(), paths);
        pressRename(names.join(u'\n'));
        const QString full = u"フォルダがありません 2件・重複 2件・既存 1件"_s;
        QCOMPARE(plain(precheckLabel()->text()), full);
        QCOMPARE(precheckLabel()->accessibleName(), full);
        for (const qsizetype expected : {1234, 3456, 5678, 7890, 9999, 1234}) {
            QTest::keyClick(listing(), Qt::Key_F8);
            QCOMPARE(selectedEntry(), expected);
        }
        QCOMPARE(marks(), u"1234 ← 既存 red; 3456 ← 重複 (18行目と同じ) red; "
                          u"5678 ← フォルダがありません red; 7890 ← 重複 (4243行目と同じ) red; "
                          u"9999 ← フォルダがありません red"_s);
    }
};

QUILLET_WIDGET_TEST_MAIN(TestPrecheckWindow)
#include "tst_precheckwindow.moc"
