// A long run through the windows: 20,000 files dropped and renamed. While the run goes on the
// windows repaint, 確認 shows how far it is, and 中止 (or Escape) stops it after the rename in
// progress; the end message counts what the disk shows, and the undo takes back exactly that.
#include "widgettest.h"

#include "journal/undoplan.h"
#include "ui/form1.h"
#include "ui/form2.h"

#include <QDir>
#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>
#include <QRegularExpression>
#include <QTemporaryDir>

#include <fcntl.h>
#include <unistd.h>

using namespace quillet;
using namespace Qt::Literals::StringLiterals;

namespace {

// Counts the paint events of a window and its controls.
class PaintCounter final : public QObject {
public:
    int paints = 0;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (event->type() == QEvent::Paint)
            ++paints;
        return QObject::eventFilter(watched, event);
    }
};

void countPaints(QWidget* window, PaintCounter& counter)
{
    window->installEventFilter(&counter);
    for (QWidget* child : window->findChildren<QWidget*>())
        child->installEventFilter(&counter);
}

} // namespace

class TestRenameProgress : public QObject, private test::MainWindowFixture {
    Q_OBJECT

private:
    QTemporaryDir m_files;
    QTemporaryDir m_journals;
    static constexpr int kFiles = 20'000;

    QStringList renamedOnDisk() const
    {
        return QDir(m_files.path()).entryList({u"n*"_s}, QDir::Files);
    }

private slots:
    void initTestCase()
    {
        QStringList paths;
        for (int i = 0; i < kFiles; ++i) {
            const QString path = m_files.filePath(u"f%1.txt"_s.arg(i, 5, 10, QLatin1Char('0')));
            const int fd = ::open(QFile::encodeName(path).constData(), O_WRONLY | O_CREAT, 0644);
            QVERIFY(fd >= 0);
            ::close(fd);
            paths.append(path);
        }
        m_form = test::showMainWindow(m_dataDir.path(), m_dialogs);
        m_form->setJournalFolder(m_journals.filePath(u"journal"_s));
        test::dropFiles(m_form->findChild<QWidget*>(u"Text1"_s)->findChild<QWidget*>(
                            u"qt_scrollarea_viewport"_s),
                        paths);
        QTRY_COMPARE_WITH_TIMEOUT(m_form->batch().count(), qsizetype(kFiles), 60000);
    }

    void stopEndsTheRunAndTheCountsMatchTheDisk()
    {
        QStringList names;
        for (int i = 0; i < kFiles; ++i)
            names.append(u"n%1"_s.arg(i, 5, 10, QLatin1Char('0')));
        setNames(names.join(u'\n'));
        QTest::mouseClick(child<QPushButton>(u"Command1"_s), Qt::LeftButton);
        // A batch this large is listed and checked on a thread; 確認 offers the run after that.
        ui::Form2* form2 = nullptr;
        QTRY_VERIFY_WITH_TIMEOUT((form2 = confirmWindow()) && !m_form->isListing(), 30000);
        QTRY_VERIFY(test::control<QPushButton>(form2, u"Command1"_s)->isEnabled());

        PaintCounter mainPaints;
        PaintCounter confirmPaints;
        countPaints(m_form.get(), mainPaints);
        countPaints(form2, confirmPaints);
        QTest::mouseClick(test::control<QPushButton>(form2, u"Command1"_s), Qt::LeftButton);
        QVERIFY(m_form->isRenaming());

        // The window answers while the run goes on: 確認 shows how far it is.
        auto* label = test::control<QLabel>(form2, u"RunProgressLabel"_s);
        static const QRegularExpression progress(u"^リネーム中 ([0-9,]+) / 20,000$"_s);
        QTRY_VERIFY_WITH_TIMEOUT(progress.match(label->text()).hasMatch()
                                     && progress.match(label->text()).captured(1) != u"0"_s,
                                 20000);
        QVERIFY(m_form->isRenaming());
        // Escape asks for the same stop as 中止.
        QKeyEvent escape(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier);
        QCoreApplication::sendEvent(form2, &escape);
        QTRY_VERIFY_WITH_TIMEOUT(!m_form->isRenaming(), 30000);
        QVERIFY(mainPaints.paints > 0);
        QVERIFY(confirmPaints.paints > 0);

        const qsizetype done = renamedOnDisk().size();
        QVERIFY2(done > 0 && done < kFiles, qPrintable(QString::number(done)));
        QCOMPARE(m_dialogs.messages.size(), 1);
        QCOMPARE(m_dialogs.messages.first(),
                 u"中止しました。%1件中%2件をリネームしました。%3件はリネームしませんでした。"_s
                     .arg(kFiles)
                     .arg(done)
                     .arg(kFiles - done));

        // The undo plan holds exactly what was done.
        const journal::LastRunUndo last = journal::planUndoOfLastRun(m_form->journalFolder());
        QVERIFY(last.plan);
        QCOMPARE(last.plan->steps.size(), done);
        QVERIFY(last.plan->problems.isEmpty());
    }
};

QUILLET_WIDGET_TEST_MAIN(TestRenameProgress)
#include "tst_renameprogress.moc"
