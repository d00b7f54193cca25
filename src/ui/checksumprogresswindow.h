#pragma once

#include "checksum/filechecksum.h"

#include <QPointer>
#include <QWidget>

#include <memory>

namespace quillet::ui {

class Form3;

// Shows a checksum computation in the progress window Form3, which exists only while one
// checksum is computed and stays above all other windows. Between blocks the windows repaint;
// user input waits until the rename run is over. The window stands centred over the anchor
// window (the main window), not in a corner of the screen.
class ChecksumProgressWindow final : public checksum::ChecksumProgress {
public:
    explicit ChecksumProgressWindow(const QWidget* anchor = nullptr);
    ~ChecksumProgressWindow() override;

    void begin(const QString& caption) override;
    void step(const QString& label) override;
    void end() override;

private:
    QPointer<const QWidget> m_anchor;
    std::unique_ptr<Form3> m_window;
    QString m_label;
};

} // namespace quillet::ui
