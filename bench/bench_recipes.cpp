// The name editor's context menu with a thousand saved recipes against the same menu with none:
// the recipes file is read and its submenu filled each time the menu opens.
#include "recipe/recipebook.h"
#include "silentdialogs.h"
#include "ui/form1.h"

#include <QApplication>
#include <QContextMenuEvent>
#include <QMenu>
#include <QPlainTextEdit>
#include <QTemporaryDir>

#include "benchmain.h"

using namespace quillet;
using namespace Qt::Literals::StringLiterals;

namespace {

// Four easy steps and an advanced one, as a weekly recipe has: a few hundred bytes each.
QList<recipe::Recipe> recipes(int count)
{
    transform::AdvancedEditRequest edit;
    edit.valueC = u"【週刊】"_s;
    QList<recipe::Recipe> list;
    for (int i = 0; i < count; ++i)
        list.append({u"週刊 %1"_s.arg(i),
                     {recipe::EasyStep{27, {}, {}}, recipe::EasyStep{17, {}, {}},
                      recipe::EasyStep{31, {}, {}}, recipe::EasyStep{8, u"番組 "_s, {}},
                      recipe::AdvancedStep{edit}},
                     QDateTime::currentDateTimeUtc(),
                     false});
    return list;
}

void BM_EditorMenu(benchmark::State& state)
{
    QTemporaryDir data;
    const QString file = data.filePath(u"recipes.json"_s);
    if (recipe::saveRecipes(file, recipes(int(state.range(0)))))
        state.SkipWithError("cannot write the recipes");
    state.counters["file_bytes"] = double(QFileInfo(file).size());
    bench::SilentDialogs dialogs;
    ui::Form1 window(data.path() + u'/', dialogs);
    window.setRecipesFile(file);
    window.show();
    auto* editor = window.findChild<QPlainTextEdit*>(u"Text1"_s);
    for (auto _ : state) {
        QContextMenuEvent event(QContextMenuEvent::Mouse, QPoint(5, 5),
                                editor->viewport()->mapToGlobal(QPoint(5, 5)));
        QCoreApplication::sendEvent(editor->viewport(), &event);
        auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
        if (!menu) {
            state.SkipWithError("no menu");
            break;
        }
        menu->close();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }
}

} // namespace

BENCHMARK(BM_EditorMenu)->Arg(0)->Arg(1000)->Unit(benchmark::kMillisecond)->UseRealTime();

QUILLET_BENCHMARK_MAIN(QApplication)
