#pragma once

// Checks that are about permissions mean nothing for root, who reads and writes every file.
// runUnprivileged() runs such a check in a forked child that, when the suite runs as root,
// first becomes the unprivileged user nobody (uid and gid 65534); as an ordinary user it runs
// as that user. The child sets up its own files: a folder made by the parent may be closed
// to nobody.
#include <QByteArray>
#include <QString>

#include <functional>

#include <grp.h>
#include <sys/wait.h>
#include <unistd.h>

namespace quillet::test {

inline constexpr uid_t kUnprivilegedId = 65534;

// Runs `check` in the child; its answer is empty when the check held, else what failed. The
// result is that answer, or why the child could not answer.
inline QString runUnprivileged(const std::function<QString()>& check)
{
    int channel[2];
    if (::pipe(channel) != 0)
        return QStringLiteral("no pipe");
    const pid_t child = ::fork();
    if (child < 0)
        return QStringLiteral("no fork");
    if (child == 0) {
        ::close(channel[0]);
        QByteArray answer;
        if (::geteuid() == 0) {
            if (::setgroups(0, nullptr) != 0 || ::setgid(kUnprivilegedId) != 0
                || ::setuid(kUnprivilegedId) != 0 || ::setuid(0) == 0)
                answer = "could not drop to an unprivileged user";
            // root's own temporary folder may be closed to nobody
            ::setenv("TMPDIR", "/tmp", 1);
        }
        if (answer.isEmpty())
            answer = check().toUtf8();
        qsizetype written = 0;
        while (written < answer.size()) {
            const ssize_t n =
                ::write(channel[1], answer.constData() + written, size_t(answer.size() - written));
            if (n <= 0)
                break;
            written += n;
        }
        ::_exit(0); // no destructors or test-framework output of the parent's copy
    }
    ::close(channel[1]);
    QByteArray answer;
    char buffer[4096];
    ssize_t n = 0;
    while ((n = ::read(channel[0], buffer, sizeof buffer)) > 0)
        answer.append(buffer, n);
    ::close(channel[0]);
    int status = 0;
    ::waitpid(child, &status, 0);
    if (!WIFEXITED(status) || WEXITSTATUS(status) != 0)
        return QStringLiteral("the unprivileged child ended abnormally");
    return QString::fromUtf8(answer);
}

// Runs one test function of this test program again, in a program of its own that runs as the
// unprivileged user when the suite runs as root: for checks that need a whole program, such as
// a window, which a forked copy of one cannot give. Empty when it passed, else what failed.
inline QString runTestFunctionUnprivileged(const QString& program, const char* testFunction)
{
    const QByteArray path = program.toLocal8Bit();
    const pid_t child = ::fork();
    if (child < 0)
        return QStringLiteral("no fork");
    if (child == 0) {
        if (::setgroups(0, nullptr) != 0 || ::setgid(kUnprivilegedId) != 0
            || ::setuid(kUnprivilegedId) != 0 || ::setuid(0) == 0)
            ::_exit(126);
        ::setenv("TMPDIR", "/tmp", 1);
        ::setenv("HOME", "/tmp", 1);
        ::unsetenv("XDG_RUNTIME_DIR");
        // The display and the session bus are root's, closed to nobody: windows go offscreen.
        ::setenv("QT_QPA_PLATFORM", "offscreen", 1);
        ::unsetenv("DBUS_SESSION_BUS_ADDRESS");
        ::unsetenv("QT_LINUX_ACCESSIBILITY_ALWAYS_ON");
        ::execl(path.constData(), path.constData(), testFunction, static_cast<char*>(nullptr));
        ::_exit(127);
    }
    int status = 0;
    ::waitpid(child, &status, 0);
    if (!WIFEXITED(status) || WEXITSTATUS(status) != 0)
        return QStringLiteral("%1 failed as the unprivileged user (status %2)")
            .arg(QLatin1StringView(testFunction))
            .arg(WIFEXITED(status) ? WEXITSTATUS(status) : -1);
    return {};
}

} // namespace quillet::test
