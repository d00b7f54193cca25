#pragma once

#include <QtGlobal>

#include <optional>

namespace quillet::app {

// The user id of the process at the other end of a connected local socket, as the kernel
// recorded it (SO_PEERCRED on Linux, getpeereid on the BSDs and macOS); nothing when the
// system cannot tell.
[[nodiscard]] std::optional<uint> peerUserId(qintptr socketDescriptor);

// This process's effective user id: the one peers must have.
[[nodiscard]] uint currentUserId();

} // namespace quillet::app
