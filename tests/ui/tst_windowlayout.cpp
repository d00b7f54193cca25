#include "ui/windowlayout.h"

#include <QTest>

using namespace quillet::ui;

class TestWindowLayout : public QObject {
    Q_OBJECT

private slots:
    void layoutRule_data()
    {
        QTest::addColumn<int>("width");
        QTest::addColumn<int>("height");
        QTest::addColumn<int>("editorWidth"); // -1: not applied
        QTest::addColumn<int>("editorHeight");
        QTest::addColumn<int>("sourceWidth");
        QTest::newRow("design size") << 12975 << 10905 << 12615 << 6135 << 10935;
        QTest::newRow("exact minimum") << 2040 << 4770 << 1680 << 0 << 0;
        QTest::newRow("too low: height and later skipped") << 12975 << 4769 << 12615 << -1 << -1;
        QTest::newRow("narrower than the source display") << 2039 << 9000 << 1679 << 4230 << -1;
        QTest::newRow("narrower than the editor: nothing") << 359 << 9000 << -1 << -1 << -1;
    }
    void layoutRule()
    {
        QFETCH(int, width);
        QFETCH(int, height);
        QFETCH(int, editorWidth);
        QFETCH(int, editorHeight);
        QFETCH(int, sourceWidth);
        const MainWindowLayout layout = mainWindowLayout(width, height);
        QCOMPARE(layout.editorWidth.value_or(-1), editorWidth);
        QCOMPARE(layout.editorHeight.value_or(-1), editorHeight);
        QCOMPARE(layout.sourceDisplayWidth.value_or(-1), sourceWidth);
    }

    void confirmWindow_data()
    {
        QTest::addColumn<int>("width");
        QTest::addColumn<int>("height");
        QTest::addColumn<bool>("applied");
        QTest::addColumn<QSize>("listing");
        QTest::addColumn<QPoint>("button");
        QTest::newRow("design size")
            << 13725 << 9480 << true << QSize(13575, 8295) << QPoint(7200, 8400);
        QTest::newRow("narrow: buttons may go left of the edge")
            << 3000 << 3000 << true << QSize(2850, 1815) << QPoint(-3525, 1920);
        QTest::newRow("too narrow for the listing") << 149 << 3000 << false << QSize() << QPoint();
        QTest::newRow("too low for the listing") << 3000 << 1184 << false << QSize() << QPoint();
    }
    void confirmWindow()
    {
        QFETCH(int, width);
        QFETCH(int, height);
        QFETCH(bool, applied);
        QFETCH(QSize, listing);
        QFETCH(QPoint, button);
        const auto layout = confirmWindowLayout(width, height);
        QCOMPARE(layout.has_value(), applied);
        if (applied) {
            QCOMPARE(layout->listingSize, listing);
            QCOMPARE(layout->confirmButton, button);
        }
    }

    void startupPlacement_data()
    {
        QTest::addColumn<int>("right");
        QTest::addColumn<int>("bottom");
        QTest::addColumn<QPoint>("position");
        QTest::newRow("taskbar at the bottom: centred above it")
            << 1920 << 1040 << QPoint(528, 157);
        // A taskbar at the top moves only the work area's top edge, which is not used.
        QTest::newRow("taskbar at the top: centred on the whole height")
            << 1920 << 1080 << QPoint(528, 177);
        QTest::newRow("failed query: centre on the origin") << 0 << 0 << QPoint(-432, -364);
    }
    void startupPlacement()
    {
        QFETCH(int, right);
        QFETCH(int, bottom);
        QFETCH(QPoint, position);
        QCOMPARE(startupPosition(right, bottom, QSize(864, 727)), position);
    }
};

QTEST_GUILESS_MAIN(TestWindowLayout)
#include "tst_windowlayout.moc"
