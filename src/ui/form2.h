#pragma once

#include <QWidget>

class QPlainTextEdit;
class QPushButton;

namespace quillet::ui {

// The confirmation window: every source path above its target path, and the confirm button.
class Form2 final : public QWidget {
    Q_OBJECT

public:
    explicit Form2(QWidget* parent = nullptr);

    void setListing(const QString& listing);
    // While a rename runs the window cannot be closed.
    void setRunning(bool running) { m_running = running; }

signals:
    void confirmed();

protected:
    void resizeEvent(QResizeEvent* event) override;
    void moveEvent(QMoveEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    void applyLayout();

    QPlainTextEdit* m_listing = nullptr;
    QPushButton* m_renameButton = nullptr;
    QPushButton* m_moveButton = nullptr;
    QPushButton* m_copyButton = nullptr;
    bool m_running = false;
};

} // namespace quillet::ui
