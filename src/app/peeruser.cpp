#include "peeruser.h"

#ifdef Q_OS_UNIX
#include <sys/socket.h>
#include <sys/types.h>
#include <unistd.h>
#endif

namespace quillet::app {

std::optional<uint> peerUserId(qintptr socketDescriptor)
{
#if defined(Q_OS_LINUX)
    struct ucred credentials {};
    socklen_t size = sizeof credentials;
    if (::getsockopt(int(socketDescriptor), SOL_SOCKET, SO_PEERCRED, &credentials, &size) != 0
        || size != sizeof credentials)
        return std::nullopt;
    return uint(credentials.uid);
#elif defined(Q_OS_UNIX)
    uid_t user = 0;
    gid_t group = 0;
    if (::getpeereid(int(socketDescriptor), &user, &group) != 0)
        return std::nullopt;
    return uint(user);
#else
    // A named pipe created with QLocalServer::UserAccessOption admits this user only.
    Q_UNUSED(socketDescriptor);
    return currentUserId();
#endif
}

uint currentUserId()
{
#ifdef Q_OS_UNIX
    return uint(::geteuid());
#else
    return 0;
#endif
}

} // namespace quillet::app
