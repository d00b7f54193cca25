#include "batch/renamebatch.h"

#include <QTest>

using namespace quillet::batch;
using namespace Qt::Literals::StringLiterals;

namespace {
const QString kHint = u"ここにリネームしたいファイルをドラッグ＆ドロップして下さい。\r\n"_s;
}

class TestRenameBatch : public QObject {
    Q_OBJECT

private slots:
    // Two drops: the first into an empty batch, the second onto what the editor then holds
    // (the first result, possibly edited).
    void intake_data()
    {
        QTest::addColumn<QString>("editorBefore");
        QTest::addColumn<QStringList>("firstDrop");
        QTest::addColumn<QString>("editorBetween"); // null: keep the first result
        QTest::addColumn<QStringList>("secondDrop");
        QTest::addColumn<QStringList>("sources");
        QTest::addColumn<QString>("text");

        QTest::newRow("first drop replaces the hint and its line break")
            << kHint << QStringList{u"/d/a.avi"_s, u"/d/b.c.mkv"_s} << QString() << QStringList()
            << QStringList{u"/d/a.avi"_s, u"/d/b.c.mkv"_s} << u"a\r\nb.c"_s;
        QTest::newRow("typed text in an empty batch is replaced")
            << u"x"_s << QStringList{u"/d/a.avi"_s} << QString() << QStringList()
            << QStringList{u"/d/a.avi"_s} << u"a"_s;
        QTest::newRow("single character with breaks in an empty batch is replaced")
            << u"x\r\n\r\n"_s << QStringList{u"/d/a.avi"_s} << QString() << QStringList()
            << QStringList{u"/d/a.avi"_s} << u"a"_s;
        QTest::newRow("duplicate within one drop")
            << kHint << QStringList{u"/d/a.avi"_s, u"/d/a.avi"_s} << QString() << QStringList()
            << QStringList{u"/d/a.avi"_s} << u"a"_s;
        QTest::newRow("duplicate in a later drop adds nothing")
            << kHint << QStringList{u"/d/a.avi"_s} << QString() << QStringList{u"/d/a.avi"_s}
            << QStringList{u"/d/a.avi"_s} << u"a"_s;
        QTest::newRow("letter case makes two entries")
            << kHint << QStringList{u"/d/a.avi"_s, u"/d/A.avi"_s} << QString() << QStringList()
            << QStringList{u"/d/a.avi"_s, u"/d/A.avi"_s} << u"a\r\nA"_s;
        QTest::newRow("folder becomes an entry named up to its last dot")
            << kHint << QStringList{u"/d/season.1"_s} << QString() << QStringList()
            << QStringList{u"/d/season.1"_s} << u"season"_s;
        QTest::newRow("trailing empty lines vanish before new names")
            << kHint << QStringList{u"/d/a"_s, u"/d/b"_s, u"/d/c"_s} << u"A\r\nB\r\nC\r\n\r\n"_s
            << QStringList{u"/d/e.txt"_s, u"/d/f.txt"_s}
            << QStringList{u"/d/a"_s, u"/d/b"_s, u"/d/c"_s, u"/d/e.txt"_s, u"/d/f.txt"_s}
            << u"A\r\nB\r\nC\r\ne\r\nf"_s;
        QTest::newRow("all present: only the trailing breaks go")
            << kHint << QStringList{u"/d/a"_s} << u"edited\r\n\r\n"_s << QStringList{u"/d/a"_s}
            << QStringList{u"/d/a"_s} << u"edited"_s;
        QTest::newRow("line count differs: each name still on its own line")
            << kHint << QStringList{u"/d/a"_s, u"/d/b"_s} << u"joined"_s
            << QStringList{u"/d/c.txt"_s} << QStringList{u"/d/a"_s, u"/d/b"_s, u"/d/c.txt"_s}
            << u"joined\r\nc"_s;
        QTest::newRow("editor emptied by hand: a new name starts on its own line")
            << kHint << QStringList{u"/d/a"_s} << QString(u""_s) << QStringList{u"/d/c.txt"_s}
            << QStringList{u"/d/a"_s, u"/d/c.txt"_s} << u"\r\nc"_s;
        QTest::newRow("drop without files into an empty batch keeps the text")
            << kHint << QStringList() << QString() << QStringList() << QStringList()
            << u"ここにリネームしたいファイルをドラッグ＆ドロップして下さい。"_s;
    }
    void intake()
    {
        QFETCH(QString, editorBefore);
        QFETCH(QStringList, firstDrop);
        QFETCH(QString, editorBetween);
        QFETCH(QStringList, secondDrop);
        QFETCH(QStringList, sources);
        QFETCH(QString, text);

        RenameBatch batch(u'/');
        QString editor = batch.takeIn(editorBefore, firstDrop);
        if (!editorBetween.isNull())
            editor = editorBetween;
        if (!secondDrop.isEmpty() || !editorBetween.isNull())
            editor = batch.takeIn(editor, secondDrop);
        QCOMPARE(batch.sources(), sources);
        QCOMPARE(editor, text);
    }

    void restoredNamesAreTheBaseNames()
    {
        RenameBatch batch(u'\\');
        (void)batch.takeIn(QString(), {u"C:\\x\\a.b.avi"_s, u"C:\\x\\.hidden"_s, u"C:\\y.z\\n"_s});
        QCOMPARE(batch.restoredNames(), u"a.b\r\n\r\nn"_s);
        batch.clear();
        QVERIFY(batch.isEmpty());
        QCOMPARE(batch.restoredNames(), QString());
        // After clearing, an earlier path is new again.
        QCOMPARE(batch.takeIn(u"hint"_s, {u"C:\\x\\a.b.avi"_s}), u"a.b"_s);
    }

    // No 16-bit limit: a batch takes any number of entries, in order.
    void takesMoreThan32767Entries()
    {
        RenameBatch batch(u'/');
        QStringList paths;
        for (int i = 0; i < 40000; ++i)
            paths.append(u"/d/f%1.txt"_s.arg(i));
        const QString text = batch.takeIn(QString(), paths + paths.mid(0, 10));
        QCOMPARE(batch.count(), 40000);
        QCOMPARE(text.count(u"\r\n"_s), 39999);
        QVERIFY(text.endsWith(u"\r\nf39999"_s));
    }
};

QTEST_GUILESS_MAIN(TestRenameBatch)
#include "tst_renamebatch.moc"
