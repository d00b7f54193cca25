// The listing of 確認 read from the entries: its text is the one the batch was always listed
// with, and every place in it maps to its offset and back.
#include "rename/confirmationlisting.h"
#include "rename/precheck.h"

#include "batch/nativepath.h"
#include "rename/targets.h"

#include <QTest>

using namespace quillet;
using namespace quillet::rename;
using namespace Qt::Literals::StringLiterals;

namespace {

// テスト.txt in Shift-JIS: bytes that are not UTF-8, kept escaped in the path.
QString shiftJisName()
{
    return batch::pathFromNativeBytes("\x83\x65\x83\x58\x83\x67.txt");
}

// Sources in /d named by `names`, padded with f<i>.txt; targets n<i> with the source's extension.
struct Batch {
    QStringList sources;
    QStringList targets;
};

Batch batchOf(qsizetype count, const QStringList& names)
{
    Batch batch;
    QStringList lines;
    for (qsizetype i = 0; i < count; ++i) {
        batch.sources.append(u"/d/"_s + (i < names.size() ? names.at(i) : u"f%1.txt"_s.arg(i)));
        lines.append(u"n%1"_s.arg(i));
    }
    batch.targets = BuildTargetList(batch.sources, lines.join(u"\r\n"_s), u'/');
    return batch;
}

// The text the listing was shown and copied with: each CR LF of the listing one line break.
QString listedText(const Batch& batch)
{
    return FormatConfirmationListing(batch.sources, batch.targets, u'/')
        .replace(u"\r\n"_s, u"\n"_s);
}

} // namespace

class TestConfirmationListing : public QObject {
    Q_OBJECT

private slots:
    void textIsTheListing_data()
    {
        QTest::addColumn<qsizetype>("count");
        QTest::addColumn<QStringList>("names");
        QTest::newRow("no entries") << qsizetype(0) << QStringList();
        QTest::newRow("one entry") << qsizetype(1) << QStringList();
        QTest::newRow("three entries, one Shift-JIS")
            << qsizetype(3) << QStringList{u"a.txt"_s, shiftJisName()};
        // A name may hold anything but "/" and NUL on POSIX: each kind of line break once.
        QTest::newRow("names that break lines")
            << qsizetype(5)
            << QStringList{u"a\nb.txt"_s, u"c\rd.txt"_s, u"e\u2028f.txt"_s, u"\ng\r"_s,
                           u"tab\there.txt"_s};
        QTest::newRow("ten thousand entries")
            << qsizetype(10'000) << QStringList{shiftJisName(), u"x\ny.txt"_s};
    }
    void textIsTheListing()
    {
        QFETCH(qsizetype, count);
        QFETCH(QStringList, names);
        const Batch batch = batchOf(count, names);
        const ConfirmationListing listing(batch.sources, batch.targets, u'/');
        const QString expected = listedText(batch);
        QCOMPARE(listing.text(), expected);
        QCOMPARE(listing.textLength(), expected.size());
        QCOMPARE(listing.lineCount(), kListingLinesPerEntry * count + 1);
        QCOMPARE(listing.entryCount(), count);
        // The horizontal range is taken from the longest lines: the longest is among them.
        qsizetype longest = 0;
        for (const QString& line : expected.split(u'\n'))
            longest = qMax(longest, line.size());
        qsizetype longestKept = 0;
        for (const qsizetype line : listing.longestLines())
            longestKept = qMax(longestKept, listing.lineLength(line));
        QCOMPARE(longestKept, longest);
        QVERIFY(listing.longestLines().size() <= ConfirmationListing::kLongestLines);
        if (count > 0 && names.contains(shiftJisName()))
            QVERIFY(expected.contains(u"テスト.txt"_s));
    }

    // Offsets are what a screen reader speaks in; a place one off reads the wrong letters.
    void everyOffsetMapsToItsPlaceAndBack_data()
    {
        QTest::addColumn<QStringList>("names");
        QTest::newRow("plain names") << QStringList{u"a.txt"_s, u"bb.txt"_s, u"c"_s};
        QTest::newRow("line breaks inside names")
            << QStringList{u"a\nb.txt"_s, u"\r"_s, u"e\u2029f.txt"_s};
        QTest::newRow("empty and surrogate pair names") << QStringList{u"𠮷.txt"_s, u".x"_s};
    }
    void everyOffsetMapsToItsPlaceAndBack()
    {
        QFETCH(QStringList, names);
        const Batch batch = batchOf(names.size(), names);
        const ConfirmationListing listing(batch.sources, batch.targets, u'/');
        const QString text = listing.text();
        for (qsizetype offset = 0; offset <= text.size(); ++offset) {
            const ListingPosition at = listing.positionAt(offset);
            QCOMPARE(listing.offsetOf(at), offset);
            QVERIFY(at.column <= listing.lineLength(at.line));
            for (const qsizetype length : {qsizetype(0), qsizetype(1), qsizetype(7)}) {
                const qsizetype end = qMin(offset + length, text.size());
                QCOMPARE(listing.text(at, listing.positionAt(end)), text.mid(offset, end - offset));
            }
        }
    }

    void placesOutsideTheTextAreClamped_data()
    {
        QTest::addColumn<qsizetype>("line");
        QTest::addColumn<qsizetype>("column");
        QTest::addColumn<qsizetype>("offset");
        // One entry "/d/ab.txt" (9), " ↓↓↓ " (5), "/d/n0.txt" (9): lines start at 0, 10, 16, 26.
        QTest::newRow("before the start") << qsizetype(-3) << qsizetype(4) << qsizetype(0);
        QTest::newRow("past a line's end") << qsizetype(1) << qsizetype(99) << qsizetype(15);
        QTest::newRow("a negative column") << qsizetype(2) << qsizetype(-1) << qsizetype(16);
        QTest::newRow("past the last line") << qsizetype(40) << qsizetype(0) << qsizetype(27);
    }
    void placesOutsideTheTextAreClamped()
    {
        QFETCH(qsizetype, line);
        QFETCH(qsizetype, column);
        QFETCH(qsizetype, offset);
        const Batch batch = batchOf(1, {u"ab.txt"_s});
        const ConfirmationListing listing(batch.sources, batch.targets, u'/');
        QCOMPARE(listing.offsetOf({line, column}), offset);
        QCOMPARE(listing.text({line, column}, listing.end()), listing.text().mid(offset));
    }

    // A file past the last line is listed without a target: the folder and the extension alone
    // ("/d/.txt") read as a hidden file it would become.
    void fileWithoutALineShowsNoTarget()
    {
        const QStringList sources{u"/d/a.txt"_s, u"/d/b.txt"_s};
        const QStringList targets = BuildTargetList(sources, u"x"_s, u'/');
        const ConfirmationListing listing(sources, targets, u'/', namedLineCount(u"x"_s, 2));
        QCOMPARE(listing.line(2), u"/d/x.txt"_s);
        QCOMPARE(listing.line(6), ConfirmationListing::kNoLineText.toString());
    }
};

QTEST_GUILESS_MAIN(TestConfirmationListing)
#include "tst_confirmationlisting.moc"
