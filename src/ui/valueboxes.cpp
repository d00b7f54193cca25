#include "ui/valueboxes.h"

#include "memory/valuememory.h"

#include <QComboBox>
#include <QKeyEvent>
#include <QLineEdit>

namespace quillet::ui {
namespace {

// Changing a combo box's list may pick another item and overwrite the edit field; the user's
// text and selection are put back afterwards.
template <typename Change> void keepingEditText(QComboBox* box, int selection, Change change)
{
    const QString text = box->currentText();
    const int cursor = box->lineEdit() ? box->lineEdit()->cursorPosition() : 0;
    const QSignalBlocker blocker(box);
    change();
    box->setCurrentIndex(selection);
    box->setEditText(text);
    if (box->lineEdit())
        box->lineEdit()->setCursorPosition(cursor);
}

} // namespace

ValueBoxes::ValueBoxes(const Boxes& boxes, QObject* parent)
    : QObject(parent)
    , m_boxes(boxes)
{
    for (QComboBox* box : m_boxes)
        box->installEventFilter(this);
}

QStringList ValueBoxes::entries() const
{
    QStringList list;
    const QComboBox* first = m_boxes.front();
    list.reserve(first->count());
    for (int i = 0; i < first->count(); ++i)
        list.append(first->itemText(i));
    return list;
}

QStringList ValueBoxes::texts() const
{
    QStringList list;
    for (const QComboBox* box : m_boxes)
        list.append(box->currentText());
    return list;
}

void ValueBoxes::addToAll(const QStringList& values)
{
    if (values.isEmpty())
        return;
    for (QComboBox* box : m_boxes) {
        const int selection = box->currentIndex();
        keepingEditText(box, selection, [&] { box->addItems(values); });
    }
}

void ValueBoxes::RememberAllValues()
{
    addToAll(memory::valuesToRemember(entries(), texts()));
}

void ValueBoxes::ForgetSelectedValue(QComboBox* box)
{
    // The selection counts only while the edit field still shows the picked item.
    const int index = box->currentIndex();
    if (index < 0 || box->itemText(index) != box->currentText())
        return;
    for (QComboBox* each : m_boxes) {
        if (index >= each->count())
            continue;
        const int selection = each->currentIndex();
        const int kept = selection == index ? -1 : selection > index ? selection - 1 : selection;
        keepingEditText(each, kept, [&] { each->removeItem(index); });
    }
}

bool ValueBoxes::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::KeyPress
        && static_cast<QKeyEvent*>(event)->key() == Qt::Key_Delete)
        ForgetSelectedValue(static_cast<QComboBox*>(watched));
    // The key still reaches the edit field.
    return false;
}

} // namespace quillet::ui
