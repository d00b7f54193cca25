#include "ui/controls.h"

#include "ui/captionbutton.h"
#include "ui/twips.h"

#include <QComboBox>
#include <QGroupBox>
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

} // namespace

QPushButton* makeButton(QWidget* parent, QStringView name, const QString& caption,
                        const QString& tooltip, QRect twips)
{
    auto* button = place(new CaptionButton(caption, parent), name, twips);
    button->setToolTip(tooltip);
    return button;
}

QRadioButton* makeOption(QWidget* parent, QStringView name, const QString& caption,
                         const QString& tooltip, QRect twips)
{
    auto* option = place(new QRadioButton(caption, parent), name, twips);
    option->setToolTip(tooltip);
    return option;
}

QLabel* makeLabel(QWidget* parent, QStringView name, const QString& caption, QRect twips)
{
    return place(new QLabel(caption, parent), name, twips);
}

QGroupBox* makeFrame(QWidget* parent, QStringView name, const QString& caption, QRect twips)
{
    return place(new QGroupBox(caption, parent), name, twips);
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
    box->setInsertPolicy(QComboBox::NoInsert);
    box->setCurrentIndex(-1);
    box->setEditText(QString());
    return box;
}

QListWidget* makeList(QWidget* parent, QStringView name, const QStringList& items, QRect twips)
{
    auto* list = place(new QListWidget(parent), name, twips);
    list->addItems(items);
    return list;
}

QListView* makeHiddenList(QWidget* parent, QStringView name, QRect twips)
{
    auto* list = place(new QListView(parent), name, twips);
    list->hide();
    return list;
}

} // namespace quillet::ui
