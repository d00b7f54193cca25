#pragma once

#include <QPointer>
#include <QWidget>

class QLabel;

namespace quillet::ui {

// The progress window shown while a checksum is computed, centred over its anchor window (the
// main window) when it has one.
class Form3 final : public QWidget {
    Q_OBJECT

public:
    explicit Form3(const QWidget* anchor = nullptr, QWidget* parent = nullptr);

    void setProgressText(const QString& text);
    // Centres the window again whenever its outer size changed: when it grew with its label,
    // and when the window manager added the frame after the first showing (which not every
    // window manager announces with a move).
    void keepCentred();

signals:
    // The user closed the window (its close button, Alt+F4): the checksum is to stop. The
    // window stays until the checksum has ended.
    void closeRequested();

protected:
    void closeEvent(QCloseEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void moveEvent(QMoveEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    QLabel* m_progressLabel = nullptr;
    QPointer<const QWidget> m_anchor;
    QSize m_centredSize;
};

} // namespace quillet::ui
