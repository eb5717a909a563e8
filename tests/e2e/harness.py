"""End-to-end harness: the real slicewell executable on a real X server.

Each Session starts its own Xvfb (a free display picked by the server itself), a private home and
runtime folder (so no test reads or writes the real user's settings), and talks to the program
through the accessibility bus, the way a screen reader would, and through real X key and mouse
events (xdotool). Run it under `dbus-run-session` so the session bus, and with it the
accessibility bus, is private too.
"""

import os
import shutil
import signal
import subprocess
import tempfile
import time

ACCESSIBILITY_ENV = {"QT_LINUX_ACCESSIBILITY_ALWAYS_ON": "1", "QT_ACCESSIBILITY": "1"}


class HarnessError(AssertionError):
    pass


def wait_for(predicate, timeout=10.0, interval=0.05, what="condition"):
    deadline = time.monotonic() + timeout
    while True:
        value = predicate()
        if value:
            return value
        if time.monotonic() > deadline:
            raise HarnessError(f"timed out after {timeout:.0f} s waiting for {what}")
        time.sleep(interval)


class Session:
    def __init__(self, width=1280, height=800, audio=False):
        self.size = (width, height)
        self.audio = audio
        self.pulse = None
        self.keepalive = None
        self.root = tempfile.mkdtemp(prefix="sw-e2e-")
        self.home = os.path.join(self.root, "home")
        self.runtime = os.path.join(self.root, "runtime")
        os.makedirs(self.home)
        os.makedirs(self.runtime, mode=0o700)
        self.xvfb = None
        self.display = None
        self.apps = []

    def __enter__(self):
        read_fd, write_fd = os.pipe()
        self.xvfb = subprocess.Popen(
            ["Xvfb", "-displayfd", str(write_fd), "-screen", "0",
             f"{self.size[0]}x{self.size[1]}x24", "-nolisten", "tcp", "-noreset"],
            pass_fds=(write_fd,), stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        os.close(write_fd)
        with os.fdopen(read_fd) as pipe:
            number = pipe.readline().strip()
        if not number:
            raise HarnessError("Xvfb did not start")
        self.display = ":" + number
        if self.audio:
            self._start_sound_server()
        return self

    def _start_sound_server(self):
        # A private server with a null sink: the program plays for real, and nobody hears it.
        # An idle null sink stalls the first stream for a moment, so a silent stream keeps it busy.
        env = self.env()
        self.pulse = subprocess.Popen(
            ["pulseaudio", "-n", "--daemonize=no", "--exit-idle-time=-1", "-L",
             "module-native-protocol-unix", "-L",
             "module-null-sink sink_name=e2e_sink rate=44100 channels=2 format=s16le"],
            env=env, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        wait_for(lambda: subprocess.run(["pactl", "info"], env=env, capture_output=True)
                 .returncode == 0, 10, what="the private sound server")
        self.keepalive = subprocess.Popen(
            ["pacat", "--playback", "--raw", "--format=s16le", "--rate=44100", "--channels=2",
             "--latency-msec=20", "--device=e2e_sink", "/dev/zero"],
            env=env, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        time.sleep(2.5)

    def __exit__(self, *exc):
        for app in self.apps:
            if app.poll() is None:
                app.kill()
                app.wait()
            for stream in app.output_files:
                stream.close()
        for server in (self.keepalive, self.pulse, self.xvfb):
            if server and server.poll() is None:
                server.terminate()
                try:
                    server.wait(5)
                except subprocess.TimeoutExpired:
                    server.kill()
                    server.wait()
        shutil.rmtree(self.root, ignore_errors=True)

    def env(self, extra=None):
        env = dict(os.environ)
        env.pop("QT_QPA_PLATFORM", None)
        env.pop("PULSE_SERVER", None)
        env.pop("PULSE_RUNTIME_PATH", None)
        env.update(ACCESSIBILITY_ENV)
        env.update({
            "DISPLAY": self.display,
            "HOME": self.home,
            "XDG_RUNTIME_DIR": self.runtime,
            "XDG_CONFIG_HOME": os.path.join(self.home, ".config"),
            "XDG_DATA_HOME": os.path.join(self.home, ".local", "share"),
            "XDG_CACHE_HOME": os.path.join(self.home, ".cache"),
        })
        env.update(extra or {})
        return env

    def start(self, argv, extra_env=None, cwd=None):
        # Output goes to files: a pipe nobody reads would block a talkative program.
        out = open(os.path.join(self.root, f"app{len(self.apps)}.out"), "w+")
        err = open(os.path.join(self.root, f"app{len(self.apps)}.err"), "w+")
        app = subprocess.Popen(argv, env=self.env(extra_env), cwd=cwd, stdout=out, stderr=err,
                               text=True)
        app.output_files = (out, err)
        self.apps.append(app)
        return app

    def run(self, argv, extra_env=None, timeout=30):
        return subprocess.run(argv, env=self.env(extra_env), capture_output=True, text=True,
                              timeout=timeout)

    # X events
    def xdotool(self, *args):
        result = subprocess.run(["xdotool", *args], env=self.env(), capture_output=True,
                                text=True, timeout=15)
        if result.returncode != 0:
            raise HarnessError(f"xdotool {' '.join(args)}: {result.stderr.strip()}")
        return result.stdout.strip()

    def window(self, title_regex, timeout=15):
        def lookup():
            try:
                found = self.xdotool("search", "--onlyvisible", "--name", title_regex)
            except HarnessError:
                return None
            return found.split()[0] if found else None
        return wait_for(lookup, timeout, what=f"a window titled {title_regex!r}")

    def click(self, node, button="1", repeat=1):
        """A real mouse click in the middle of an accessible node."""
        import pyatspi
        box = node.queryComponent().getExtents(pyatspi.DESKTOP_COORDS)
        x, y = box.x + box.width // 2, box.y + box.height // 2
        # "mousemove --sync" waits for a motion, and there is none when the pointer is already
        # there (a second click on the same widget).
        here = self.xdotool("getmouselocation", "--shell").split()
        if f"X={x}" not in here or f"Y={y}" not in here:
            self.xdotool("mousemove", "--sync", str(x), str(y))
        self.xdotool("click", "--repeat", str(repeat), "--delay", "80", button)

    def focus(self, window):
        self.xdotool("windowfocus", "--sync", window)

    def key(self, window, *keys):
        self.focus(window)
        self.xdotool("key", "--clearmodifiers", *keys)

    def screenshot(self, path, window=None):
        target = window if window else "root"
        subprocess.run(["import", "-window", target, path], env=self.env(), check=True,
                       timeout=30)

    # The accessibility tree
    def accessible(self):
        return Accessible(self)


def output(app):
    """What the program wrote so far: (stdout, stderr)."""
    texts = []
    for stream in app.output_files:
        stream.flush()
        stream.seek(0)
        texts.append(stream.read())
    return tuple(texts)


class Accessible:
    """Finds the program's widgets by role and accessible name."""

    def __init__(self, session):
        os.environ["DISPLAY"] = session.display
        import pyatspi  # the session bus must exist before this import
        self.pyatspi = pyatspi

    def application(self, name, timeout=15):
        def lookup():
            desktop = self.pyatspi.Registry.getDesktop(0)
            for i in range(desktop.childCount):
                app = desktop.getChildAtIndex(i)
                if app is not None and app.name == name:
                    return app
            return None
        return wait_for(lookup, timeout, what=f"application {name!r} on the accessibility bus")

    def restarted_application(self, name, timeout=15):
        """The application of a later start of the program: the desktop's cached list still
        holds the one that ended until it is read again."""
        def lookup():
            self.pyatspi.Registry.getDesktop(0).clearCache()
            try:
                return self.application(name, timeout=0.5)
            except HarnessError:
                return None
        return wait_for(lookup, timeout, what=f"a new start of {name!r} on the accessibility bus")

    def find_all(self, root, role=None, name=None):
        found = []
        stack = [root]
        while stack:
            node = stack.pop()
            try:
                if ((role is None or node.getRoleName() == role) and
                        (name is None or node.name == name)):
                    found.append(node)
                # Reversed, so that nodes come out in the order the program shows them.
                stack.extend(node.getChildAtIndex(i) for i in reversed(range(node.childCount)))
            except Exception:  # a widget that went away while we walked the tree
                continue
        return found

    def find_described(self, root, role, description, timeout=10):
        """A node by its accessible description: labels and panels are named by the text they
        show, and described by what they are."""
        def lookup():
            for node in self.find_all(root, role):
                try:
                    if node.description == description:
                        return node
                except Exception:
                    continue
            return None
        return wait_for(lookup, timeout, what=f"{role} described {description!r}")

    def find(self, root, role, name, timeout=10):
        def lookup():
            nodes = self.find_all(root, role, name)
            return nodes[0] if nodes else None
        return wait_for(lookup, timeout, what=f"{role} {name!r}")

    def press(self, node):
        action = node.queryAction()
        for i in range(action.nActions):
            if action.getName(i) in ("press", "Press", "click", "activate", "Toggle", "toggle"):
                action.doAction(i)
                return
        action.doAction(0)

    def text(self, node):
        try:
            text = node.queryText()
            return text.getText(0, -1)
        except NotImplementedError:
            return node.name

    def enabled(self, node):
        return node.getState().contains(self.pyatspi.STATE_SENSITIVE)

    def showing(self, node):
        return node.getState().contains(self.pyatspi.STATE_SHOWING)


def stop_gently(app, timeout=10):
    """Asks the program to quit the way the desktop would and returns its exit status."""
    if app.poll() is None:
        app.send_signal(signal.SIGTERM)
    try:
        return app.wait(timeout)
    except subprocess.TimeoutExpired:
        app.kill()
        raise HarnessError("the program did not end after SIGTERM")


# Shared steps of the tests that drive the whole program.

def write_settings(session, **values):
    """Writes the program's settings store in the session's private home before it starts."""
    folder = os.path.join(session.home, ".config", "Harrowlight")
    os.makedirs(folder, exist_ok=True)
    with open(os.path.join(folder, "Slicewell.conf"), "w") as store:
        store.write("[General]\n")
        for key, value in values.items():
            store.write(f"{key}={value}\n")


def cell_texts(accessible, tree):
    return [cell.name for cell in accessible.find_all(tree, "table cell")]


def rows_of(accessible, tree, columns):
    cells = cell_texts(accessible, tree)
    return [cells[i:i + columns] for i in range(0, len(cells), columns)]


def type_file_name(session, title, path):
    """Answers a save or open dialog the way a user does: the whole name typed into its name
    field (which has the focus when the dialog opens), then Enter."""
    dialog = session.window("^" + title + "$")
    session.focus(dialog)
    session.xdotool("key", "--clearmodifiers", "ctrl+a")
    session.xdotool("type", "--delay", "5", path)
    session.xdotool("key", "--clearmodifiers", "Return")
    wait_for(lambda: not _visible_window(session, "^" + title + "$"), 15,
             what=f"the dialog {title!r} to close")


def _visible_window(session, title_regex):
    try:
        return bool(session.xdotool("search", "--onlyvisible", "--name", title_regex))
    except HarnessError:
        return False


def window_gone(session, title_regex):
    return not _visible_window(session, title_regex)


def visible_windows(session, app):
    """The program's visible X windows; a popup menu, which the accessibility tree leaves out,
    is one of them."""
    try:
        return set(session.xdotool("search", "--onlyvisible", "--pid", str(app.pid)).split())
    except HarnessError:  # xdotool fails when it finds none
        return set()


def open_popup_menu(session, app, node):
    """Right-clicks a widget and waits until the menu it opens is on the screen."""
    before = visible_windows(session, app)
    session.click(node, button="3")
    wait_for(lambda: visible_windows(session, app) - before, 10, what="the popup menu")


def start_program(session, program, sample, names, **settings):
    """Copies the sample into the session's folder under each name, writes the settings (no
    splash, no autoplay, unless told otherwise), starts the program there with the names and
    waits for its main window. Returns the process, the accessibility tree and the program's
    application in it."""
    for name in names:
        shutil.copyfile(sample, os.path.join(session.root, name))
    write_settings(session, **{"CutterAutoPlay": 0, "SplashDelay": 0, **settings})
    app = session.start([os.path.abspath(program), *names], cwd=session.root)
    session.window("^Slicewell")
    accessible = session.accessible()
    return app, accessible, accessible.application("slicewell")
