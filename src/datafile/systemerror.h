#pragma once

#include <QString>

namespace quillet::datafile {

// Why a file operation failed, in words the user reads in a message: Japanese for the causes a
// user can act on, the system's own text for the rest. `error` is an errno value.
[[nodiscard]] QString systemErrorReason(int error);

} // namespace quillet::datafile
