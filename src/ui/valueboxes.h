#pragma once

#include <QObject>
#include <QStringList>

#include <array>

class QAbstractItemView;
class QComboBox;

namespace quillet::ui {

// The seven value combo boxes and the one list of remembered values they all offer. Every
// change of the list is applied to all seven in their canonical order (Text10, Text11, Text4,
// Text8, Text5, Text9, Text3), so one index means the same entry in each. The text in a box's
// edit field is the user's and is never changed here.
//
// An entry counts as picked only when the user picked it in the box's list (a click or Enter in
// the drop-down list, or the arrow keys and the wheel on the closed box). A text typed by hand
// is never a pick, not even when it equals an entry: the combo box's own current index follows
// such a text on leaving the box and does not tell the two apart.
class ValueBoxes final : public QObject {
    Q_OBJECT

public:
    using Boxes = std::array<QComboBox*, 7>;

    explicit ValueBoxes(const Boxes& boxes, QObject* parent = nullptr);

    [[nodiscard]] QStringList entries() const;
    // The texts of the seven edit fields, in canonical order.
    [[nodiscard]] QStringList texts() const;
    // The index of the entry the user picked in the box's list and has not edited since; -1
    // when the box's text was typed.
    [[nodiscard]] int pickedIndex(const QComboBox* box) const;

    void addToAll(const QStringList& values);
    // Remembers the texts of all seven boxes that are new.
    void RememberAllValues();
    // Removes the entry picked in the box's list from all seven lists; nothing when the box's
    // text was typed rather than picked.
    void ForgetSelectedValue(QComboBox* box);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    [[nodiscard]] int boxIndex(const QObject* object) const;
    void removeFromAll(int index);
    void onActivated(int box, int index);

    Boxes m_boxes;
    // The drop-down list of each box and its viewport, kept to be recognised in the filter
    // without asking a box that is being destroyed.
    std::array<QAbstractItemView*, 7> m_lists{};
    std::array<QObject*, 7> m_listViewports{};
    std::array<int, 7> m_picked;
    // The box in which a key or click that picks from the list is being handled; the
    // activation that follows it is a pick.
    int m_picking = -1;
};

} // namespace quillet::ui
