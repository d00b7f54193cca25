// The program's real message boxes, answered by a click as the user would.
#include "widgettest.h"

#include "ui/userdialogs.h"

#include <QAbstractButton>
#include <QCheckBox>
#include <QMessageBox>
#include <QTimer>

#include <functional>
#include <optional>

using namespace quillet;
using namespace Qt::Literals::StringLiterals;

namespace {

// Waits for the message box the code under test opens and hands it to `answer`, which must
// close it.
void whenBoxOpens(const std::function<void(QMessageBox*)>& answer)
{
    auto* poll = new QTimer;
    QObject::connect(poll, &QTimer::timeout, poll, [poll, answer] {
        if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
            poll->stop();
            poll->deleteLater();
            answer(box);
        }
    });
    poll->start(10);
}

} // namespace

class TestUserDialogs : public QObject {
    Q_OBJECT

private slots:
    // The box of a failure looks like every message of the program, and its check box, clear
    // at first, says whether the user wants the rest at the end.
    void failureBoxOffersTheRestAtTheEnd_data()
    {
        QTest::addColumn<bool>("tick");
        QTest::newRow("left clear") << false;
        QTest::newRow("ticked") << true;
    }
    void failureBoxOffersTheRestAtTheEnd()
    {
        QFETCH(bool, tick);
        ui::QtUserDialogs dialogs;
        QString title;
        QString text;
        QString boxText;
        std::optional<bool> clearAtFirst;
        QMessageBox::Icon icon = QMessageBox::Warning;
        QMessageBox::StandardButtons buttons;
        whenBoxOpens([&](QMessageBox* box) {
            title = box->windowTitle();
            text = box->text();
            icon = box->icon();
            buttons = box->standardButtons();
            if (QCheckBox* rest = box->checkBox()) {
                boxText = rest->text();
                clearAtFirst = !rest->isChecked();
                if (tick)
                    QTest::mouseClick(rest, Qt::LeftButton);
            }
            QTest::mouseClick(box->button(QMessageBox::Ok), Qt::LeftButton);
        });
        const bool atEnd = dialogs.showFailure(u"a.txt\r\n\r\nのリネームに失敗しました。"_s);

        QCOMPARE(atEnd, tick);
        QCOMPARE(title, u"Quillet"_s);
        QCOMPARE(text, u"a.txt\n\nのリネームに失敗しました。"_s);
        QCOMPARE(icon, QMessageBox::NoIcon);
        QCOMPARE(buttons, QMessageBox::StandardButtons(QMessageBox::Ok));
        QCOMPARE(boxText, u"残りの失敗は最後にまとめて表示する"_s);
        QCOMPARE(clearAtFirst, std::optional<bool>(true));
    }
};

QUILLET_WIDGET_TEST_MAIN(TestUserDialogs)
#include "tst_userdialogs.moc"
