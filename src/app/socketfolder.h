#pragma once

#include <QString>

#include <optional>

namespace quillet::app {

// Why a folder may not hold the hand-over socket: nothing when it is a real folder (not a
// symbolic link) owned by `owner` that nobody else may enter (mode 0700). A socket in a folder
// that others can write to, or that another user owns, lets them listen in our place and read
// the paths a second start hands over.
[[nodiscard]] std::optional<QString> privateFolderProblem(const QString& folder, uint owner);

// Where the hand-over socket lives: in the runtime folder when it is private, else in a folder
// of our own under the per-user cache folder, created 0700 and checked like the runtime folder
// on every start. Never in the shared temporary folder. Nothing, with the reason, when neither
// folder is private.
struct SocketLocation {
    QString path;    // the socket's full path; empty when there is none
    QString problem; // why there is none, for standard error
};
[[nodiscard]] SocketLocation instanceSocketLocation(const QString& runtimeFolder,
                                                    const QString& cacheFolder, uint owner);

// The same for this user, from XDG_RUNTIME_DIR and the cache location.
[[nodiscard]] SocketLocation instanceSocketLocation();

// The name of our own folder under the cache folder.
inline constexpr QStringView kOwnSocketFolder = u"quillet-socket";
inline constexpr QStringView kSocketFileName = u"quillet.socket";

} // namespace quillet::app
