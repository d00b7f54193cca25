#include "batch/editortext.h"

#include <QTest>

using namespace quillet::batch;
using namespace Qt::Literals::StringLiterals;

class TestEditorText : public QObject {
    Q_OBJECT

private slots:
    void roundTrip_data()
    {
        QTest::addColumn<QString>("names");
        QTest::addColumn<QString>("editor");
        QTest::newRow("empty") << QString() << QString();
        QTest::newRow("lines become paragraphs") << u"a\r\nb\r\n"_s << u"a\u2029b\u2029"_s;
        QTest::newRow("lone LF is shown, not a new line") << u"a\nb"_s << u"a\u240Ab"_s;
        QTest::newRow("lone CR is shown, not a new line") << u"a\rb"_s << u"a\u240Db"_s;
        QTest::newRow("CR CR LF") << u"a\r\r\nb"_s << u"a\u240D\u2029b"_s;
        QTest::newRow("LF CR LF") << u"a\n\r\nb"_s << u"a\u240A\u2029b"_s;
        QTest::newRow("no-break space and line separator pass")
            << u"a\u00A0b\u2028c"_s << u"a\u00A0b\u2028c"_s;
        QTest::newRow("surrogate pair passes") << u"😀\r\nx"_s << u"😀\u2029x"_s;
    }
    void roundTrip()
    {
        QFETCH(QString, names);
        QFETCH(QString, editor);
        QCOMPARE(toEditorText(names), editor);
        QCOMPARE(fromEditorText(editor), names);
    }
};

QTEST_GUILESS_MAIN(TestEditorText)
#include "tst_editortext.moc"
