#pragma once

#include "rename/filechecksum.h"

#include <memory>

namespace quillet::ui {

class Form3;

// Shows a checksum computation in the progress window Form3, which exists only while one
// checksum is computed and stays above all other windows. Between blocks the windows repaint;
// user input waits until the rename run is over.
class ChecksumProgressWindow final : public rename::ChecksumProgress {
public:
    ChecksumProgressWindow();
    ~ChecksumProgressWindow() override;

    void begin(const QString& caption) override;
    void step(const QString& label) override;
    void end() override;

private:
    std::unique_ptr<Form3> m_window;
    QString m_label;
};

} // namespace quillet::ui
