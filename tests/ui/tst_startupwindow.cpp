// Starting the main window: data files that are no regular files, the placement with the
// window's frame, Qt's own texts in Japanese, and the progress window over the main window.
#include "widgettest.h"

#include "ui/checksumprogresswindow.h"
#include "ui/form1.h"
#include "ui/userdialogs.h"
#include "ui/windowlayout.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QDir>
#include <QFile>
#include <QGuiApplication>
#include <QMenu>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScreen>
#include <QTemporaryDir>

#ifdef Q_OS_UNIX
#include <sys/stat.h>
#endif

using namespace quillet;
using namespace Qt::Literals::StringLiterals;

class TestStartupWindow : public QObject {
    Q_OBJECT

private:
    test::ScriptedDialogs m_dialogs;

    static QWidget* topLevel(const QString& name)
    {
        for (QWidget* widget : QApplication::topLevelWidgets()) {
            if (widget->objectName() == name && widget->isVisible())
                return widget;
        }
        return nullptr;
    }

private slots:
#ifdef Q_OS_UNIX
    // A pipe as AutoComplete.txt kept the window from ever appearing.
    void pipesAsDataFilesDoNotBlockTheStart()
    {
        QTemporaryDir data;
        for (const QString& name : {u"AutoComplete.txt"_s, u"CRC16STR.txt"_s, u"CodecInfo.txt"_s})
            QCOMPARE(::mkfifo(QFile::encodeName(data.filePath(name)).constData(), 0600), 0);
        QVERIFY(QFile::link(u"/dev/zero"_s, data.filePath(u"CRC32STR.txt"_s)));
        auto form = test::showMainWindow(data.path(), m_dialogs);
        QCOMPARE(form->findChild<QComboBox*>(u"Text10"_s)->count(), 0);
        QVERIFY(form->startupValues().crc16Template.isEmpty());
        QVERIFY(form->startupValues().crc32Template.isEmpty());
        QVERIFY(form->startupValues().codecTemplate.isEmpty());
        QVERIFY(m_dialogs.messages.isEmpty());
    }
#endif

    // The placement used the inner size: the window stood half a title bar too low.
    void placementCountsTheWindowFrame()
    {
        QTemporaryDir data;
        auto form = test::showMainWindow(data.path(), m_dialogs);
        const QRect area = QGuiApplication::primaryScreen()->availableGeometry();
        const auto expected = [&] {
            return ui::startupPosition(area.x() + area.width(), area.y() + area.height(),
                                       form->frameGeometry().size());
        };
        QTRY_COMPARE(form->frameGeometry().y(), expected().y());
        // The offscreen screen is narrower than the window, and that platform shifts a window
        // at a negative position by its frame; a real screen is wide enough.
        if (expected().x() >= 0)
            QCOMPARE(form->frameGeometry().x(), expected().x());
        if (form->frameGeometry().size() == form->size())
            QSKIP("this platform gives the window no frame; the X server run checks the frame");
    }

    // OK/Cancel and the editor's menu were English inside the Japanese interface.
    void qtTextsReadJapanese()
    {
        QVERIFY(ui::installQtJapanese());
        QDialogButtonBox buttons(QDialogButtonBox::Ok | QDialogButtonBox::Cancel);
        QCOMPARE(buttons.button(QDialogButtonBox::Ok)->text(), u"OK"_s);
        QCOMPARE(buttons.button(QDialogButtonBox::Cancel)->text(), u"キャンセル"_s);
        QPlainTextEdit editor;
        std::unique_ptr<QMenu> menu(editor.createStandardContextMenu());
        QStringList texts;
        for (const QAction* action : menu->actions())
            texts.append(action->text());
        QVERIFY2(texts.filter(u"元に戻す"_s).size() == 1, qPrintable(texts.join(u'|')));
        QVERIFY2(texts.filter(u"Undo"_s).isEmpty(), qPrintable(texts.join(u'|')));
    }

    // The progress window opened in a corner of the screen.
    void progressWindowStandsOverTheMainWindow()
    {
        QTemporaryDir data;
        auto form = test::showMainWindow(data.path(), m_dialogs);
        form->move(40, 30);
        QTRY_COMPARE(form->frameGeometry().topLeft(), QPoint(40, 30));
        ui::ChecksumProgressWindow progress(form.get());
        progress.begin(u"CRC32 計算中"_s);
        QString progressText = u"a.avi 0%"_s;
        progress.step(progressText);
        // A checksum that takes a while shows the window; a short one never does.
        QWidget* form3 = nullptr;
        QTRY_VERIFY((form3 = topLevel(u"Form3"_s)));
        // Twice the centre of each outer rectangle, so that odd sizes compare exactly.
        // Each block of the file processes the pending events, as this does.
        const auto offCentre = [&] {
            progress.step(progressText);
            const QRect a = form3->frameGeometry();
            const QRect b = form->frameGeometry();
            return (a.topLeft() * 2 + QPoint(a.width(), a.height()) - b.topLeft() * 2
                    - QPoint(b.width(), b.height()))
                .manhattanLength();
        };
        QTRY_VERIFY2(offCentre() <= 2, qPrintable(QDebug::toString(form3->frameGeometry())
                                                  + QDebug::toString(form->frameGeometry())));
        // The window grows with a long label and stays centred.
        const int width = form3->width();
        progressText = u"とても長いファイルの名前.avi 100%"_s;
        progress.step(progressText);
        QTRY_VERIFY(form3->width() > width);
        QTRY_VERIFY2(offCentre() <= 2, qPrintable(QDebug::toString(form3->frameGeometry())
                                                  + QDebug::toString(form->frameGeometry())));
        progress.end();
        QTRY_VERIFY(!topLevel(u"Form3"_s));
    }
};

QUILLET_WIDGET_TEST_MAIN(TestStartupWindow)
#include "tst_startupwindow.moc"
