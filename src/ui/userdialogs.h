#pragma once

#include <QString>

class QWidget;

namespace quillet::ui {

// The modal message box and input box of the program, behind an interface so that tests can
// answer them with a script.
class UserDialogs {
public:
    virtual ~UserDialogs() = default;

    // A message with an OK button and no icon, titled with the program's title; details, when
    // given, are behind the box's button for them.
    virtual void showMessage(const QString& text, const QString& details = {}) = 0;

    // The failure of one entry of a run: a message as above with the check box
    // 残りの失敗は最後にまとめて表示する, left clear, which spares the user a box for each of the
    // run's later failures (its end message lists them all); true when the user ticked it.
    [[nodiscard]] virtual bool showFailure(const QString& text) = 0;

    // The text in the field when the user pressed OK; the empty text when the user cancelled,
    // closed the box or confirmed an empty field.
    [[nodiscard]] virtual QString askText(const QString& prompt, const QString& title,
                                          const QString& preset) = 0;

    // A question with はい and いいえ (いいえ is the default); true for はい.
    [[nodiscard]] virtual bool askYesNo(const QString& question) = 0;
};

inline constexpr QStringView kProgramTitle = u"Quillet";
inline constexpr QStringView kFailuresAtEndText = u"残りの失敗は最後にまとめて表示する";

// Loads Qt's own Japanese texts (OK, キャンセル, the editor's context menu) from Qt's
// translations folder into the application; false when they are not installed.
bool installQtJapanese();

// The real dialogs: QMessageBox and QInputDialog.
class QtUserDialogs final : public UserDialogs {
public:
    explicit QtUserDialogs(QWidget* parent = nullptr)
        : m_parent(parent)
    {
    }
    void setParent(QWidget* parent) { m_parent = parent; }

    void showMessage(const QString& text, const QString& details = {}) override;
    [[nodiscard]] bool showFailure(const QString& text) override;
    [[nodiscard]] QString askText(const QString& prompt, const QString& title,
                                  const QString& preset) override;
    [[nodiscard]] bool askYesNo(const QString& question) override;

private:
    QWidget* m_parent;
};

} // namespace quillet::ui
