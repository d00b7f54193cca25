// The keyboard focus in a list or box is visible in light and dark palettes: a ring around the
// control, clearly apart from what is there without the focus.
#include "widgettest.h"

#include "ui/focusring.h"
#include "ui/form1.h"
#include "ui/form2.h"

#include <QDir>
#include <QImage>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QStyle>

#include <algorithm>
#include <cmath>

using namespace quillet;
using namespace Qt::Literals::StringLiterals;

namespace {

double luminance(QRgb rgb)
{
    const auto channel = [](int value) {
        const double v = value / 255.0;
        return v <= 0.03928 ? v / 12.92 : std::pow((v + 0.055) / 1.055, 2.4);
    };
    return 0.2126 * channel(qRed(rgb)) + 0.7152 * channel(qGreen(rgb))
           + 0.0722 * channel(qBlue(rgb));
}

double contrast(QRgb a, QRgb b)
{
    const double la = luminance(a);
    const double lb = luminance(b);
    return (std::max(la, lb) + 0.05) / (std::min(la, lb) + 0.05);
}

QPalette darkPalette()
{
    QPalette dark;
    dark.setColor(QPalette::Window, QColor(0x35, 0x35, 0x35));
    dark.setColor(QPalette::WindowText, QColor(0xee, 0xee, 0xee));
    dark.setColor(QPalette::Base, QColor(0x23, 0x23, 0x23));
    dark.setColor(QPalette::AlternateBase, QColor(0x2c, 0x2c, 0x2c));
    dark.setColor(QPalette::Text, QColor(0xee, 0xee, 0xee));
    dark.setColor(QPalette::Button, QColor(0x3c, 0x3c, 0x3c));
    dark.setColor(QPalette::ButtonText, QColor(0xee, 0xee, 0xee));
    dark.setColor(QPalette::Highlight, QColor(0x1e, 0x4f, 0x7a));
    dark.setColor(QPalette::HighlightedText, Qt::white);
    return dark;
}

} // namespace

class TestFocusRing : public QObject, private test::MainWindowFixture {
    Q_OBJECT

private:
    // The pixels of a band around the control, outside it, as the window shows them.
    static QImage bandAround(const QWidget* control)
    {
        QWidget* window = control->window();
        const QRect inWindow(control->mapTo(window, QPoint(0, 0)), control->size());
        QImage image = window->grab(inWindow.adjusted(-3, -3, 3, 3)).toImage();
        return image.convertToFormat(QImage::Format_RGB32);
    }
    // Pixels of the band, outside the control, that differ from `before` by a contrast of 3:1
    // or more: the least a focus indicator needs.
    static int contrastingPixels(const QImage& before, const QImage& after)
    {
        int count = 0;
        const QRect inside(3, 3, before.width() - 6, before.height() - 6);
        for (int y = 0; y < before.height(); ++y) {
            for (int x = 0; x < before.width(); ++x) {
                if (!inside.contains(x, y)
                    && contrast(before.pixel(x, y), after.pixel(x, y)) >= 3.0)
                    ++count;
            }
        }
        return count;
    }

private slots:
    void cleanup()
    {
        m_form.reset();
        QApplication::setPalette(QApplication::style()->standardPalette());
    }

    // Tabbing into an operation list changed the blue of its selected row by one shade; the
    // listing of "確認" and the read-only displays showed no focus at all.
    // A ring with no control to ring was left at the window's top left, a block of the
    // selection colour over the first option, whenever the focus started on an option.
    void ringWithoutAControlIsNotDrawn()
    {
        QWidget window;
        auto* option = new QRadioButton(u"イージーモード"_s, &window);
        auto* ring = new ui::FocusRing(&window);
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        option->setFocus();
        QCoreApplication::processEvents();
        QVERIFY(!ring->isVisible());
    }

    void focusedControlIsRinged_data()
    {
        QTest::addColumn<QString>("window");
        QTest::addColumn<QString>("name");
        QTest::addColumn<bool>("dark");
        const QList<std::pair<QString, QString>> controls = {
            {u"easy"_s, u"List6"_s},     {u"advanced"_s, u"List4"_s},
            {u"advanced"_s, u"List5"_s}, {u"advanced"_s, u"List3"_s},
            {u"easy"_s, u"Text10"_s},    {u"advanced"_s, u"Text12"_s},
            {u"easy"_s, u"Text1"_s},     {u"easy"_s, u"Text2"_s},
            {u"easy"_s, u"Text6"_s},     {u"confirmation"_s, u"Text1"_s},
        };
        for (const bool dark : {false, true}) {
            for (const auto& [window, name] : controls) {
                const QString row = window + u' ' + name + (dark ? u" dark"_s : u" light"_s);
                QTest::newRow(qPrintable(row)) << window << name << dark;
            }
        }
    }
    void focusedControlIsRinged()
    {
        QFETCH(QString, window);
        QFETCH(QString, name);
        QFETCH(bool, dark);
        if (dark)
            QApplication::setPalette(darkPalette());
        m_form = test::showMainWindow(m_dataDir.path(), m_dialogs);
        m_form->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(m_form.get()));
        m_form->takeInFiles({QDir::toNativeSeparators(m_dataDir.filePath(u"a.txt"_s))});
        const QWidget* owner = m_form.get();
        // The easy mode option takes the focus in every state of the window.
        QWidget* elsewhere = nullptr;
        for (QRadioButton* option : m_form->findChildren<QRadioButton*>(u"Option1"_s)) {
            if (option->property("index").toInt() == 0)
                elsewhere = option;
        }
        if (window == u"advanced"_s) {
            for (QRadioButton* option : m_form->findChildren<QRadioButton*>(u"Option1"_s)) {
                if (option->property("index").toInt() == 1)
                    QTest::mouseClick(option, Qt::LeftButton);
            }
        } else if (window == u"confirmation"_s) {
            QTest::mouseClick(child(u"Command1"_s), Qt::LeftButton);
            owner = confirmWindow();
            QVERIFY(owner);
            QVERIFY(QTest::qWaitForWindowActive(const_cast<QWidget*>(owner)));
            elsewhere = test::control(owner, u"Command1"_s);
        }
        QWidget* target = test::control(owner, name);
        QVERIFY(target->isVisible());
        elsewhere->setFocus(Qt::TabFocusReason);
        const QImage before = bandAround(target);
        target->setFocus(Qt::TabFocusReason);
        QCOMPARE(ui::FocusRing::ringedControl(QApplication::focusWidget()), target);
        const QImage after = bandAround(target);
        // At least a closed line of pixels around the control.
        const int perimeter = 2 * (target->width() + target->height());
        const int seen = contrastingPixels(before, after);
        QVERIFY2(seen >= perimeter, qPrintable(u"%1 of %2"_s.arg(seen).arg(perimeter)));
        // And it goes again with the focus.
        elsewhere->setFocus(Qt::TabFocusReason);
        QCOMPARE(contrastingPixels(before, bandAround(target)), 0);
    }
};

QUILLET_WIDGET_TEST_MAIN(TestFocusRing)
#include "tst_focusring.moc"
