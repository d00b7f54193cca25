#pragma once

#include <QObject>
#include <QStringList>

#include <array>

class QComboBox;

namespace quillet::ui {

// The seven value combo boxes and the one list of remembered values they all offer. Every
// change of the list is applied to all seven in their canonical order (Text10, Text11, Text4,
// Text8, Text5, Text9, Text3), so one index means the same entry in each. The text in a box's
// edit field is the user's and is never changed here.
class ValueBoxes final : public QObject {
    Q_OBJECT

public:
    using Boxes = std::array<QComboBox*, 7>;

    explicit ValueBoxes(const Boxes& boxes, QObject* parent = nullptr);

    [[nodiscard]] QStringList entries() const;
    // The texts of the seven edit fields, in canonical order.
    [[nodiscard]] QStringList texts() const;

    void addToAll(const QStringList& values);
    // Remembers the texts of all seven boxes that are new.
    void RememberAllValues();
    // Removes the entry picked in the box's list from all seven lists; nothing when the box's
    // text was typed rather than picked.
    void ForgetSelectedValue(QComboBox* box);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    Boxes m_boxes;
};

} // namespace quillet::ui
