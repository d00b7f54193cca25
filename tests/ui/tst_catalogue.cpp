// Every control of the three windows: name, container, caption, tooltip, state, rectangle.
#include "widgettest.h"

#include "ui/form1.h"
#include "ui/form2.h"
#include "ui/form3.h"
#include "ui/japanesefont.h"
#include "ui/listingview.h"
#include "ui/twips.h"

#include <QAccessible>
#include <QComboBox>
#include <QFontDatabase>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QTemporaryDir>

using namespace quillet;
using namespace Qt::Literals::StringLiterals;

namespace {

QString captionOf(const QWidget* widget)
{
    for (const char* property : {"text", "title", "plainText", "currentText"}) {
        const QVariant value = widget->property(property);
        if (value.isValid())
            return value.toString();
    }
    return {};
}

QWidget* control(QWidget* window, const QString& name, int index)
{
    const QList<QWidget*> found = window->findChildren<QWidget*>(name);
    for (QWidget* widget : found) {
        if (index < 0 || widget->property("index").toInt() == index)
            return widget;
    }
    return nullptr;
}

} // namespace

class TestCatalogue : public QObject {
    Q_OBJECT

private:
    QTemporaryDir m_dir;
    test::ScriptedDialogs m_dialogs;
    std::unique_ptr<ui::Form1> m_form1;
    ui::Form2 m_form2;
    ui::Form3 m_form3;

    QWidget* window(const QString& name)
    {
        if (name == u"Form1")
            return m_form1.get();
        return name == u"Form2" ? static_cast<QWidget*>(&m_form2) : &m_form3;
    }

private slots:
    void initTestCase() { m_form1 = std::make_unique<ui::Form1>(m_dir.path() + u'/', m_dialogs); }

    void controls_data()
    {
        QTest::addColumn<QString>("form");
        QTest::addColumn<QString>("name");
        QTest::addColumn<int>("index");
        QTest::addColumn<QString>("container");
        QTest::addColumn<QString>("caption");
        QTest::addColumn<QString>("tooltip");
        QTest::addColumn<bool>("enabled");
        QTest::addColumn<bool>("hidden");
        QTest::addColumn<QRect>("rect"); // twips; Frame1 and Frame5 as laid out at start
        const auto row = [](const char* tag, const QString& form, const QString& name, int index,
                            const QString& container, const QString& caption,
                            const QString& tooltip, bool enabled, bool hidden, QRect rect) {
            QTest::newRow(tag) << form << name << index << container << caption << tooltip
                               << enabled << hidden << rect;
        };
        const QString f1 = u"Form1"_s;
        row("Frame5", f1, u"Frame5"_s, -1, f1, {}, {}, true, false, {120, 480, 11535, 2775});
        row("Option1(1)", f1, u"Option1"_s, 1, f1, u"アドバンスドモード"_s,
            u"より詳しく設定出来るモードです"_s, true, false, {2040, 120, 1695, 345});
        row("Option1(0)", f1, u"Option1"_s, 0, f1, u"イージーモード"_s, u"簡単設定モードです"_s,
            true, false, {240, 120, 1695, 345});
        row("Text7", f1, u"Text7"_s, -1, f1, {}, {}, true, false, {11400, 3480, 615, 270});
        row("Text6", f1, u"Text6"_s, -1, f1, {}, {}, true, false, {9120, 3480, 615, 270});
        row("Command5", f1, u"Command5"_s, -1, f1, u"元に戻す"_s, u"ファイルの追加直後に戻します"_s,
            true, false, {2640, 3360, 975, 375});
        row("List2", f1, u"List2"_s, -1, f1, {}, {}, true, true, {480, 7560, 10455, 1680});
        row("Command4", f1, u"Command4"_s, -1, f1, u"→"_s, u"進む"_s, false, false,
            {1440, 3360, 975, 375});
        row("Command3", f1, u"Command3"_s, -1, f1, u"←"_s, u"戻る"_s, false, false,
            {240, 3360, 975, 375});
        row("Command2", f1, u"Command2"_s, -1, f1, u"やり直す"_s, u"ファイル追加前に戻します"_s,
            true, false, {11880, 1680, 855, 735});
        row("Command1", f1, u"Command1"_s, -1, f1, u"リネーム開始"_s,
            u"テキスト通りにファイルのリネームを開始します(確認画面があります)"_s, false, false,
            {11880, 720, 855, 735});
        row("List1", f1, u"List1"_s, -1, f1, {}, {}, true, true, {480, 4560, 10455, 2760});
        row("Text2", f1, u"Text2"_s, -1, f1, {}, {}, true, false, {1800, 3840, 10935, 270});
        row("Frame1", f1, u"Frame1"_s, -1, f1, {}, {}, true, true, {120, 480, 11535, 2775});
        row("Text1", f1, u"Text1"_s, -1, f1,
            u"ここにリネームしたいファイルをドラッグ＆ドロップして下さい。\n"_s, {}, true, false,
            {120, 4200, 12615, 6135});
        row("Label8", f1, u"Label8"_s, -1, f1, u"後ろから"_s, {}, true, false,
            {10680, 3495, 660, 180});
        row("Label7", f1, u"Label7"_s, -1, f1, u"文字目"_s, {}, true, false,
            {9840, 3495, 540, 180});
        row("Label6", f1, u"Label6"_s, -1, f1, u"文字目"_s, {}, true, false,
            {12120, 3495, 540, 180});
        row("Label5", f1, u"Label5"_s, -1, f1, u"前から"_s, {}, true, false,
            {8520, 3495, 510, 180});
        row("Label1", f1, u"Label1"_s, -1, f1, u"リネーム元のファイル"_s, {}, true, false,
            {120, 3885, 1635, 180});
        const QString e = u"Frame5"_s;
        row("Text11", f1, u"Text11"_s, -1, e, {}, {}, true, false, {5520, 960, 2655, 360});
        row("Text10", f1, u"Text10"_s, -1, e, {}, {}, true, false, {5520, 360, 2655, 360});
        row("Command7", f1, u"Command7"_s, -1, e, u"実行"_s, u"設定内容を実行します"_s, true, false,
            {5040, 2280, 1335, 375});
        row("List6", f1, u"List6"_s, -1, e, {}, {}, true, false, {120, 240, 4695, 2400});
        row("Label12", f1, u"Label12"_s, -1, e, u"B="_s, {}, true, false, {5160, 1000, 300, 240});
        row("Label11", f1, u"Label11"_s, -1, e, u"A="_s, {}, true, false, {5160, 405, 300, 240});
        const QString a = u"Frame1"_s;
        row("Frame2", f1, u"Frame2"_s, -1, a, u"A位置"_s, {}, true, false, {120, 240, 3615, 2415});
        row("Frame3", f1, u"Frame3"_s, -1, a, u"B位置"_s, {}, true, false, {3960, 240, 3615, 2415});
        row("Frame4", f1, u"Frame4"_s, -1, a, u"処理"_s, {}, true, false, {7800, 240, 3615, 2415});
        const QString f2 = u"Frame2"_s;
        row("List4", f1, u"List4"_s, -1, f2, {}, {}, true, false, {120, 240, 3375, 1320});
        row("Label3", f1, u"Label3"_s, -1, f2, u"値A-1"_s, {}, true, false, {120, 1720, 480, 180});
        row("Text4", f1, u"Text4"_s, -1, f2, {}, {}, true, false, {600, 1680, 1455, 300});
        row("Label9", f1, u"Label9"_s, -1, f2, u"値A-2"_s, {}, true, false, {120, 2080, 480, 180});
        row("Text8", f1, u"Text8"_s, -1, f2, {}, {}, true, false, {600, 2040, 1455, 300});
        row("Frame6", f1, u"Frame6"_s, -1, f2, u"プラスする値"_s, {}, true, false,
            {2160, 1680, 1335, 615});
        row("Text12", f1, u"Text12"_s, -1, u"Frame6"_s, u"0"_s, {}, true, false,
            {120, 240, 1095, 270});
        const QString f3 = u"Frame3"_s;
        row("List5", f1, u"List5"_s, -1, f3, {}, {}, true, false, {120, 240, 3375, 1320});
        row("Label4", f1, u"Label4"_s, -1, f3, u"値B-1"_s, {}, true, false, {120, 1720, 480, 180});
        row("Text5", f1, u"Text5"_s, -1, f3, {}, {}, true, false, {600, 1680, 1455, 300});
        row("Label10", f1, u"Label10"_s, -1, f3, u"値B-2"_s, {}, true, false,
            {120, 2080, 480, 180});
        row("Text9", f1, u"Text9"_s, -1, f3, {}, {}, true, false, {600, 2040, 1455, 300});
        row("Frame7", f1, u"Frame7"_s, -1, f3, u"プラスする値"_s, {}, true, false,
            {2160, 1680, 1335, 615});
        row("Text13", f1, u"Text13"_s, -1, u"Frame7"_s, u"0"_s, {}, true, false,
            {120, 240, 1095, 270});
        const QString f4 = u"Frame4"_s;
        row("List3", f1, u"List3"_s, -1, f4, {}, {}, true, false, {120, 240, 3375, 1140});
        row("Label2", f1, u"Label2"_s, -1, f4, u"値C"_s, {}, true, false, {120, 1600, 300, 180});
        row("Text3", f1, u"Text3"_s, -1, f4, {}, {}, true, false, {480, 1560, 3015, 300});
        row("Command6", f1, u"Command6"_s, -1, f4, u"実行"_s, u"設定内容を実行します"_s, true,
            false, {2520, 1920, 975, 375});

        const QString w2 = u"Form2"_s;
        row("Form2 Command3", w2, u"Command3"_s, -1, w2, u"リネームコピーする"_s, {}, false, false,
            {11520, 8400, 1935, 495});
        row("Form2 Command2", w2, u"Command2"_s, -1, w2, u"リネーム移動する"_s, {}, false, false,
            {9360, 8400, 1935, 495});
        row("Form2 Command1", w2, u"Command1"_s, -1, w2, u"リネームする"_s,
            u"リネームを開始します"_s, true, false, {7200, 8400, 1935, 495});
        row("Form2 Text1", w2, u"Text1"_s, -1, w2, {}, {}, true, false, {0, 0, 13575, 8295});
    }
    void controls()
    {
        QFETCH(QString, form);
        QFETCH(QString, name);
        QFETCH(int, index);
        QFETCH(QString, container);
        QFETCH(QString, caption);
        QFETCH(QString, tooltip);
        QFETCH(bool, enabled);
        QFETCH(bool, hidden);
        QFETCH(QRect, rect);
        QWidget* widget = control(window(form), name, index);
        QVERIFY(widget);
        QCOMPARE(widget->parentWidget()->objectName(), container);
        QCOMPARE(captionOf(widget), caption);
        QCOMPARE(widget->toolTip(), tooltip);
        QCOMPARE(widget->isEnabled(), enabled);
        QCOMPARE(widget->isHidden(), hidden);
        const QRect expected = ui::twipsRect(rect.x(), rect.y(), rect.width(), rect.height());
        // The name editor and the source display follow the window's size.
        if (form == u"Form1" && (name == u"Text1" || name == u"Text2"))
            QCOMPARE(widget->pos(), expected.topLeft());
        else
            QCOMPARE(widget->geometry(), expected);
    }

    void windows()
    {
        QCOMPARE(m_form1->windowTitle(), u"Quillet"_s);
        QCOMPARE(m_form1->size(), QSize(857, 693));
        QCOMPARE(m_form2.windowTitle(), u"確認"_s);
        QCOMPARE(m_form2.size(), QSize(907, 598));
        QVERIFY(m_form3.windowTitle().isEmpty());
        QCOMPARE(m_form3.size(), QSize(206, 59));
        QVERIFY(m_form3.windowFlags() & Qt::WindowStaysOnTopHint);
        QVERIFY(m_form3.findChild<QWidget*>(u"Label1"_s));
        // The listing is a text to read and copy, never to edit, and says so to a screen reader.
        auto* listing = m_form2.findChild<ui::ListingView*>(u"Text1"_s);
        QVERIFY(listing);
        QVERIFY(QAccessible::queryAccessibleInterface(listing)->state().readOnly);
    }

    void listItems()
    {
        auto* list6 = m_form1->findChild<QListWidget*>(u"List6"_s);
        QCOMPARE(list6->count(), 36);
        QAccessibleInterface* listReader = QAccessible::queryAccessibleInterface(list6);
        for (int i : {9, 16, 26, 32}) {
            QVERIFY(list6->item(i)->text().isEmpty());
            // Read aloud as a separator, not as an empty item.
            QCOMPARE(listReader->child(i)->text(QAccessible::Name), u"区切り"_s);
        }
        QCOMPARE(listReader->child(0)->text(QAccessible::Name), u"先頭に「[DVD] 」を付ける"_s);
        QCOMPARE(list6->item(0)->text(), u"先頭に「[DVD] 」を付ける"_s);
        QCOMPARE(list6->item(35)->text(), u"真空波動研のコーデック情報を書き換える"_s);
        QCOMPARE(m_form1->findChild<QListWidget*>(u"List3"_s)->count(), 4);
        QCOMPARE(m_form1->findChild<QListWidget*>(u"List4"_s)->item(4)->text(),
                 u"後ろから探して、文字「値A-1」のある場所"_s);
        QCOMPARE(m_form1->findChild<QListWidget*>(u"List5"_s)->item(0)->text(), u"最後方"_s);
        for (const QString& name : {u"List3"_s, u"List4"_s, u"List5"_s, u"List6"_s})
            QCOMPARE(m_form1->findChild<QListWidget*>(name)->currentRow(), 0);
    }

    void valueBoxesStartEmptyAndEditable()
    {
        const auto boxes = m_form1->findChildren<QComboBox*>();
        QCOMPARE(boxes.size(), 7);
        for (const QComboBox* box : boxes) {
            QVERIFY(box->isEditable());
            QCOMPARE(box->count(), 0);
            QVERIFY(box->currentText().isEmpty());
        }
    }

    // Where the design font is missing, a Japanese gothic is used, never a random fallback.
    void editorUsesAJapaneseGothic()
    {
        const QFontInfo info(m_form1->findChild<QWidget*>(u"Text1"_s)->font());
        const QStringList families = ui::japaneseFontFamilies();
        QCOMPARE(families.first(), u"ＭＳ Ｐゴシック"_s);
        if (QFontDatabase::families(QFontDatabase::Japanese).isEmpty())
            QSKIP("no Japanese font installed");
        QVERIFY2(families.contains(info.family()), qPrintable(info.family()));
        QVERIFY(!info.family().contains(u"Mincho"_s));
        QCOMPARE(info.pointSizeF(), 14.25);
    }

    void displaysAreReadOnly()
    {
        for (const QString& name : {u"Text2"_s, u"Text6"_s, u"Text7"_s})
            QVERIFY(m_form1->findChild<QLineEdit*>(name)->isReadOnly());
    }
};

QUILLET_WIDGET_TEST_MAIN(TestCatalogue)
#include "tst_catalogue.moc"
