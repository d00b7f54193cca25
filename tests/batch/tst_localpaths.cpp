#include "batch/localpaths.h"
#include "batch/nativepath.h"

#include <QMimeData>
#include <QTest>

using namespace quillet::batch;
using namespace Qt::Literals::StringLiterals;

class TestLocalPaths : public QObject {
    Q_OBJECT

private slots:
    // A file manager hands files over as a text/uri-list; the bytes of each path must arrive.
    void uriListKeepsTheBytes_data()
    {
        QTest::addColumn<QByteArray>("uriList");
        QTest::addColumn<QList<QByteArray>>("paths");
        QTest::newRow("shift-jis name") << QByteArray("file:///tmp/d/%93%AE%89%E6.mp4\r\n")
                                        << QList<QByteArray>{"/tmp/d/\x93\xAE\x89\xE6.mp4"};
        QTest::newRow("utf-8 name and a space") << QByteArray("file:///tmp/%E5%8B%95%20a.mkv\r\n")
                                                << QList<QByteArray>{"/tmp/\xE5\x8B\x95 a.mkv"};
        QTest::newRow("folder with a trailing slash")
            << QByteArray("file:///tmp/photos/\r\n") << QList<QByteArray>{"/tmp/photos"};
        QTest::newRow("percent sign and hash in the name")
            << QByteArray("file:///tmp/100%25%20%231.txt\r\n")
            << QList<QByteArray>{"/tmp/100% #1.txt"};
        QTest::newRow("remote and local mixed")
            << QByteArray("https://example.invalid/a.txt\r\nfile:///tmp/b.txt\r\n")
            << QList<QByteArray>{"/tmp/b.txt"};
    }
    void uriListKeepsTheBytes()
    {
        QFETCH(QByteArray, uriList);
        QFETCH(QList<QByteArray>, paths);
        QMimeData data;
        data.setData(u"text/uri-list"_s, uriList);
        const QStringList taken = localPathsOf(data.urls());
        QList<QByteArray> bytes;
        for (const QString& path : taken)
            bytes.append(nativeBytesFromPath(path));
        QCOMPARE(bytes, paths);
    }
};

QTEST_GUILESS_MAIN(TestLocalPaths)
#include "tst_localpaths.moc"
