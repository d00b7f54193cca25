#include "rename/namecheck.h"

#include "batch/nativepath.h"

#include <QTest>

using namespace quillet::rename;
using namespace Qt::Literals::StringLiterals;

Q_DECLARE_METATYPE(NameProblem)

class TestNameCheck : public QObject {
    Q_OBJECT

private slots:
    void problems_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<NameProblem>("problem");
        QTest::newRow("plain") << u"ep05.mkv"_s << NameProblem::None;
        QTest::newRow("empty") << QString() << NameProblem::Empty;
        QTest::newRow("NUL inside") << u"ep\u0000 05.mkv"_s << NameProblem::InvalidCharacter;
        QTest::newRow("dot") << u"."_s << NameProblem::InvalidCharacter;
        QTest::newRow("dot dot") << u".."_s << NameProblem::InvalidCharacter;
        QTest::newRow("hidden file is a name") << u".mkv"_s << NameProblem::None;
        QTest::newRow("lone high surrogate")
            << QString(QChar(0xD83C)) + u"a"_s << NameProblem::InvalidCharacter;
        QTest::newRow("emoji is one character") << u"🎬.mkv"_s << NameProblem::None;
        // 85 kanji are 255 bytes in UTF-8, 86 are 258.
        QTest::newRow("255 bytes of japanese") << QString(85, u'動') << NameProblem::None;
        QTest::newRow("256-byte japanese name")
            << QString(85, u'動') + u"a"_s << NameProblem::TooLong;
        QTest::newRow("255 ascii") << QString(255, u'a') << NameProblem::None;
        QTest::newRow("escaped bytes count one each")
            << quillet::batch::pathFromNativeBytes(QByteArray(255, '\x93')) << NameProblem::None;
    }
    void problems()
    {
        QFETCH(QString, name);
        QFETCH(NameProblem, problem);
        QCOMPARE(checkFileName(name), problem);
        QCOMPARE(nameProblemReason(problem).isEmpty(), problem == NameProblem::None);
    }
};

QTEST_GUILESS_MAIN(TestNameCheck)
#include "tst_namecheck.moc"
