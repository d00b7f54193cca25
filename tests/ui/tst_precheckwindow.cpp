// The pre-check line of the confirmation window, on files in a temporary folder: what it says
// for a batch, where it sits, and that the run goes on as before.
#include "widgettest.h"

#include "ui/form1.h"
#include "ui/form2.h"

#include <QDir>
#include <QFile>
#include <QLabel>
#include <QPalette>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTextDocument>

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
    void pressRename(const QString& text)
    {
        setNames(text);
        QTest::mouseClick(child(u"Command1"_s), Qt::LeftButton);
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
            << u"x\ny"_s << u"名前 2行 ≠ ファイル 3件・空の名前 1件"_s << true;
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
};

QUILLET_WIDGET_TEST_MAIN(TestPrecheckWindow)
#include "tst_precheckwindow.moc"
