// How soon the window of a start with 100,000 paths on its command line appears, against a
// start with none, in one run: the real program started again and again under an X server,
// watched from outside. Two times per start: the frame mapped (the window manager shows it)
// and the window answering a _NET_WM_PING, which Qt answers from its event loop once it has
// handled what came before, the first exposure among it. bench/startup_window.sh runs it
// under Xvfb with a window manager.
// Arguments: the program, [paths, default 100000], [rounds, default 5]
#include <QByteArray>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcessEnvironment>
#include <QTemporaryDir>

#include <xcb/xcb.h>

#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <optional>
#include <vector>

namespace {

xcb_atom_t atom(xcb_connection_t* c, const char* name)
{
    xcb_intern_atom_reply_t* reply =
        xcb_intern_atom_reply(c, xcb_intern_atom(c, 0, uint16_t(std::strlen(name)), name), nullptr);
    const xcb_atom_t result = reply ? reply->atom : xcb_atom_t(XCB_ATOM_NONE);
    std::free(reply);
    return result;
}

// The top-level windows the window manager lists, and the one whose _NET_WM_PID is `pid`.
std::optional<xcb_window_t> windowOf(xcb_connection_t* c, xcb_window_t root, quint32 pid)
{
    static const xcb_atom_t clients = atom(c, "_NET_CLIENT_LIST");
    static const xcb_atom_t wmPid = atom(c, "_NET_WM_PID");
    xcb_get_property_reply_t* list = xcb_get_property_reply(
        c, xcb_get_property(c, 0, root, clients, XCB_ATOM_WINDOW, 0, 4096), nullptr);
    std::optional<xcb_window_t> found;
    if (list) {
        const auto* windows = static_cast<const xcb_window_t*>(xcb_get_property_value(list));
        const int count = xcb_get_property_value_length(list) / 4;
        for (int i = 0; i < count && !found; ++i) {
            xcb_get_property_reply_t* p = xcb_get_property_reply(
                c, xcb_get_property(c, 0, windows[i], wmPid, XCB_ATOM_CARDINAL, 0, 1), nullptr);
            if (p && xcb_get_property_value_length(p) == 4
                && *static_cast<const quint32*>(xcb_get_property_value(p)) == pid)
                found = windows[i];
            std::free(p);
        }
    }
    std::free(list);
    return found;
}

struct Start {
    double mappedMs = -1;
    double answeredMs = -1;
};

// A command line ready to start: the program, its arguments and its environment as the
// system takes them. Made before the clock runs, as a shell has its line expanded before it
// starts the program: turning 100,000 QStrings into bytes is the launcher's work, not the
// start-up of the program.
struct Launch {
    std::vector<QByteArray> storage;
    std::vector<char*> argv;
    std::vector<char*> envp;

    Launch(const QString& program, const QStringList& arguments,
           const QProcessEnvironment& environment)
    {
        storage.push_back(QFile::encodeName(program));
        for (const QString& argument : arguments)
            storage.push_back(QFile::encodeName(argument));
        const std::size_t argumentCount = storage.size();
        for (const QString& entry : environment.toStringList())
            storage.push_back(entry.toLocal8Bit());
        for (std::size_t i = 0; i < storage.size(); ++i)
            (i < argumentCount ? argv : envp).push_back(storage[i].data());
        argv.push_back(nullptr);
        envp.push_back(nullptr);
    }
};

// Starts the program and times it until its window answers a ping; then ends it.
Start timeStart(xcb_connection_t* c, xcb_window_t root, const Launch& launch)
{
    static const xcb_atom_t protocols = atom(c, "WM_PROTOCOLS");
    static const xcb_atom_t ping = atom(c, "_NET_WM_PING");
    Start start;
    posix_spawn_file_actions_t quiet;
    posix_spawn_file_actions_init(&quiet);
    posix_spawn_file_actions_addopen(&quiet, 1, "/dev/null", O_WRONLY, 0);
    posix_spawn_file_actions_addopen(&quiet, 2, "/dev/null", O_WRONLY, 0);
    QElapsedTimer clock;
    clock.start();
    pid_t child = 0;
    if (::posix_spawn(&child, launch.argv[0], &quiet, nullptr, launch.argv.data(),
                      launch.envp.data())
        != 0)
        qFatal("cannot start %s", launch.argv[0]);
    posix_spawn_file_actions_destroy(&quiet);
    const auto pid = quint32(child);
    std::optional<xcb_window_t> window;
    bool pinged = false;
    while (clock.elapsed() < 60'000 && start.answeredMs < 0) {
        xcb_flush(c);
        xcb_generic_event_t* event = xcb_poll_for_event(c);
        if (!event) {
            ::usleep(200);
            if (start.mappedMs >= 0 && !window)
                window = windowOf(c, root, pid);
            if (window && !pinged) {
                xcb_client_message_event_t message{};
                message.response_type = XCB_CLIENT_MESSAGE;
                message.format = 32;
                message.window = *window;
                message.type = protocols;
                message.data.data32[0] = ping;
                message.data.data32[1] = XCB_CURRENT_TIME;
                message.data.data32[2] = *window;
                xcb_send_event(c, 0, *window, XCB_EVENT_MASK_NO_EVENT,
                               reinterpret_cast<const char*>(&message));
                pinged = true;
            }
            continue;
        }
        const uint8_t type = event->response_type & 0x7f;
        // The window manager maps its frame: a MapNotify below the root.
        if (type == XCB_MAP_NOTIFY && start.mappedMs < 0)
            start.mappedMs = double(clock.nsecsElapsed()) / 1e6;
        if (type == XCB_CLIENT_MESSAGE) {
            const auto* answer = reinterpret_cast<xcb_client_message_event_t*>(event);
            if (pinged && answer->type == protocols && answer->data.data32[0] == ping && window
                && answer->data.data32[2] == *window)
                start.answeredMs = double(clock.nsecsElapsed()) / 1e6;
        }
        std::free(event);
    }
    ::kill(child, SIGTERM);
    int status = 0;
    for (int waited = 0; ::waitpid(child, &status, WNOHANG) == 0; waited += 10) {
        if (waited == 60'000)
            ::kill(child, SIGKILL);
        ::usleep(10'000);
    }
    // What the frame's unmapping leaves behind belongs to this start.
    ::usleep(100'000);
    while (xcb_generic_event_t* event = xcb_poll_for_event(c))
        std::free(event);
    return start;
}

double median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

} // namespace

int main(int argc, char* argv[])
{
    if (argc < 2) {
        std::fprintf(stderr, "usage: bench_startup PROGRAM [PATHS] [ROUNDS]\n");
        return 2;
    }
    const QString program = QString::fromLocal8Bit(argv[1]);
    const int count = argc > 2 ? std::atoi(argv[2]) : 100'000;
    const int rounds = argc > 3 ? std::atoi(argv[3]) : 5;

    xcb_connection_t* c = xcb_connect(nullptr, nullptr);
    if (xcb_connection_has_error(c))
        qFatal("no X server (DISPLAY)");
    const xcb_window_t root = xcb_setup_roots_iterator(xcb_get_setup(c)).data->root;
    // Qt answers a ping to the root window for StructureNotify (and the window manager).
    const uint32_t mask = XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY | XCB_EVENT_MASK_STRUCTURE_NOTIFY;
    xcb_change_window_attributes(c, root, XCB_CW_EVENT_MASK, &mask);
    xcb_flush(c);

    // The arguments may take up to a quarter of the stack limit: room for 100,000 names.
    rlimit stack{};
    ::getrlimit(RLIMIT_STACK, &stack);
    if (stack.rlim_cur != RLIM_INFINITY && stack.rlim_cur < (rlim_t(64) << 20)) {
        stack.rlim_cur = std::min<rlim_t>(rlim_t(64) << 20, stack.rlim_max);
        ::setrlimit(RLIMIT_STACK, &stack);
    }
    QTemporaryDir files;
    QStringList paths;
    paths.reserve(count);
    for (int i = 0; i < count; ++i) {
        // As `quillet *` in a folder gives them: relative names.
        const QString name = QStringLiteral("file%1.txt").arg(i);
        QFile(files.filePath(name)).open(QIODevice::WriteOnly);
        paths.append(name);
    }
    // Each start its own runtime folder: no window to hand over to, a fresh socket.
    QTemporaryDir home;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("xcb"));
    environment.insert(QStringLiteral("HOME"), home.path());
    environment.insert(QStringLiteral("XDG_CONFIG_HOME"), home.filePath(QStringLiteral("config")));
    environment.insert(QStringLiteral("XDG_RUNTIME_DIR"), home.path());

    // Relative names count from here, in the program as in the shell that would start it.
    if (!QDir::setCurrent(files.path()))
        qFatal("cannot enter the folder of the files");
    const Launch emptyStart(program, {}, environment);
    const Launch fullStart(program, paths, environment);
    std::vector<double> emptyMapped, emptyAnswered, fullMapped, fullAnswered;
    for (int round = 0; round < rounds; ++round) {
        const Start empty = timeStart(c, root, emptyStart);
        const Start full = timeStart(c, root, fullStart);
        std::printf("round %d: empty mapped %.0f ms, answered %.0f ms; %d paths mapped %.0f ms, "
                    "answered %.0f ms\n",
                    round + 1, empty.mappedMs, empty.answeredMs, count, full.mappedMs,
                    full.answeredMs);
        std::fflush(stdout);
        emptyMapped.push_back(empty.mappedMs);
        emptyAnswered.push_back(empty.answeredMs);
        fullMapped.push_back(full.mappedMs);
        fullAnswered.push_back(full.answeredMs);
    }
    const double em = median(emptyMapped), ea = median(emptyAnswered);
    const double fm = median(fullMapped), fa = median(fullAnswered);
    std::printf("median: empty mapped %.0f ms, answered %.0f ms; %d paths mapped %.0f ms, "
                "answered %.0f ms\n",
                em, ea, count, fm, fa);
    std::printf("ratio %d paths / empty: mapped %.2f, answered %.2f (at most 1.5)\n", count,
                fm / em, fa / ea);
    xcb_disconnect(c);
    return 0;
}
