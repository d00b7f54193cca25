#pragma once

// The main window's messages and prompts, answered at once, for benchmarks of the windows.
#include "ui/userdialogs.h"

namespace quillet::bench {

class SilentDialogs final : public ui::UserDialogs {
public:
    void showMessage(const QString&, const QString&) override {}
    bool showFailure(const QString&) override { return false; }
    QString askText(const QString&, const QString&, const QString&) override { return {}; }
    bool askYesNo(const QString&) override { return true; }
};

} // namespace quillet::bench
