#include "ui/valueboxes.h"

#include "memory/valuememory.h"

#include <QAbstractItemView>
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

bool isListStep(const QKeyEvent* key)
{
    if (key->modifiers() & (Qt::AltModifier | Qt::ControlModifier))
        return false; // Alt+Down opens the list; Ctrl goes to the edit field
    switch (key->key()) {
    case Qt::Key_Up:
    case Qt::Key_Down:
    case Qt::Key_PageUp:
    case Qt::Key_PageDown: return true;
    default: return false;
    }
}

bool isEnter(const QKeyEvent* key)
{
    return key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter
           || key->key() == Qt::Key_Select;
}

} // namespace

ValueBoxes::ValueBoxes(const Boxes& boxes, QObject* parent)
    : QObject(parent)
    , m_boxes(boxes)
{
    m_picked.fill(-1);
    for (int i = 0; i < int(m_boxes.size()); ++i) {
        QComboBox* box = m_boxes[i];
        // The drop-down list gets this filter after the combo box's own, so it sees each key
        // and click before the combo box acts on it.
        m_lists[i] = box->view();
        m_listViewports[i] = box->view()->viewport();
        for (QObject* watched : {static_cast<QObject*>(box), static_cast<QObject*>(m_lists[i]),
                                 static_cast<QObject*>(m_listViewports[i])})
            watched->installEventFilter(this);
        connect(box, &QComboBox::activated, this, [this, i](int index) { onActivated(i, index); });
        if (box->lineEdit()) {
            connect(box->lineEdit(), &QLineEdit::textEdited, this, [this, i] { m_picked[i] = -1; });
        }
    }
}

int ValueBoxes::boxIndex(const QObject* object) const
{
    for (int i = 0; i < int(m_boxes.size()); ++i) {
        if (object == m_boxes[i] || object == m_lists[i] || object == m_listViewports[i])
            return i;
    }
    return -1;
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

int ValueBoxes::pickedIndex(const QComboBox* box) const
{
    const int i = boxIndex(box);
    if (i < 0)
        return -1;
    const int index = m_picked[i];
    if (index < 0 || index >= box->count() || box->itemText(index) != box->currentText())
        return -1;
    return index;
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
    removeFromAll(pickedIndex(box));
}

void ValueBoxes::removeFromAll(int index)
{
    if (index < 0)
        return;
    for (int i = 0; i < int(m_boxes.size()); ++i) {
        QComboBox* each = m_boxes[i];
        if (index >= each->count())
            continue;
        const int selection = each->currentIndex();
        const int kept = selection == index ? -1 : selection > index ? selection - 1 : selection;
        keepingEditText(each, kept, [&] { each->removeItem(index); });
        // A pick of a later entry follows it to its new index; the removed one is gone.
        int& picked = m_picked[i];
        picked = picked == index ? -1 : picked > index ? picked - 1 : picked;
    }
}

void ValueBoxes::onActivated(int box, int index)
{
    // An activation without a pick in progress comes from the combo box matching a typed
    // text on leaving the box or on Enter: the text stays a typed one.
    if (m_picking == box)
        m_picked[box] = index;
    m_picking = -1;
}

bool ValueBoxes::eventFilter(QObject* watched, QEvent* event)
{
    const int i = boxIndex(watched);
    if (i < 0)
        return false;
    QComboBox* box = m_boxes[i];
    const bool inList = watched != box;
    switch (event->type()) {
    case QEvent::ShortcutOverride:
        // The open list takes Enter before it becomes a key press.
        if (inList && isEnter(static_cast<QKeyEvent*>(event)))
            m_picking = i;
        break;
    case QEvent::KeyPress: {
        const auto* key = static_cast<QKeyEvent*>(event);
        if (key->key() == Qt::Key_Delete) {
            m_picking = -1;
            // While the list is open, the entry it highlights is the one the user is picking.
            if (inList)
                removeFromAll(m_lists[i]->currentIndex().row());
            else
                ForgetSelectedValue(box);
        } else if (inList ? isEnter(key) : isListStep(key)) {
            m_picking = i;
        } else if (!inList) {
            m_picking = -1;
        }
        break;
    }
    case QEvent::MouseButtonRelease:
        if (inList)
            m_picking = i;
        break;
    case QEvent::Wheel:
        if (!inList)
            m_picking = i;
        break;
    case QEvent::FocusOut:
        // Leaving the box makes it match a typed text against the entries: no pick.
        if (!inList)
            m_picking = -1;
        break;
    default: break;
    }
    // The key still reaches the edit field.
    return false;
}

} // namespace quillet::ui
