#pragma once

// Helpers shared by the window tests.
#include "testfiles.h"
#include "ui/form1.h"
#include "ui/form2.h"
#include "ui/userdialogs.h"

#include <QApplication>
#include <QCoreApplication>
#include <QDropEvent>
#include <QMimeData>
#include <QPlainTextEdit>
#include <QStandardPaths>
#include <QStringList>
#include <QTemporaryDir>
#include <QTest>
#include <QUrl>

#include <deque>
#include <functional>
#include <memory>

// Window tests run on the offscreen platform unless QT_QPA_PLATFORM names another one.
#define QUILLET_WIDGET_TEST_MAIN(TestObject)                                                       \
    int main(int argc, char** argv)                                                                \
    {                                                                                              \
        if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))                                        \
            qputenv("QT_QPA_PLATFORM", "offscreen");                                               \
        QApplication app(argc, argv);                                                              \
        /* Rename journals go to a test folder, never to the user's. */                            \
        QStandardPaths::setTestModeEnabled(true);                                                  \
        TestObject test;                                                                           \
        return QTest::qExec(&test, argc, argv);                                                    \
    }

namespace quillet::test {

// Answers the program's message and input boxes from a script and keeps what they showed.
class ScriptedDialogs final : public ui::UserDialogs {
public:
    QStringList messages;
    QStringList details; // one per message, empty when it had none
    QStringList prompts;
    std::deque<QString> answers;
    QStringList questions;
    bool answerYes = false;
    // Failures come with the box that keeps the rest for the end; they are kept among the
    // messages. The script ticks the box at the failure numbered tickAtFailure (from 1; 0 never).
    qsizetype failures = 0;
    qsizetype tickAtFailure = 0;
    // Called while a question waits for its answer, as the user looks at the windows meanwhile.
    std::function<void()> whileAsked;

    void showMessage(const QString& text, const QString& detail = {}) override
    {
        messages.append(text);
        details.append(detail);
    }
    bool showFailure(const QString& text) override
    {
        showMessage(text);
        return ++failures == tickAtFailure;
    }
    QString askText(const QString& prompt, const QString& title, const QString& preset) override
    {
        prompts.append(title + u'|' + prompt + u'|' + preset);
        if (answers.empty())
            return {};
        QString answer = answers.front();
        answers.pop_front();
        return answer;
    }
    bool askYesNo(const QString& question) override
    {
        questions.append(question);
        if (whileAsked)
            whileAsked();
        return answerYes;
    }
};

// A control of a window by its name; a test without it stops at once.
template <typename T = QWidget> T* control(const QWidget* window, const QString& name)
{
    T* widget = window->findChild<T*>(name);
    if (!widget)
        qFatal("no control %s", qPrintable(name));
    return widget;
}

// What the tests of the main window share: its data folder, the scripted dialogs, the window
// and its controls by name.
class MainWindowFixture {
protected:
    QTemporaryDir m_dataDir;
    ScriptedDialogs m_dialogs;
    std::unique_ptr<ui::Form1> m_form;

    template <typename T = QWidget> T* child(const QString& name) const
    {
        return control<T>(m_form.get(), name);
    }
    // The confirmation window while it is shown; null otherwise.
    static ui::Form2* confirmWindow()
    {
        for (QWidget* widget : QApplication::topLevelWidgets()) {
            if (auto* form2 = qobject_cast<ui::Form2*>(widget); form2 && form2->isVisible())
                return form2;
        }
        return nullptr;
    }
    // Replaces the whole text of the name editor, as a paste over a selection does.
    void setNames(const QString& text) const
    {
        auto* editor = child<QPlainTextEdit>(QStringLiteral("Text1"));
        editor->selectAll();
        editor->insertPlainText(text);
    }
};

// A main window on its data folder, shown and ready for input.
inline std::unique_ptr<ui::Form1> showMainWindow(const QString& dataFolder,
                                                 ScriptedDialogs& dialogs)
{
    auto window = std::make_unique<ui::Form1>(dataFolder + u'/', dialogs);
    window->show();
    if (!QTest::qWaitForWindowExposed(window.get()))
        qFatal("the main window was not shown");
    return window;
}

// Drops data onto a widget the way the desktop does: a drag enters, then the drop. True when
// the widget accepted both.
inline bool dropMimeData(QWidget* target, const QMimeData& mime)
{
    const QPointF pos(10, 10);
    QDragEnterEvent enter(pos.toPoint(), Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(target, &enter);
    QDropEvent drop(pos, Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(target, &drop);
    return enter.isAccepted() && drop.isAccepted();
}

// Drops local files, as a file manager does.
inline bool dropFiles(QWidget* target, const QStringList& paths)
{
    QList<QUrl> urls;
    for (const QString& path : paths)
        urls.append(QUrl::fromLocalFile(path));
    QMimeData mime;
    mime.setUrls(urls);
    return dropMimeData(target, mime);
}

// Drops a text/uri-list exactly as given: paths whose bytes are not UTF-8 arrive this way.
inline bool dropUriList(QWidget* target, const QByteArray& uriList)
{
    QMimeData mime;
    mime.setData(QStringLiteral("text/uri-list"), uriList);
    return dropMimeData(target, mime);
}

} // namespace quillet::test
