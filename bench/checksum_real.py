#!/usr/bin/python3
"""What a user waits for when a large file gets its CRC-32, each in a process of its own.

Every round times three things on one file another process made, the file kept in the page
cache:

  read loop  dd reading the file in 1,000,000-byte blocks, the floor any checksum stands on;
  --verify   `quillet --verify FILE`, the command line checking the CRC-32 in the file's name;
  window     the real program through its window: the name set to "big [*/CRC32/*]", リネーム開始,
             and in 確認 a real mouse click on リネームする, timed from just before the button is
             let go (a push button acts on the release) to the moment the file's old name leaves
             its folder (inotify IN_MOVED_FROM).

A fourth timing, the verify window (Ctrl+Alt+V in the main window), runs when the program has
one: when no window titled チェックサムの検証 appears within 3 s of the key, it is left out. It is
timed from the V going down to the summary line ("不一致 1件") showing up in that window.

The pointer and the keys are the X server's own (XTest, as xdotool sends them), sent from this
process: an xdotool process takes 70–110 ms to start and send here, which would be timed too.
xdotool brings windows forward and closes them, outside the timings.

Needs an X server with a window manager and a D-Bus session bus with the accessibility bus:
bench/checksum_real.sh sets them up. Debian's python3 is needed for pyatspi (python3-pyatspi).

Usage: checksum_real.py [MiB, default 2048] [rounds, default 5] [quillet binary]
"""

import argparse
import ctypes
import os
import re
import select
import shutil
import statistics
import struct
import subprocess
import sys
import tempfile
import time
import zlib

try:
    import pyatspi
    from gi.repository import GLib
except ImportError as error:  # pragma: no cover - told to the user
    sys.exit(f"checksum_real.py: needs pyatspi (apt-get install python3-pyatspi) and Debian's "
             f"/usr/bin/python3: {error}")

REPO = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
DEFAULT_QUILLET = os.path.join(REPO, "build", "default", "src", "app", "quillet")

MAIN_TITLE = "Quillet"
NAMES_EDITOR = "リネーム後のファイル名"      # accessible name of the names editor (object "Text1")
RENAME_BUTTON = "リネーム開始"
CONFIRM_TITLE = "確認"
CONFIRM_BUTTON = "リネームする"
DONE_TEXT = "リネームしました。"
VERIFY_TITLE = "チェックサムの検証"
VERIFY_KEY = ("Control_L", "Alt_L", "v")  # held in this order; timed from the last one
VERIFY_WAIT = 3.0                       # how long the verify window gets to appear
POLL = 0.02

OLD_NAME = "big [00000000].bin"
NEW_LINE = "big [*/CRC32/*]"            # the extension is the source's: ".bin" is added to it

IN_MOVED_FROM = 0x00000040
IN_NONBLOCK = 0o4000
IN_CLOEXEC = 0o2000000


class Failure(Exception):
    pass


def log(*words):
    print(*words, file=sys.stderr, flush=True)


# ---------------------------------------------------------------------------------------------
# inotify, through the C library: the moment of the event is read here, without a pipe between


class Inotify:
    def __init__(self, folder, mask):
        self._libc = ctypes.CDLL(None, use_errno=True)
        self.fd = self._libc.inotify_init1(IN_NONBLOCK | IN_CLOEXEC)
        if self.fd < 0:
            raise OSError(ctypes.get_errno(), "inotify_init1")
        if self._libc.inotify_add_watch(self.fd, os.fsencode(folder), mask) < 0:
            error = ctypes.get_errno()
            os.close(self.fd)
            raise OSError(error, f"inotify_add_watch {folder}")

    def wait_for(self, name, mask, timeout):
        """perf_counter() when an event with mask for name was read, or None at the timeout."""
        wanted = os.fsencode(name)
        deadline = time.perf_counter() + timeout
        while True:
            left = deadline - time.perf_counter()
            if left <= 0:
                return None
            ready, _, _ = select.select([self.fd], [], [], left)
            if not ready:
                continue
            data = os.read(self.fd, 65536)
            seen = time.perf_counter()
            offset = 0
            while offset + 16 <= len(data):
                _, event_mask, _, length = struct.unpack_from("iIII", data, offset)
                event_name = data[offset + 16:offset + 16 + length].rstrip(b"\0")
                offset += 16 + length
                if event_mask & mask and event_name == wanted:
                    return seen

    def close(self):
        os.close(self.fd)


# ---------------------------------------------------------------------------------------------
# The pointer and the keyboard, through XTest from this process


class XInput:
    def __init__(self):
        try:
            self._x11 = ctypes.CDLL("libX11.so.6")
            self._xtst = ctypes.CDLL("libXtst.so.6")
        except OSError as error:
            raise Failure(f"needs libX11 and libXtst (apt-get install libxtst6): {error}")
        self._x11.XOpenDisplay.restype = ctypes.c_void_p
        self._x11.XOpenDisplay.argtypes = [ctypes.c_char_p]
        self._x11.XCloseDisplay.argtypes = [ctypes.c_void_p]
        self._x11.XFlush.argtypes = [ctypes.c_void_p]
        self._x11.XSync.argtypes = [ctypes.c_void_p, ctypes.c_int]
        self._x11.XStringToKeysym.restype = ctypes.c_ulong
        self._x11.XStringToKeysym.argtypes = [ctypes.c_char_p]
        self._x11.XKeysymToKeycode.restype = ctypes.c_ubyte
        self._x11.XKeysymToKeycode.argtypes = [ctypes.c_void_p, ctypes.c_ulong]
        self._xtst.XTestFakeButtonEvent.argtypes = [ctypes.c_void_p, ctypes.c_uint, ctypes.c_int,
                                                    ctypes.c_ulong]
        self._xtst.XTestFakeKeyEvent.argtypes = [ctypes.c_void_p, ctypes.c_uint, ctypes.c_int,
                                                 ctypes.c_ulong]
        self._xtst.XTestFakeMotionEvent.argtypes = [ctypes.c_void_p, ctypes.c_int, ctypes.c_int,
                                                    ctypes.c_int, ctypes.c_ulong]
        self._display = self._x11.XOpenDisplay(None)
        if not self._display:
            raise Failure(f"cannot open the display {os.environ.get('DISPLAY')!r}")

    def _sent(self):
        # XSync: the server has taken the event in when this returns.
        self._x11.XSync(self._display, 0)

    def move(self, x, y):
        self._xtst.XTestFakeMotionEvent(self._display, -1, x, y, 0)  # -1: the pointer's screen
        self._sent()

    def button(self, pressed, number=1):
        self._xtst.XTestFakeButtonEvent(self._display, number, int(pressed), 0)
        self._sent()

    def keycode(self, keysym_name):
        keysym = self._x11.XStringToKeysym(keysym_name.encode())
        code = self._x11.XKeysymToKeycode(self._display, keysym) if keysym else 0
        if not code:
            raise Failure(f"no key for {keysym_name} on this display")
        return code

    def key(self, code, pressed):
        self._xtst.XTestFakeKeyEvent(self._display, code, int(pressed), 0)
        self._sent()

    def close(self):
        self._x11.XCloseDisplay(self._display)


# ---------------------------------------------------------------------------------------------
# The accessibility tree


def pump():
    # Lets libatspi take in what the bus has sent meanwhile (windows that came and went).
    context = GLib.MainContext.default()
    while context.pending():
        context.iteration(False)


def fresh(accessible):
    try:
        accessible.clear_cache()
    except Exception:
        pass
    return accessible


def role(accessible):
    try:
        return accessible.getRoleName()
    except Exception:
        return ""


def children(accessible):
    try:
        return [child for child in accessible if child is not None]
    except Exception:
        return []


def has_state(accessible, state):
    try:
        return fresh(accessible).getState().contains(state)
    except Exception:
        return False


def text_of(accessible):
    try:
        return accessible.queryText().getText(0, -1)
    except Exception:
        return None


def descendants(accessible, depth=0, skip=()):
    """Every node below accessible; the rows of roles in skip are not gone into."""
    for child in children(accessible):
        yield child
        if depth < 30 and role(child) not in skip:
            yield from descendants(child, depth + 1, skip)


def find(accessible, predicate):
    for node in descendants(accessible):
        try:
            if predicate(node):
                return node
        except Exception:
            continue
    return None


def describe(accessible, depth=0, out=None, limit=400):
    """The tree as text: role, name, description, interfaces, text — for finding one's way."""
    out = [] if out is None else out
    if len(out) >= limit:
        return out
    interfaces = ""
    for letter, query in (("T", "queryText"), ("E", "queryEditableText"), ("A", "queryAction"),
                          ("C", "queryComponent")):
        try:
            getattr(accessible, query)()
            interfaces += letter
        except Exception:
            pass
    text = text_of(accessible) if "T" in interfaces else None
    try:
        name, description = accessible.name, accessible.description
    except Exception:
        name = description = "?"
    line = f"{'  ' * depth}{role(accessible)} name={name!r}"
    if description:
        line += f" description={description!r}"
    line += f" [{interfaces}]"
    if text:
        line += f" text={text[:80]!r}"
    out.append(line)
    kids = children(accessible)
    if role(accessible) == "list" and len(kids) > 6:
        for child in kids[:3]:
            describe(child, depth + 1, out, limit)
        out.append(f"{'  ' * (depth + 1)}… {len(kids) - 3} more items")
    else:
        for child in kids:
            describe(child, depth + 1, out, limit)
    return out


def print_tree(accessible, heading):
    log(f"--- accessibility tree: {heading}")
    for line in describe(accessible):
        log(line)
    log("---")


def wait_events(seconds, done=lambda: False):
    """Takes in the bus's events for up to seconds, returning early once done() holds."""
    context = GLib.MainContext.default()
    expired = []

    def expire():
        expired.append(True)
        return False

    source = GLib.timeout_add(max(1, int(seconds * 1000)), expire)
    while not expired and not done():
        context.iteration(True)
    if not expired:
        GLib.source_remove(source)


def wait_until(what, probe, timeout, interval=POLL, done=lambda: False):
    deadline = time.perf_counter() + timeout
    while True:
        pump()
        found = probe()
        if found:
            return found
        left = deadline - time.perf_counter()
        if left <= 0:
            return None
        wait_events(min(interval, left), done)


class NameChanges:
    """The accessible names that change while it listens, each with the moment it arrived.

    Registered before Quillet starts: Qt sends an event only for kinds someone listens to, and
    learns who listens as it starts.
    """

    KIND = "object:property-change:accessible-name"

    def __init__(self):
        self.seen = []
        self.wanted = None
        pyatspi.Registry.registerEventListener(self._changed, self.KIND)

    def _changed(self, event):
        if self.wanted is None:
            return
        name = event.any_data if isinstance(event.any_data, str) else None
        if name is None:
            try:
                name = event.source.name
            except Exception:
                return
        if self.wanted(name):
            self.seen.append((time.perf_counter(), name))

    def listen_for(self, wanted):
        self.seen = []
        self.wanted = wanted

    def stop(self):
        self.wanted = None

    def close(self):
        pyatspi.Registry.deregisterEventListener(self._changed, self.KIND)


def application_of(pid):
    desktop = pyatspi.Registry.getDesktop(0)
    for app in children(fresh(desktop)):
        try:
            if app.get_process_id() == pid:
                return app
        except Exception:
            continue
    return None


def top_level(app, title, roles=("frame", "filler", "window", "dialog", "alert")):
    for window in children(fresh(app)):
        try:
            if window.name == title and role(window) in roles:
                return window
        except Exception:
            continue
    return None


def centre(accessible):
    extents = accessible.queryComponent().getExtents(pyatspi.DESKTOP_COORDS)
    if extents.width <= 0 or extents.height <= 0:
        raise Failure(f"{accessible.name!r} has no extents on the screen: {extents}")
    return extents.x + extents.width // 2, extents.y + extents.height // 2


def press(accessible):
    action = accessible.queryAction()
    for i in range(action.nActions):
        if action.getName(i) in ("Press", "press", "click"):
            action.doAction(i)
            return
    action.doAction(0)


# ---------------------------------------------------------------------------------------------
# Processes


def run_timed(command, env=None):
    start = time.perf_counter()
    done = subprocess.run(command, env=env, stdout=subprocess.PIPE, stderr=subprocess.PIPE)
    return time.perf_counter() - start, done


def xdotool(*arguments):
    try:
        done = subprocess.run(["xdotool", *arguments], stdout=subprocess.PIPE,
                              stderr=subprocess.PIPE, text=True, timeout=10)
    except subprocess.TimeoutExpired:
        raise Failure(f"xdotool {' '.join(arguments)} did not finish in 10 s")
    if done.returncode != 0:
        raise Failure(f"xdotool {' '.join(arguments)}: {done.stderr.strip()}")
    return done.stdout


class Session:
    """One Quillet with a home of its own: no other Quillet window to hand files to, no state."""

    def __init__(self, root, quillet, index):
        self.folder = tempfile.mkdtemp(prefix=f"session{index}-", dir=root)
        home = os.path.join(self.folder, "home")
        runtime = os.path.join(self.folder, "runtime")
        os.makedirs(runtime, mode=0o700)
        self.env = dict(os.environ)
        self.env.update({
            "HOME": home,
            "XDG_DATA_HOME": os.path.join(home, ".local", "share"),
            "XDG_CONFIG_HOME": os.path.join(home, ".config"),
            "XDG_CACHE_HOME": os.path.join(home, ".cache"),
            "XDG_STATE_HOME": os.path.join(home, ".local", "state"),
            "XDG_RUNTIME_DIR": runtime,
            "QT_LINUX_ACCESSIBILITY_ALWAYS_ON": "1",
            "QT_QPA_PLATFORM": "xcb",
        })
        for key in ("XDG_DATA_HOME", "XDG_CONFIG_HOME", "XDG_CACHE_HOME", "XDG_STATE_HOME"):
            os.makedirs(self.env[key], exist_ok=True)
        self.quillet = quillet
        self.process = None
        self.app = None
        self.main = None
        self.log_path = os.path.join(self.folder, "quillet.log")

    def start(self, *arguments, timeout=30):
        with open(self.log_path, "wb") as out:
            self.process = subprocess.Popen([self.quillet, *arguments], env=self.env,
                                            stdout=out, stderr=subprocess.STDOUT)

        def main_window():
            if self.process.poll() is not None:
                raise Failure(f"quillet ended with status {self.process.returncode}: "
                              f"{self.output()}")
            app = application_of(self.process.pid)
            if app is None:
                return None
            window = top_level(app, MAIN_TITLE, roles=("frame", "filler", "window"))
            if window is None:
                return None
            return app, window

        found = wait_until("main window", main_window, timeout, interval=0.05)
        if not found:
            app = application_of(self.process.pid)
            if app is not None:
                print_tree(app, "no main window titled Quillet")
            raise Failure(f"no main window of quillet (pid {self.process.pid}) on the "
                          f"accessibility bus within {timeout} s")
        self.app, self.main = found
        return self

    def output(self):
        try:
            with open(self.log_path, "rb") as log_file:
                return log_file.read().decode(errors="replace").strip()
        except OSError:
            return ""

    def x_window(self, title):
        done = subprocess.run(["xdotool", "search", "--pid", str(self.process.pid), "--name",
                               f"^{re.escape(title)}$"], stdout=subprocess.PIPE,
                              stderr=subprocess.DEVNULL, text=True, timeout=10)
        ids = done.stdout.split()
        return ids[-1] if ids else None

    def activate_main(self):
        window = self.x_window(MAIN_TITLE)
        if window:
            xdotool("windowactivate", "--sync", window)
        return window

    def quit(self):
        """Closes the main window as a user would; ends the process when that does not."""
        if self.process is None or self.process.poll() is not None:
            return "ended"
        how = "closed"
        try:
            # A window of its own in front (a dialog left open) takes the first close.
            for _ in range(3):
                window = self.activate_main()
                if window:
                    xdotool("key", "--clearmodifiers", "alt+F4")
                try:
                    self.process.wait(timeout=3)
                    break
                except subprocess.TimeoutExpired:
                    continue
        except Failure:
            pass
        try:
            self.process.wait(timeout=1)
        except subprocess.TimeoutExpired:
            how = "terminated"
            self.process.terminate()
            try:
                self.process.wait(timeout=3)
            except subprocess.TimeoutExpired:
                how = "killed"
                self.process.kill()
                self.process.wait()
        pump()
        return how


# ---------------------------------------------------------------------------------------------
# The timings


def time_read_loop(path, size):
    seconds, done = run_timed(["dd", f"if={path}", "of=/dev/null", "bs=1000000"],
                              env=dict(os.environ, LC_ALL="C"))
    report = done.stderr.decode(errors="replace")
    copied = re.search(r"^(\d+) bytes", report, re.M)
    if done.returncode != 0 or not copied or int(copied.group(1)) != size:
        raise Failure(f"dd did not read the {size} bytes: status {done.returncode}: {report}")
    return seconds


def time_verify_command(quillet, path, env, crc):
    seconds, done = run_timed([quillet, "--verify", path], env=env)
    line = done.stdout.decode(errors="replace").splitlines()
    first = line[0] if line else ""
    # 不一致 <the name's value> <the file's value>\t<file>
    fields = first.split("\t")[0].split()
    if (done.returncode != 1 or not first.startswith("不一致") or len(fields) < 3
            or fields[1].upper() != "00000000" or fields[2].upper() != f"{crc:08X}"):
        raise Failure(f"quillet --verify: status {done.returncode}, line {first!r}, expected "
                      f"不一致 00000000 {crc:08X}; stderr {done.stderr.decode(errors='replace')!r}")
    return seconds


def renamed_name(crc):
    return f"big [{crc:08X}].bin"


def time_window_rename(session, folder, crc, timeout, pointer):
    """Seconds from the click on リネームする to IN_MOVED_FROM of the old name, and to the message."""
    source = os.path.join(folder, OLD_NAME)
    session.start(source)
    stem = os.path.splitext(OLD_NAME)[0]

    def names_editor():
        editor = find(session.main, lambda node: role(node) == "text"
                      and node.name == NAMES_EDITOR)
        if editor is None:
            # Without its accessible name: the one multi-line editable text of the window.
            editor = find(session.main, lambda node: role(node) == "text"
                          and has_state(node, pyatspi.STATE_EDITABLE)
                          and has_state(node, pyatspi.STATE_MULTI_LINE))
        if editor is not None and text_of(editor) == stem:
            return editor
        return None

    editor = wait_until("names editor", names_editor, 20)
    if editor is None:
        print_tree(session.main, "main window, names editor not found or not showing the file")
        raise Failure(f"no names editor showing {stem!r}")
    if not editor.queryEditableText().setTextContents(NEW_LINE):
        raise Failure("the names editor did not take its new text")
    if text_of(editor) != NEW_LINE:
        raise Failure(f"the names editor reads {text_of(editor)!r} after setting {NEW_LINE!r}")

    start_button = find(session.main, lambda node: role(node) == "push button"
                        and node.name == RENAME_BUTTON)
    if start_button is None:
        print_tree(session.main, f"main window, no button {RENAME_BUTTON}")
        raise Failure(f"no button {RENAME_BUTTON}")
    press(start_button)  # not timed: the user's wait starts at リネームする

    def confirmation_ready():
        window = top_level(session.app, CONFIRM_TITLE)
        if window is None:
            return None
        button = find(window, lambda node: role(node) == "push button"
                      and node.name == CONFIRM_BUTTON)
        # The button waits for the listing and the check before the run; the window must be the
        # active one so the click lands on it.
        if (button is not None and has_state(button, pyatspi.STATE_ENABLED)
                and has_state(button, pyatspi.STATE_SHOWING)
                and has_state(window, pyatspi.STATE_ACTIVE)):
            return window, button
        return None

    found = wait_until("確認", confirmation_ready, 30)
    if not found:
        window = top_level(session.app, CONFIRM_TITLE)
        print_tree(window or session.app, f"{CONFIRM_TITLE} not ready")
        raise Failure(f"no active window {CONFIRM_TITLE} with an enabled {CONFIRM_BUTTON}")
    window, button = found
    x, y = centre(button)
    # The pointer is there before the clock starts; a click that misses renames nothing and
    # ends in the timeout below.
    pointer.move(x, y)

    watch = Inotify(folder, IN_MOVED_FROM)
    try:
        pointer.button(True)
        time.sleep(0.05)  # a press as a hand makes it; the button acts when it is let go
        clicked = time.perf_counter()
        pointer.button(False)
        moved = watch.wait_for(OLD_NAME, IN_MOVED_FROM, timeout)
    finally:
        watch.close()
    if moved is None:
        print_tree(session.app, "no rename after the click")
        raise Failure(f"{OLD_NAME} was not renamed within {timeout:.0f} s of the click")

    def message_box():
        for candidate in children(fresh(session.app)):
            if role(candidate) in ("alert", "dialog"):
                label = find(candidate, lambda node: node.name == DONE_TEXT)
                if label is not None:
                    return candidate
        return None

    box = wait_until("message", message_box, 30)
    told = time.perf_counter()
    if box is None:
        print_tree(session.app, f"no message {DONE_TEXT}")
        raise Failure(f"no message {DONE_TEXT!r} after the rename")
    ok = find(box, lambda node: role(node) == "push button" and node.name == "OK")
    if ok is not None:
        press(ok)
    else:
        xdotool("key", "Return")
    wait_until("message closed", lambda: message_box() is None, 5)

    expected = renamed_name(crc)
    present = sorted(os.listdir(folder))
    if present != [expected]:
        raise Failure(f"after the rename the folder holds {present}, expected [{expected!r}]")
    return moved - clicked, told - clicked


SUMMARY_COUNT = re.compile(r"(不一致|一致)\s*(\d+)\s*件")


def summary_counts(text):
    """{"不一致": n, "一致": m} of a summary line such as "不一致 1件"; None for any other text."""
    if not text or not text.startswith(("不一致", "一致")):
        return None
    counts = {kind: int(count) for kind, count in SUMMARY_COUNT.findall(text)}
    return counts if sum(counts.values()) >= 1 else None


def time_verify_window(session, folder, crc, keyboard, names, show_tree=False):
    """Seconds from Ctrl+Alt+V to the verify window's summary; None when there is no such window.

    The file still has its made-up CRC-32 in its name, so the summary is expected to read
    "不一致 1件". The summary is seen by the name-change event of its label, or else by looking
    through the window every 20 ms, whichever comes first.
    """
    session.start(os.path.join(folder, OLD_NAME))
    stem = os.path.splitext(OLD_NAME)[0]
    shown = wait_until("file listed", lambda: find(
        session.main, lambda node: role(node) == "text" and text_of(node) == stem), 20)
    if not shown:
        print_tree(session.main, "main window without the file")
        raise Failure("the main window does not show the file")
    session.activate_main()
    codes = [keyboard.keycode(name) for name in VERIFY_KEY]

    window = None

    def summary_in_tree():
        # Looked for every 20 ms while the check runs: the list of results, one row a file, is
        # left out, so each look costs the program a few questions only.
        if window is None:
            return None
        for node in descendants(window, skip=("tree", "table", "list", "tree table")):
            try:
                text = node.name
            except Exception:
                continue
            if summary_counts(text):
                return text
        return None

    def summary_now():
        if names.seen:
            return names.seen[0][1], names.seen[0][0], "event"
        line = summary_in_tree()
        return (line, time.perf_counter(), "poll") if line else None

    names.listen_for(lambda name: summary_counts(name) is not None)
    held = []
    try:
        for code in codes[:-1]:
            keyboard.key(code, True)
            held.append(code)
        time.sleep(0.05)
        keyed = time.perf_counter()
        keyboard.key(codes[-1], True)
        held.append(codes[-1])
        for code in reversed(held):
            keyboard.key(code, False)
        held = []
        window = wait_until(VERIFY_TITLE, lambda: top_level(session.app, VERIFY_TITLE),
                            VERIFY_WAIT)
        if window is None:
            return None
        found = wait_until("summary", summary_now, 600, done=lambda: bool(names.seen))
    finally:
        for code in reversed(held):
            keyboard.key(code, False)
        names.stop()
    if not found:
        print_tree(window, f"{VERIFY_TITLE} without a summary")
        raise Failure(f"{VERIFY_TITLE} showed no summary")
    line, seen, how = found
    # What the event said, the window shows.
    shown_line = wait_until("summary shown", summary_in_tree, 5)
    if shown_line is None:
        print_tree(window, f"{VERIFY_TITLE} after the summary event {line!r}")
        raise Failure(f"{VERIFY_TITLE} does not show the summary {line!r} it announced")
    counts = summary_counts(shown_line)
    if counts.get("不一致") != 1 or counts.get("一致", 0) != 0:
        raise Failure(f"{VERIFY_TITLE} reads {shown_line!r} for one name whose CRC-32 is wrong")
    actual = f"{crc:08X}"
    if not find(window, lambda node: actual in (node.name or "").upper()):
        log(f"warning: {VERIFY_TITLE} does not show the file's CRC-32 {actual} anywhere")
    if show_tree:
        log(f"{VERIFY_TITLE} summary {shown_line!r}, seen by {how}")
        print_tree(window, f"{VERIFY_TITLE} when done")
    close = find(window, lambda node: role(node) == "push button" and node.name == "閉じる")
    if close is not None:
        press(close)
        wait_until(f"{VERIFY_TITLE} closed",
                   lambda: top_level(session.app, VERIFY_TITLE) is None, 3)
    return seen - keyed


# ---------------------------------------------------------------------------------------------


def make_file(folder, mib):
    path = os.path.join(folder, OLD_NAME)
    with open(path, "wb") as out:
        done = subprocess.run(["head", "-c", str(mib * 1024 * 1024), "/dev/urandom"], stdout=out)
    if done.returncode != 0:
        raise Failure(f"head could not make {path}")
    # Read once, which leaves it in the page cache, and know its CRC-32 to check the results.
    crc = 0
    with open(path, "rb", buffering=0) as source:
        block = bytearray(1 << 20)
        view = memoryview(block)
        while True:
            count = source.readinto(block)
            if not count:
                break
            crc = zlib.crc32(view[:count], crc)
    return path, crc


def ratio(numerator, denominator):
    return numerator / denominator if denominator > 0 else float("nan")


def main():
    parser = argparse.ArgumentParser(description=__doc__.split("\n\n")[0])
    parser.add_argument("mib", nargs="?", type=int, default=2048, help="file size in MiB")
    parser.add_argument("rounds", nargs="?", type=int, default=5)
    parser.add_argument("quillet", nargs="?", default=DEFAULT_QUILLET)
    parser.add_argument("--no-verify-window", action="store_true",
                        help="leave out the verify window (Ctrl+Alt+V)")
    parser.add_argument("--tree", action="store_true",
                        help="print the accessibility trees of the windows in the first round")
    parser.add_argument("--keep", action="store_true", help="keep the temporary folder")
    args = parser.parse_args()
    if args.mib <= 0 or args.rounds <= 0:
        parser.error("MiB and rounds must be positive")
    quillet = os.path.abspath(args.quillet)
    if not os.access(quillet, os.X_OK):
        parser.error(f"no quillet binary at {quillet}")
    for variable in ("DISPLAY", "DBUS_SESSION_BUS_ADDRESS"):
        if not os.environ.get(variable):
            sys.exit(f"checksum_real.py: {variable} is not set; run bench/checksum_real.sh")
    for tool in ("xdotool", "dd", "head"):
        if not shutil.which(tool):
            sys.exit(f"checksum_real.py: needs {tool}")

    root = tempfile.mkdtemp(prefix="quillet-checksum-real-")
    folder = os.path.join(root, "files")
    os.mkdir(folder)
    x_input = None
    names = None
    try:
        x_input = XInput()
        verify_window_wanted = not args.no_verify_window
        if verify_window_wanted:
            names = NameChanges()
        log(f"making {args.mib} MiB in {folder} …")
        path, crc = make_file(folder, args.mib)
        size = os.path.getsize(path)
        log(f"CRC-32 {crc:08X}; quillet {quillet}")
        timeout = 30 + args.mib / 20  # even at 20 MiB/s the run is done by then

        rows = []
        print(f"{args.mib} MiB, {args.rounds} rounds, {size} bytes; seconds:")
        header = (f"{'round':>5} {'read loop':>10} {'--verify':>10} {'window':>10} "
                  f"{'(message)':>10}")
        if verify_window_wanted:
            header += f" {'verify win':>10}"
        print(header, flush=True)
        session_index = 0
        for round_number in range(1, args.rounds + 1):
            first = round_number == 1
            read_s = time_read_loop(path, size)

            session_index += 1
            verify_env = Session(root, quillet, session_index).env
            verify_s = time_verify_command(quillet, path, verify_env, crc)

            session_index += 1
            session = Session(root, quillet, session_index)
            try:
                window_s, message_s = time_window_rename(session, folder, crc, timeout, x_input)
                if args.tree and first:
                    print_tree(session.main, "main window after the rename")
            finally:
                ended = session.quit()
                if ended != "closed":
                    log(f"round {round_number}: quillet did not close with its window; {ended}")
            os.rename(os.path.join(folder, renamed_name(crc)), path)

            verify_window_s = None
            if verify_window_wanted:
                session_index += 1
                session = Session(root, quillet, session_index)
                try:
                    verify_window_s = time_verify_window(session, folder, crc, x_input, names,
                                                         args.tree and first)
                finally:
                    session.quit()
                if verify_window_s is None:
                    log(f"no window titled {VERIFY_TITLE} within {VERIFY_WAIT:.0f} s of "
                        f"{'+'.join(VERIFY_KEY)}: the verify window is left out")
                    verify_window_wanted = False
                if sorted(os.listdir(folder)) != [OLD_NAME]:
                    raise Failure(f"the verify window changed the folder: {os.listdir(folder)}")

            rows.append((read_s, verify_s, window_s, message_s, verify_window_s))
            line = (f"{round_number:>5} {read_s:>10.3f} {verify_s:>10.3f} {window_s:>10.3f} "
                    f"{message_s:>10.3f}")
            if verify_window_s is not None:
                line += f" {verify_window_s:>10.3f}"
            print(line, flush=True)

        def median(column):
            values = [row[column] for row in rows if row[column] is not None]
            return statistics.median(values) if values else None

        read_m, verify_m, window_m, message_m, verify_window_m = (median(i) for i in range(5))
        print()
        print(f"medians: read loop {read_m:.3f} s ({args.mib / read_m:.0f} MiB/s), "
              f"--verify {verify_m:.3f} s, window {window_m:.3f} s"
              + (f", verify window {verify_window_m:.3f} s" if verify_window_m is not None
                 else "")
              + f"; (message) {message_m:.3f} s")
        print("speed relative to the read loop = read loop time / program time "
              "(1.0: as fast as dd; goal >= 0.9):")
        print(f"  read/verify        = {ratio(read_m, verify_m):.3f}   "
              f"`quillet --verify FILE`, start to exit")
        print(f"  read/window        = {ratio(read_m, window_m):.3f}   "
              f"リネームする let go, to the old name leaving the folder")
        if verify_window_m is not None:
            print(f"  read/verify window = {ratio(read_m, verify_window_m):.3f}   "
                  f"{'+'.join(VERIFY_KEY)} in the main window, to the summary of "
                  f"{VERIFY_TITLE}")
        elif args.no_verify_window:
            print("  (verify window left out: --no-verify-window)")
        else:
            print(f"  (verify window not timed: no window titled {VERIFY_TITLE})")
        print("(message): リネームする let go, to the box saying リネームしました。 being found "
              f"(looked for every {POLL * 1000:.0f} ms); for information only.")
    except Failure as failure:
        sys.exit(f"checksum_real.py: {failure}")
    finally:
        if names is not None:
            names.close()
        if x_input is not None:
            x_input.close()
        if args.keep:
            log(f"kept {root}")
        else:
            shutil.rmtree(root, ignore_errors=True)


if __name__ == "__main__":
    main()
