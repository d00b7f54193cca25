// The listing of 確認 as a reader meets it: the text a copy and a screen reader get, the keys
// and the mouse, and the batch listed through the real window on files in a temporary folder.
#include "widgettest.h"

#include "batch/nativepath.h"
#include "rename/targets.h"
#include "ui/listingview.h"

#include <QAccessible>
#include <QClipboard>
#include <QScrollBar>

#include <fcntl.h>
#include <unistd.h>

using namespace quillet;
using namespace Qt::Literals::StringLiterals;

namespace {

// 動画.mp4 in Shift-JIS.
const QByteArray kShiftJisName = "\x93\xAE\x89\xE6.mp4";

struct Entries {
    QStringList sources;
    QStringList targets;
};

// `count` sources in /d, the first ones named by `names`, renamed to n<i>.
Entries entriesOf(qsizetype count, const QStringList& names)
{
    Entries entries;
    QStringList lines;
    for (qsizetype i = 0; i < count; ++i) {
        entries.sources.append(u"/d/"_s + (i < names.size() ? names.at(i) : u"f%1.txt"_s.arg(i)));
        lines.append(u"n%1"_s.arg(i));
    }
    entries.targets = rename::BuildTargetList(entries.sources, lines.join(u'\n'), u'/');
    return entries;
}

// The listing text as it was always shown and copied: its CR LF each one line break.
QString listedText(const QStringList& sources, const QStringList& targets, QChar separator)
{
    return rename::FormatConfirmationListing(sources, targets, separator)
        .replace(u"\r\n"_s, u"\n"_s);
}

// What select all and copy put on the clipboard, and what a screen reader reads.
struct Read {
    QString copied;
    QString spoken;
    QString value;
};

Read readListing(ui::ListingView* view)
{
    const QString untouched = u"(nothing copied)"_s;
    QGuiApplication::clipboard()->setText(untouched);
    QTest::keyClick(view, Qt::Key_A, Qt::ControlModifier);
    QTest::keyClick(view, Qt::Key_C, Qt::ControlModifier);
    Read read;
    read.copied = QGuiApplication::clipboard()->text();
    // An empty listing selects nothing, and a copy of nothing leaves the clipboard alone.
    if (read.copied == untouched)
        read.copied.clear();
    QAccessibleInterface* accessible = QAccessible::queryAccessibleInterface(view);
    QAccessibleTextInterface* text = accessible->textInterface();
    read.spoken = text ? text->text(0, text->characterCount()) : u"(no text interface)"_s;
    read.value = accessible->text(QAccessible::Value);
    return read;
}

} // namespace

class TestListingView : public QObject, private test::MainWindowFixture {
    Q_OBJECT

private:
    QTemporaryDir m_files;

    ui::ListingView* shownListing(ui::Form2& form, const Entries& entries)
    {
        form.setListing(std::make_shared<const rename::ConfirmationListing>(entries.sources,
                                                                            entries.targets, u'/'));
        form.show();
        if (!QTest::qWaitForWindowExposed(&form))
            qFatal("確認 was not shown");
        return test::control<ui::ListingView>(&form, u"Text1"_s);
    }
    // A file by its exact bytes in the temporary folder; its URL, percent-encoded.
    QByteArray touch(const QByteArray& name)
    {
        const QByteArray path = QFile::encodeName(m_files.path()) + '/' + name;
        const int fd = ::open(path.constData(), O_WRONLY | O_CREAT, 0644);
        if (fd < 0)
            qFatal("cannot create %s", path.constData());
        ::close(fd);
        return QUrl::fromLocalFile(m_files.path()).toEncoded() + '/'
               + name.toPercentEncoding("", "/");
    }

private slots:
    void cleanup() { m_form.reset(); }

    void copyAndScreenReaderGetTheListing_data()
    {
        QTest::addColumn<qsizetype>("count");
        QTest::addColumn<QStringList>("names");
        const QString shiftJis = batch::pathFromNativeBytes(kShiftJisName);
        QTest::newRow("no entries") << qsizetype(0) << QStringList();
        QTest::newRow("one entry") << qsizetype(1) << QStringList();
        QTest::newRow("three entries, Shift-JIS and a line break")
            << qsizetype(3) << QStringList{shiftJis, u"a\nb.txt"_s};
        QTest::newRow("ten thousand entries, every kind of line break")
            << qsizetype(10'000)
            << QStringList{u"c\rd.txt"_s, shiftJis, u"e\u2028f.txt"_s, u"g\u2029h"_s,
                           u"\ni\r.txt"_s};
    }
    void copyAndScreenReaderGetTheListing()
    {
        QFETCH(qsizetype, count);
        QFETCH(QStringList, names);
        const Entries entries = entriesOf(count, names);
        ui::Form2 form;
        ui::ListingView* view = shownListing(form, entries);
        const QString expected = listedText(entries.sources, entries.targets, u'/');
        const Read read = readListing(view);
        QCOMPARE(read.copied, expected);
        QCOMPARE(read.spoken, expected);
        QCOMPARE(read.value, expected);
        QCOMPARE(view->toPlainText(), expected);
    }

    // The accessibility bridge reads the texts of every TextUpdated event as those of a
    // QAccessibleTextUpdateEvent: a plain event of that type crashed the program under a screen
    // reader when 確認 showed its listing.
    void listingChangeIsATextUpdateTheBridgeCanRead()
    {
        static int updates = 0;
        static int plain = 0;
        updates = plain = 0;
        const QAccessible::UpdateHandler previous =
            QAccessible::installUpdateHandler([](QAccessibleEvent* event) {
                if (event->type() != QAccessible::TextUpdated)
                    return;
                ++updates;
                if (!dynamic_cast<QAccessibleTextUpdateEvent*>(event))
                    ++plain;
            });
        // The bridge comes up once it has reached the accessibility bus, when there is one.
        const bool active = QTest::qWaitFor([] { return QAccessible::isActive(); }, 3000);
        if (active) {
            ui::Form2 form;
            shownListing(form, entriesOf(3, {}));
        }
        QAccessible::installUpdateHandler(previous);
        if (!active)
            QSKIP("no accessibility bridge here (the X11 run has one)");
        QVERIFY(updates > 0);
        QCOMPARE(plain, 0);
    }

    // Through the window: dropped files, a Shift-JIS and a line-breaking name among them.
    void windowListsWhatItWillRename_data()
    {
        QTest::addColumn<int>("count");
        QTest::newRow("one file") << 1;
        QTest::newRow("three files") << 3;
        QTest::newRow("ten thousand files, listed on a thread") << 10'000;
    }
    void windowListsWhatItWillRename()
    {
        QFETCH(int, count);
        const QList<QByteArray> special{kShiftJisName, "line\nbreak.txt"};
        QByteArray uriList;
        QStringList names;
        for (int i = 0; i < count; ++i) {
            uriList +=
                touch(i < special.size() ? special.at(i) : "f" + QByteArray::number(i)) + "\r\n";
            names.append(u"n%1"_s.arg(i));
        }
        m_form = test::showMainWindow(m_dataDir.path(), m_dialogs);
        QVERIFY(test::dropUriList(child<QPlainTextEdit>(u"Text1"_s)->viewport(), uriList));
        setNames(names.join(u'\n'));
        QTest::mouseClick(child(u"Command1"_s), Qt::LeftButton);
        QTRY_VERIFY(!m_form->isListing());
        const QStringList sources = m_form->batch().sources();
        const QChar separator = m_form->batch().separator();
        const QString expected = listedText(
            sources, rename::BuildTargetList(sources, m_form->names(), separator), separator);
        QVERIFY(expected.contains(u"動画.mp4"_s));
        const Read read = readListing(test::control<ui::ListingView>(confirmWindow(), u"Text1"_s));
        QCOMPARE(read.copied, expected);
        QCOMPARE(read.spoken, expected);
    }

    // A drag from one place to another selects the text between them, wherever the view is
    // scrolled to.
    void dragSelectsTheTextBetween_data()
    {
        QTest::addColumn<int>("down");
        QTest::addColumn<int>("right");
        QTest::newRow("from the start") << 0 << 0;
        QTest::newRow("scrolled down") << 9 << 0;
        QTest::newRow("scrolled right") << 0 << 30;
    }
    void dragSelectsTheTextBetween()
    {
        QFETCH(int, down);
        QFETCH(int, right);
        const Entries entries = entriesOf(40, {u"a-rather-long-file-name-to-scroll-along.txt"_s});
        ui::Form2 form;
        ui::ListingView* view = shownListing(form, entries);
        view->verticalScrollBar()->setValue(down);
        QTRY_VERIFY(view->horizontalScrollBar()->maximum() >= right);
        view->horizontalScrollBar()->setValue(right);
        const rename::ListingPosition from{down + 0, 8};
        const rename::ListingPosition to{down + 2, 5};
        QTest::mousePress(view->viewport(), Qt::LeftButton, {}, view->cursorRect(from).center());
        QTest::mouseMove(view->viewport(), view->cursorRect(to).center());
        QTest::mouseRelease(view->viewport(), Qt::LeftButton, {}, view->cursorRect(to).center());
        const QString text = view->toPlainText();
        const qsizetype start = view->listing().offsetOf(from);
        QCOMPARE(view->selectedText(), text.mid(start, view->listing().offsetOf(to) - start));
    }

    void keysScrollAsInATextBox_data()
    {
        QTest::addColumn<QList<int>>("keys"); // Qt::Key, with Qt::ControlModifier or'ed in
        QTest::addColumn<QString>("first");   // "page" counts in view heights, "last" the end
        const int control = int(Qt::ControlModifier);
        QTest::newRow("down twice") << QList<int>{Qt::Key_Down, Qt::Key_Down} << u"2"_s;
        QTest::newRow("a page down") << QList<int>{Qt::Key_PageDown} << u"page"_s;
        QTest::newRow("to the end") << QList<int>{control | Qt::Key_End} << u"last"_s;
        QTest::newRow("to the end and back to the start")
            << QList<int>{control | Qt::Key_End, control | Qt::Key_Home} << u"0"_s;
        QTest::newRow("up at the start stays") << QList<int>{Qt::Key_Up} << u"0"_s;
    }
    void keysScrollAsInATextBox()
    {
        QFETCH(QList<int>, keys);
        QFETCH(QString, first);
        ui::Form2 form;
        ui::ListingView* view = shownListing(form, entriesOf(500, {}));
        for (const int key : keys) {
            QTest::keyClick(view, Qt::Key(key & ~int(Qt::KeyboardModifierMask)),
                            Qt::KeyboardModifiers(key & int(Qt::KeyboardModifierMask)));
        }
        const int page = view->verticalScrollBar()->pageStep();
        QVERIFY(page > 3);
        if (first == u"page")
            QCOMPARE(view->firstVisibleLine(), page);
        else if (first == u"last")
            QCOMPARE(view->firstVisibleLine() + page, view->lineCount());
        else
            QCOMPARE(view->firstVisibleLine(), first.toInt());
    }
};

QUILLET_WIDGET_TEST_MAIN(TestListingView)
#include "tst_listingview.moc"
