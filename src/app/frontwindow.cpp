#include "frontwindow.h"

#include <QGuiApplication>
#include <QWidget>

#ifdef QUILLET_HAVE_XCB
#include <cstdlib>
#include <cstring>

#include <xcb/xcb.h>
#endif

namespace quillet::app {

quint32 startupIdTime(const QByteArray& startupId)
{
    const qsizetype at = startupId.lastIndexOf("_TIME");
    if (at < 0)
        return 0;
    bool ok = false;
    const quint32 time = startupId.mid(at + 5).toUInt(&ok);
    return ok ? time : 0;
}

namespace {

#ifdef QUILLET_HAVE_XCB

xcb_atom_t atom(xcb_connection_t* connection, const char* name)
{
    xcb_intern_atom_reply_t* reply = xcb_intern_atom_reply(
        connection, xcb_intern_atom(connection, 0, uint16_t(qstrlen(name)), name), nullptr);
    const xcb_atom_t result = reply ? reply->atom : xcb_atom_t(XCB_ATOM_NONE);
    free(reply);
    return result;
}

xcb_window_t rootOf(xcb_connection_t* connection, xcb_window_t window)
{
    xcb_query_tree_reply_t* reply =
        xcb_query_tree_reply(connection, xcb_query_tree(connection, window), nullptr);
    const xcb_window_t root = reply ? reply->root : xcb_window_t(XCB_WINDOW_NONE);
    free(reply);
    return root;
}

// Asks the window manager to activate the window as a request of the user made at `time`
// (source 1: an application acting for the user), the way a launcher's own program would.
void requestActivation(xcb_connection_t* connection, xcb_window_t window, quint32 time)
{
    const xcb_window_t root = rootOf(connection, window);
    if (root == XCB_WINDOW_NONE)
        return;
    xcb_client_message_event_t event{};
    event.response_type = XCB_CLIENT_MESSAGE;
    event.format = 32;
    event.window = window;
    event.type = atom(connection, "_NET_ACTIVE_WINDOW");
    event.data.data32[0] = 1;
    event.data.data32[1] = time;
    xcb_send_event(connection, 0, root,
                   XCB_EVENT_MASK_SUBSTRUCTURE_REDIRECT | XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY,
                   reinterpret_cast<const char*>(&event));
}

// Ends the launcher's busy feedback for this start: the startup-notification "remove" message,
// sent to the root window in pieces of 20 bytes.
void completeStartup(xcb_connection_t* connection, xcb_window_t window, const QByteArray& id)
{
    const xcb_window_t root = rootOf(connection, window);
    if (root == XCB_WINDOW_NONE)
        return;
    QByteArray text = "remove: ID=\"";
    for (const char c : id) {
        if (c == '"' || c == '\\')
            text += '\\';
        text += c;
    }
    text += "\"";
    text += '\0';
    xcb_atom_t type = atom(connection, "_NET_STARTUP_INFO_BEGIN");
    const xcb_atom_t more = atom(connection, "_NET_STARTUP_INFO");
    for (qsizetype offset = 0; offset < text.size(); offset += 20) {
        xcb_client_message_event_t event{};
        event.response_type = XCB_CLIENT_MESSAGE;
        event.format = 8;
        event.window = window;
        event.type = type;
        const QByteArray piece = text.mid(offset, 20);
        memcpy(event.data.data8, piece.constData(), size_t(piece.size()));
        xcb_send_event(connection, 0, root, XCB_EVENT_MASK_PROPERTY_CHANGE,
                       reinterpret_cast<const char*>(&event));
        type = more;
    }
}

#endif

void activateWithStartupId(QWidget& window, const QByteArray& startupId)
{
#ifdef QUILLET_HAVE_XCB
    const auto* x11 = qApp->nativeInterface<QNativeInterface::QX11Application>();
    if (!x11 || startupId.isEmpty())
        return;
    xcb_connection_t* connection = x11->connection();
    const auto id = xcb_window_t(window.winId());
    if (const quint32 time = startupIdTime(startupId))
        requestActivation(connection, id, time);
    completeStartup(connection, id, startupId);
    xcb_flush(connection);
#else
    Q_UNUSED(window);
    Q_UNUSED(startupId);
#endif
}

} // namespace

void bringToFront(QWidget& window, const QByteArray& startupId, const QByteArray& activationToken)
{
    // Raising a minimised window shows nothing: it is restored first.
    window.setWindowState((window.windowState() & ~Qt::WindowMinimized) | Qt::WindowActive);
    window.show();
    window.raise();
    // Qt's Wayland window hands this token to the compositor with its next activation request.
    if (!activationToken.isEmpty())
        qputenv("XDG_ACTIVATION_TOKEN", activationToken);
    window.activateWindow();
    activateWithStartupId(window, startupId);
}

} // namespace quillet::app
