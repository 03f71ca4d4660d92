"""Drives the real game in its own X server for the end-to-end tests.

XServer starts a private Xvfb on a free display; Game starts the rallix
executable in its own folder (where its sounds lie) with a clean environment,
finds its window and presses keys, captures the window pixel for pixel and
reads it back through the rallix_screen tool. Nothing here assumes a display,
a sound card or a home folder of the machine it runs on.
"""

import ctypes
import os
import select
import shutil
import subprocess
import tempfile
import time

# A key held this long is seen by at least one of the game's 17 ms key
# snapshots, even on a busy machine.
KEY_HOLD_SECONDS = 0.1


class HarnessError(Exception):
    """The harness itself could not do its part (no Xvfb, a tool failed)."""


def _require(program):
    path = shutil.which(program)
    if path is None:
        raise HarnessError(f"{program} is not installed (scripts/install-deps.sh installs it)")
    return path


class XServer:
    """A private Xvfb, on the first free display number, for one test."""

    def __init__(self, width=1024, height=768):
        self.size = f"{width}x{height}x24"
        self.display = None
        self._process = None

    def __enter__(self):
        read_end, write_end = os.pipe()
        try:
            self._process = subprocess.Popen(
                [_require("Xvfb"), "-displayfd", str(write_end), "-screen", "0", self.size,
                 "-nolisten", "tcp", "-noreset"],
                pass_fds=(write_end,), stdin=subprocess.DEVNULL,
                stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        finally:
            os.close(write_end)
        try:
            number = self._read_display_number(read_end, timeout=15)
        finally:
            os.close(read_end)
        self.display = f":{number}"
        return self

    def _read_display_number(self, fd, timeout):
        deadline = time.monotonic() + timeout
        text = b""
        while not text.endswith(b"\n"):
            left = deadline - time.monotonic()
            if left <= 0 or not select.select([fd], [], [], left)[0]:
                self.__exit__(None, None, None)
                raise HarnessError("Xvfb did not report a display number")
            chunk = os.read(fd, 64)
            if not chunk:
                self.__exit__(None, None, None)
                raise HarnessError("Xvfb ended before it was ready")
            text += chunk
        return int(text.strip())

    def __exit__(self, *exc):
        if self._process is not None and self._process.poll() is None:
            self._process.terminate()
            try:
                self._process.wait(timeout=5)
            except subprocess.TimeoutExpired:
                self._process.kill()
                self._process.wait()
        return False


def game_environment(folder, display=None):
    """The environment the game runs in: nothing of the caller's desktop.

    HOME and the XDG folders lie in `folder`; sound goes to a file (SDL's
    disk driver), so no sound card is needed. Sanitizer settings pass through.
    """
    env = {"PATH": os.environ.get("PATH", "/usr/bin:/bin")}
    for name in ("home", "runtime", "config", "cache", "data", "state"):
        os.makedirs(os.path.join(folder, name), mode=0o700, exist_ok=True)
    env.update({
        "HOME": os.path.join(folder, "home"),
        "XDG_RUNTIME_DIR": os.path.join(folder, "runtime"),
        "XDG_CONFIG_HOME": os.path.join(folder, "config"),
        "XDG_CACHE_HOME": os.path.join(folder, "cache"),
        "XDG_DATA_HOME": os.path.join(folder, "data"),
        "XDG_STATE_HOME": os.path.join(folder, "state"),
        "SDL_AUDIODRIVER": "disk",
        "SDL_DISKAUDIOFILE": os.path.join(folder, "audio.raw"),
        "MESA_SHADER_CACHE_DISABLE": "true",
    })
    for name in ("ASAN_OPTIONS", "UBSAN_OPTIONS", "LSAN_OPTIONS"):
        if name in os.environ:
            env[name] = os.environ[name]
    # The X and audio libraries keep a few allocations to the end of the
    # process; leaks in the game's own code are still reported.
    suppressions = os.path.join(os.path.dirname(os.path.abspath(__file__)), "lsan.supp")
    env["LSAN_OPTIONS"] = ":".join(
        part for part in (env.get("LSAN_OPTIONS", ""), f"suppressions={suppressions}",
                          "print_suppressions=0") if part)
    if display is not None:
        env["DISPLAY"] = display
    return env


class _XClientMessageEvent(ctypes.Structure):
    _fields_ = [("type", ctypes.c_int), ("serial", ctypes.c_ulong),
                ("send_event", ctypes.c_int), ("display", ctypes.c_void_p),
                ("window", ctypes.c_ulong), ("message_type", ctypes.c_ulong),
                ("format", ctypes.c_int), ("data", ctypes.c_long * 5)]


class _XEvent(ctypes.Union):
    _fields_ = [("xclient", _XClientMessageEvent), ("pad", ctypes.c_long * 24)]


def send_window_close(display, window):
    """Asks the window to close as a window manager's close button does
    (a WM_DELETE_WINDOW client message)."""
    xlib = ctypes.CDLL("libX11.so.6")
    xlib.XOpenDisplay.restype = ctypes.c_void_p
    xlib.XOpenDisplay.argtypes = [ctypes.c_char_p]
    xlib.XInternAtom.restype = ctypes.c_ulong
    xlib.XInternAtom.argtypes = [ctypes.c_void_p, ctypes.c_char_p, ctypes.c_int]
    xlib.XSendEvent.argtypes = [ctypes.c_void_p, ctypes.c_ulong, ctypes.c_int, ctypes.c_long,
                                ctypes.POINTER(_XEvent)]
    xlib.XFlush.argtypes = [ctypes.c_void_p]
    xlib.XCloseDisplay.argtypes = [ctypes.c_void_p]
    connection = xlib.XOpenDisplay(display.encode())
    if not connection:
        raise HarnessError(f"cannot connect to {display}")
    try:
        event = _XEvent()
        event.xclient.type = 33  # ClientMessage
        event.xclient.window = window
        event.xclient.message_type = xlib.XInternAtom(connection, b"WM_PROTOCOLS", 0)
        event.xclient.format = 32
        event.xclient.data[0] = xlib.XInternAtom(connection, b"WM_DELETE_WINDOW", 0)
        event.xclient.data[1] = 0  # CurrentTime
        xlib.XSendEvent(connection, window, 0, 0, ctypes.byref(event))
        xlib.XFlush(connection)
    finally:
        xlib.XCloseDisplay(connection)


class Game:
    """One run of the rallix executable, started in its own folder."""

    def __init__(self, rallix, screen_tool, display=None, env=None):
        self.rallix = os.path.abspath(rallix)
        self.screen_tool = os.path.abspath(screen_tool)
        self.display = display
        self.folder = tempfile.mkdtemp(prefix="rallix-e2e-")
        self.env = env if env is not None else game_environment(self.folder, display)
        self.window = None
        self.process = None
        self._stdout_path = os.path.join(self.folder, "stdout.txt")
        self._stderr_path = os.path.join(self.folder, "stderr.txt")
        self._captures = 0

    # --- the process ---------------------------------------------------

    def start(self):
        with open(self._stdout_path, "wb") as out, open(self._stderr_path, "wb") as err:
            self.process = subprocess.Popen(
                [self.rallix], cwd=os.path.dirname(self.rallix), env=self.env,
                stdin=subprocess.DEVNULL, stdout=out, stderr=err)
        return self

    def wait(self, timeout):
        """The exit status, or None if the game still runs after `timeout` s."""
        try:
            return self.process.wait(timeout=timeout)
        except subprocess.TimeoutExpired:
            return None

    def running(self):
        return self.process is not None and self.process.poll() is None

    def send_signal(self, number):
        self.process.send_signal(number)

    def stderr(self):
        with open(self._stderr_path, "rb") as err:
            return err.read().decode(errors="replace")

    def stop(self):
        if self.running():
            self.process.kill()
            self.process.wait()
        shutil.rmtree(self.folder, ignore_errors=True)

    def __enter__(self):
        return self

    def __exit__(self, *exc):
        self.stop()
        return False

    # --- the window ----------------------------------------------------

    def _x_tool(self, *args, timeout=10):
        env = dict(self.env, DISPLAY=self.display)
        result = subprocess.run(list(args), env=env, capture_output=True, timeout=timeout,
                                check=False)
        if result.returncode != 0:
            raise HarnessError(f"{' '.join(args)} failed: {result.stderr.decode(errors='replace')}")
        return result.stdout.decode(errors="replace")

    def find_window(self, timeout=10):
        """Waits for the window named "Rallix" and gives it the keyboard."""
        try:
            found = self._x_tool(_require("xdotool"), "search", "--sync", "--name", "^Rallix$",
                                 timeout=timeout)
        except subprocess.TimeoutExpired as error:
            raise HarnessError(f"no window named Rallix within {timeout} s; the game said: "
                               f"{self.stderr()!r}") from error
        self.window = int(found.split()[0])
        self._x_tool(_require("xdotool"), "windowfocus", "--sync", str(self.window))
        return self.window

    def window_name(self):
        return self._x_tool(_require("xdotool"), "getwindowname", str(self.window)).strip()

    def properties(self, *names):
        """The window's X properties, as xprop prints them."""
        return self._x_tool(_require("xprop"), "-id", str(self.window), *names)

    def position(self):
        """(x, y) of the client area's top-left corner on the screen."""
        info = self._x_tool(_require("xwininfo"), "-id", str(self.window))
        fields = dict(line.strip().split(":", 1) for line in info.splitlines() if ":" in line)
        return int(fields["Absolute upper-left X"]), int(fields["Absolute upper-left Y"])

    def client_size(self):
        """(width, height) of the window's client area, from xwininfo."""
        info = self._x_tool(_require("xwininfo"), "-id", str(self.window))
        fields = dict(line.strip().split(":", 1) for line in info.splitlines() if ":" in line)
        return int(fields["Width"]), int(fields["Height"])

    def press(self, *keys):
        """Presses and releases each key in turn, holding it long enough for
        the game's key snapshots to see it."""
        for key in keys:
            self._x_tool(_require("xdotool"), "keydown", key)
            time.sleep(KEY_HOLD_SECONDS)
            self._x_tool(_require("xdotool"), "keyup", key)
            time.sleep(KEY_HOLD_SECONDS)

    def focus_elsewhere(self):
        """Gives the keyboard to the root window: the game is no longer in
        the foreground."""
        info = self._x_tool(_require("xwininfo"), "-root")
        root = next(line.split()[3] for line in info.splitlines() if "Window id:" in line)
        self._x_tool(_require("xdotool"), "windowfocus", str(int(root, 16)))

    def hide_and_show(self):
        """Unmaps and maps the window again: X forgets what it showed, and
        the game must paint it anew."""
        self._x_tool(_require("xdotool"), "windowunmap", "--sync", str(self.window))
        self._x_tool(_require("xdotool"), "windowmap", "--sync", str(self.window))

    def close_window(self):
        send_window_close(self.display, self.window)

    # --- what the window shows -----------------------------------------

    def capture(self):
        """A pixel-exact dump of the window (xwd), as a file path."""
        self._captures += 1
        path = os.path.join(self.folder, f"capture-{self._captures}.xwd")
        self._x_tool(_require("xwd"), "-id", str(self.window), "-silent", "-out", path)
        return path

    def _screen(self, *args):
        return subprocess.run([self.screen_tool, *args], capture_output=True, check=False,
                              timeout=30)

    def screen_text(self, capture=None):
        """The 30 lines of 40 characters the window shows."""
        result = self._screen("text", capture or self.capture())
        if result.returncode != 0:
            raise HarnessError(result.stderr.decode(errors="replace"))
        return result.stdout.decode().splitlines()

    def compare(self, situation, capture=None):
        """(True, report) when the window equals the headless frame exactly."""
        result = self._screen("compare", capture or self.capture(), situation)
        if result.returncode not in (0, 1):
            raise HarnessError(result.stderr.decode(errors="replace"))
        return result.returncode == 0, result.stdout.decode()

    def wait_for_frame(self, situation, timeout=5):
        """Captures until the window equals the headless frame; the last
        comparison's (result, report)."""
        deadline = time.monotonic() + timeout
        while True:
            same, report = self.compare(situation)
            if same or time.monotonic() > deadline or not self.running():
                return same, report
            time.sleep(0.05)

    def wait_for_text(self, predicate, timeout=5):
        """Reads the screen until predicate(lines) holds; the last lines."""
        deadline = time.monotonic() + timeout
        while True:
            lines = self.screen_text()
            if predicate(lines) or time.monotonic() > deadline or not self.running():
                return lines
            time.sleep(0.05)
