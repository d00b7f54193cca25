#pragma once

#include <QRect>
#include <QString>
#include <QStringList>

class QAbstractButton;
class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QListView;
class QListWidget;
class QPushButton;
class QRadioButton;
class QWidget;

namespace quillet::ui {

// Small factories for the catalogue's controls: each sets the catalogue name as objectName,
// the caption, tooltip and rectangle (in twips). The caption is also the accessible name and
// the tooltip the accessible description.

QPushButton* makeButton(QWidget* parent, QStringView name, const QString& caption,
                        const QString& tooltip, QRect twips);
QRadioButton* makeOption(QWidget* parent, QStringView name, const QString& caption,
                         const QString& tooltip, QRect twips);
QLabel* makeLabel(QWidget* parent, QStringView name, const QString& caption, QRect twips);
// Links a label to the box it names: the label becomes the box's buddy and its text the box's
// accessible name.
void labelFor(QLabel* label, QWidget* box);
// Enter or Return in the source control clicks the button, as in a dialog.
void clickOnEnter(QWidget* source, QAbstractButton* button);
QGroupBox* makeFrame(QWidget* parent, QStringView name, const QString& caption, QRect twips);
QLineEdit* makeTextBox(QWidget* parent, QStringView name, const QString& text, QRect twips);
// A read-only box with the button-face background that only displays values.
QLineEdit* makeDisplayBox(QWidget* parent, QStringView name, QRect twips);
// An editable combo box whose drop-down list is managed by the program.
QComboBox* makeValueBox(QWidget* parent, QStringView name, QRect twips);
QListWidget* makeList(QWidget* parent, QStringView name, const QStringList& items, QRect twips);
// A list box that is never shown and only mirrors a list of the model.
QListView* makeHiddenList(QWidget* parent, QStringView name, QRect twips);

} // namespace quillet::ui
