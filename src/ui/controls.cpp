#include "ui/controls.h"

#include "ui/captionbutton.h"
#include "ui/twips.h"

#include <QComboBox>
#include <QEvent>
#include <QGroupBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>

namespace quillet::ui {
namespace {

template <typename Widget> Widget* place(Widget* widget, QStringView name, QRect twips)
{
    widget->setObjectName(name.toString());
    widget->setGeometry(twipsRect(twips.x(), twips.y(), twips.width(), twips.height()));
    return widget;
}

// Screen readers read the caption as the control's name and the tooltip as its description.
void describe(QWidget* widget, const QString& name, const QString& tooltip = QString())
{
    widget->setAccessibleName(name);
    if (!tooltip.isEmpty())
        widget->setAccessibleDescription(tooltip);
}

class EnterClicksButton final : public QObject {
public:
    EnterClicksButton(QWidget* source, QAbstractButton* button)
        : QObject(source)
        , m_button(button)
    {
    }

protected:
    bool eventFilter(QObject*, QEvent* event) override
    {
        if (event->type() != QEvent::KeyPress)
            return false;
        const int key = static_cast<QKeyEvent*>(event)->key();
        if (key != Qt::Key_Return && key != Qt::Key_Enter)
            return false;
        m_button->click();
        return true;
    }

private:
    QAbstractButton* m_button;
};

} // namespace

QPushButton* makeButton(QWidget* parent, QStringView name, const QString& caption,
                        const QString& tooltip, QRect twips)
{
    auto* button = place(new CaptionButton(caption, parent), name, twips);
    button->setToolTip(tooltip);
    describe(button, caption, tooltip);
    return button;
}

QRadioButton* makeOption(QWidget* parent, QStringView name, const QString& caption,
                         const QString& tooltip, QRect twips)
{
    auto* option = place(new QRadioButton(caption, parent), name, twips);
    option->setToolTip(tooltip);
    describe(option, caption, tooltip);
    return option;
}

QLabel* makeLabel(QWidget* parent, QStringView name, const QString& caption, QRect twips)
{
    QLabel* label = place(new QLabel(caption, parent), name, twips);
    describe(label, caption);
    return label;
}

void labelFor(QLabel* label, QWidget* box)
{
    label->setBuddy(box);
    describe(box, label->text());
}

void clickOnEnter(QWidget* source, QAbstractButton* button)
{
    source->installEventFilter(new EnterClicksButton(source, button));
}

QGroupBox* makeFrame(QWidget* parent, QStringView name, const QString& caption, QRect twips)
{
    QGroupBox* frame = place(new QGroupBox(caption, parent), name, twips);
    if (!caption.isEmpty())
        describe(frame, caption);
    return frame;
}

QLineEdit* makeTextBox(QWidget* parent, QStringView name, const QString& text, QRect twips)
{
    return place(new QLineEdit(text, parent), name, twips);
}

QLineEdit* makeDisplayBox(QWidget* parent, QStringView name, QRect twips)
{
    QLineEdit* box = makeTextBox(parent, name, QString(), twips);
    box->setReadOnly(true);
    QPalette palette = box->palette();
    palette.setColor(QPalette::Base, palette.color(QPalette::Button));
    box->setPalette(palette);
    return box;
}

QComboBox* makeValueBox(QWidget* parent, QStringView name, QRect twips)
{
    auto* box = place(new QComboBox(parent), name, twips);
    box->setEditable(true);
    // A value is exactly what the field holds: the completer that comes with an editable combo
    // box would complete a typed "1" to a remembered "10", and turn "ABC" into "abc".
    box->setCompleter(nullptr);
    box->setInsertPolicy(QComboBox::NoInsert);
    box->setCurrentIndex(-1);
    box->setEditText(QString());
    return box;
}

QListWidget* makeList(QWidget* parent, QStringView name, const QStringList& items, QRect twips)
{
    auto* list = place(new QListWidget(parent), name, twips);
    list->addItems(items);
    // A blank row only separates groups of the list; a screen reader says so instead of
    // reading an empty item.
    for (int row = 0; row < list->count(); ++row) {
        if (list->item(row)->text().isEmpty())
            list->item(row)->setData(Qt::AccessibleTextRole, QStringLiteral("区切り"));
    }
    return list;
}

QListView* makeHiddenList(QWidget* parent, QStringView name, QRect twips)
{
    auto* list = place(new QListView(parent), name, twips);
    list->hide();
    return list;
}

} // namespace quillet::ui
