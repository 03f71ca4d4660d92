"""Drives the real game in its own X server for the end-to-end tests.

XServer starts a private Xvfb on a free display; Game starts the rallix
executable in its own folder (where its sounds lie) with a clean environment,
finds its window and presses keys, captures the window pixel for pixel and
reads it back through the rallix_screen tool. Nothing here assumes a display,
a sound card or a home folder of the machine it runs on.
"""

import argparse
import ctypes
import os
import re
import select
import shutil
import subprocess
import sys
import tempfile
import time
import unittest

# A key held this long is seen by at least one of the game's 17 ms key
# snapshots, even on a busy machine.
KEY_HOLD_SECONDS = 0.1

# Every deadline of a wait is this many times longer: 1 for the optimised
# game, more under the sanitizers (the build sets RALLIX_TIME_FACTOR).
TIME_FACTOR = max(1.0, float(os.environ.get("RALLIX_TIME_FACTOR", "1") or 1))

# The programs and folders the tests use, from the command line (run_tests).
PATHS = {}

# The exit status of a test run whose tests were all skipped (ctest's
# SKIP_RETURN_CODE).
SKIPPED = 77


class HarnessError(Exception):
    """The harness itself could not do its part (no Xvfb, a tool failed)."""


def sanitize(test):
    """Marks a test method to run in the sanitizer build too (the few that
    take the desktop platform's code through its paces there)."""
    test.SANITIZE = True
    return test


def deadline_after(seconds):
    """The time.monotonic() reading `seconds` from now, stretched by
    TIME_FACTOR."""
    return time.monotonic() + seconds * TIME_FACTOR


def missing(what):
    """A tool or file the test needs is missing: under CI (CI=true) the test
    fails saying so; elsewhere it is skipped."""
    message = f"{what} is missing (scripts/install-deps.sh installs the tools)"
    if os.environ.get("CI", "").lower() == "true":
        raise HarnessError(message)
    raise unittest.SkipTest(message)


def _require(program):
    path = shutil.which(program)
    if path is None:
        missing(program)
    return path


class XServer:
    """A private Xvfb, on the first free display number, for one test; with
    a window manager (openbox) on it when asked, as on a desktop, for what
    only a window manager does (making a window fullscreen)."""

    def __init__(self, width=1024, height=768, window_manager=False):
        self.size = f"{width}x{height}x24"
        self.display = None
        self._process = None
        self._window_manager = window_manager
        self._manager = None
        self._manager_folder = None

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
        if self._window_manager:
            self._start_window_manager()
        return self

    def _start_window_manager(self, timeout=10):
        self._manager_folder = tempfile.mkdtemp(prefix="rallix-wm-")
        env = game_environment(self._manager_folder, self.display)
        self._manager = subprocess.Popen(
            [_require("openbox"), "--sm-disable"], env=env, stdin=subprocess.DEVNULL,
            stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        # Ready once it names itself on the root window.
        deadline = time.monotonic() + timeout
        while True:
            found = subprocess.run([_require("xprop"), "-root", "_NET_SUPPORTING_WM_CHECK"],
                                   env=env, capture_output=True, text=True, check=False)
            if "window id" in found.stdout:
                return
            if time.monotonic() > deadline or self._manager.poll() is not None:
                self.__exit__(None, None, None)
                raise HarnessError("the window manager did not start")
            time.sleep(0.02)

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
        if self._manager is not None and self._manager.poll() is None:
            self._manager.terminate()
            self._manager.wait()
        if self._manager_folder is not None:
            shutil.rmtree(self._manager_folder, ignore_errors=True)
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


# The demos committed with the tests (tests/committed_demos_test.cpp makes
# them), and in expected.txt what a timed replay prints for each.
DEMO_FOLDER = os.path.normpath(
    os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "data", "demos"))


def committed_demos():
    """(path, line) for each committed demo: the line a timed replay of it
    prints, without the time it took."""
    with open(os.path.join(DEMO_FOLDER, "expected.txt"), encoding="utf-8") as expected:
        lines = [line.rstrip("\n") for line in expected if line.strip() and line[0] != "#"]
    return [(os.path.join(DEMO_FOLDER, name), printed)
            for name, printed in (line.split(": ", 1) for line in lines)]


def without_time(line):
    """A timed replay's line without the time it took (", 0.123 s")."""
    return re.sub(r", [0-9]+\.[0-9]{3} s,", ",", line.strip())


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


class OtherWindow:
    """A plain window of another client on the same X server, to take the
    keyboard focus away from the game as another program would. `id` is its
    window id while the context lasts."""

    def __init__(self, display):
        self.display = display
        self.id = None
        self._xlib = None
        self._connection = None

    def __enter__(self):
        xlib = ctypes.CDLL("libX11.so.6")
        xlib.XOpenDisplay.restype = ctypes.c_void_p
        xlib.XOpenDisplay.argtypes = [ctypes.c_char_p]
        xlib.XDefaultRootWindow.restype = ctypes.c_ulong
        xlib.XDefaultRootWindow.argtypes = [ctypes.c_void_p]
        xlib.XCreateSimpleWindow.restype = ctypes.c_ulong
        xlib.XCreateSimpleWindow.argtypes = [ctypes.c_void_p, ctypes.c_ulong, ctypes.c_int,
                                             ctypes.c_int, ctypes.c_uint, ctypes.c_uint,
                                             ctypes.c_uint, ctypes.c_ulong, ctypes.c_ulong]
        for name in ("XMapWindow", "XDestroyWindow"):
            getattr(xlib, name).argtypes = [ctypes.c_void_p, ctypes.c_ulong]
        xlib.XSync.argtypes = [ctypes.c_void_p, ctypes.c_int]
        xlib.XCloseDisplay.argtypes = [ctypes.c_void_p]
        self._connection = xlib.XOpenDisplay(self.display.encode())
        if not self._connection:
            raise HarnessError(f"cannot connect to {self.display}")
        self._xlib = xlib
        root = xlib.XDefaultRootWindow(self._connection)
        self.id = xlib.XCreateSimpleWindow(self._connection, root, 0, 0, 200, 200, 0, 0, 0)
        xlib.XMapWindow(self._connection, self.id)
        xlib.XSync(self._connection, 0)
        return self

    def __exit__(self, *exc):
        if self._connection:
            self._xlib.XDestroyWindow(self._connection, self.id)
            self._xlib.XCloseDisplay(self._connection)
            self._connection = None
        return False


class Game:
    """One run of the rallix executable, started in its own folder."""

    def __init__(self, rallix, screen_tool, display=None, env=None, args=(), cwd=None):
        self.rallix = os.path.abspath(rallix)
        self.args = list(args)
        # The game finds its sounds in its working directory.
        self.cwd = os.path.abspath(cwd) if cwd else os.path.dirname(self.rallix)
        self.screen_tool = os.path.abspath(screen_tool)
        self.display = display
        self.folder = tempfile.mkdtemp(prefix="rallix-e2e-")
        self.env = env if env is not None else game_environment(self.folder, display)
        self.window = None
        self.process = None
        # Where the game's picture lies in the window: (scale, x, y).
        self.picture = (1, 0, 0)
        self._stdout_path = os.path.join(self.folder, "stdout.txt")
        self._stderr_path = os.path.join(self.folder, "stderr.txt")
        self._captures = 0

    # --- the process ---------------------------------------------------

    def start(self, stderr="file", commands=False):
        """Starts the program. Its standard error goes to a file the test
        reads (stderr="file"), or is closed ("closed"), or is a pipe whose
        reader has gone ("broken"). With `commands`, its standard input is a
        pipe that tell() writes lines to."""
        stdin = subprocess.PIPE if commands else subprocess.DEVNULL
        with open(self._stdout_path, "wb") as out, open(self._stderr_path, "wb") as err:
            if stderr == "closed":
                self.process = subprocess.Popen(
                    [self.rallix, *self.args], cwd=self.cwd, env=self.env,
                    stdin=stdin, stdout=out, preexec_fn=lambda: os.close(2))
            elif stderr == "broken":
                read_end, write_end = os.pipe()
                os.close(read_end)
                try:
                    self.process = subprocess.Popen(
                        [self.rallix, *self.args], cwd=self.cwd, env=self.env,
                        stdin=stdin, stdout=out, stderr=write_end)
                finally:
                    os.close(write_end)
            else:
                self.process = subprocess.Popen(
                    [self.rallix, *self.args], cwd=self.cwd, env=self.env,
                    stdin=stdin, stdout=out, stderr=err)
        return self

    def tell(self, *lines):
        """Writes each line to the program's standard input."""
        for line in lines:
            self.process.stdin.write(line.encode() + b"\n")
        self.process.stdin.flush()

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

    def stdout(self):
        with open(self._stdout_path, "rb") as out:
            return out.read().decode(errors="replace")

    def audio_recording(self):
        """The file SDL's disk audio driver writes the game's sound into."""
        return self.env.get("SDL_DISKAUDIOFILE")

    def wait_for_stderr(self, predicate, timeout=5):
        """Reads standard error until predicate(text) holds; the last text."""
        deadline = time.monotonic() + timeout
        while True:
            text = self.stderr()
            if predicate(text) or time.monotonic() > deadline:
                return text
            time.sleep(0.05)

    def stop(self):
        if self.running():
            self.process.kill()
            self.process.wait()
        if self.process is not None and self.process.stdin is not None:
            self.process.stdin.close()
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

    def find_window(self, timeout=10, focus=True):
        """Waits for the window named "Rallix" and, unless told not to, gives
        it the keyboard."""
        deadline = time.monotonic() + timeout
        while True:
            # The game's own window has a class (the program's name); a
            # message box the game shows has the same name but none.
            for window in self.windows_named("^Rallix$"):
                try:
                    wm_class = self._x_tool(_require("xprop"), "-id", str(window), "WM_CLASS")
                except HarnessError:
                    continue  # gone in the meantime
                if "WM_CLASS(STRING) = " in wm_class:
                    self.window = window
                    if focus:
                        self.focus()
                    return window
            if time.monotonic() > deadline:
                raise HarnessError(f"no window named Rallix within {timeout} s; the game "
                                   f"said: {self.stderr()!r}")
            time.sleep(0.02)

    def focus(self, window=None):
        """Gives the keyboard to the game's window (or another one)."""
        self._x_tool(_require("xdotool"), "windowfocus", "--sync", str(window or self.window))

    def windows_named(self, pattern):
        """The ids of the mapped windows whose name matches the regular
        expression, the game's own included."""
        try:
            found = self._x_tool(_require("xdotool"), "search", "--onlyvisible", "--name",
                                 pattern)
        except HarnessError:
            return []  # xdotool fails when it finds nothing
        return [int(word) for word in found.split()]

    def window_name(self):
        return self._x_tool(_require("xdotool"), "getwindowname", str(self.window)).strip()

    def wait_for_name(self, name, timeout=5):
        """Reads the window's title until it is `name`; the last title."""
        deadline = time.monotonic() + timeout
        while True:
            title = self.window_name()
            if title == name or time.monotonic() > deadline:
                return title
            time.sleep(0.02)

    def tap(self, key):
        """Presses and releases the key at once: no hold at all."""
        self._x_tool(_require("xdotool"), "key", key)

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

    def key_down(self, key):
        """Puts the key down until key_up: the game sees it held."""
        self._x_tool(_require("xdotool"), "keydown", key)

    def key_up(self, key):
        self._x_tool(_require("xdotool"), "keyup", key)

    def hold(self, key, seconds):
        """Holds the key down for about `seconds`."""
        self.key_down(key)
        try:
            time.sleep(seconds)
        finally:
            self.key_up(key)

    def send_key_to(self, window, key):
        """Gives the keyboard to `window` and presses the key there."""
        self.focus(window)
        self._x_tool(_require("xdotool"), "key", "--window", str(window), key)

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

    def resize(self, width, height):
        """Gives the window another size from outside, as a tiling window
        manager does whatever size the game asked for."""
        self._x_tool(_require("xdotool"), "windowsize", "--sync", str(self.window), str(width),
                     str(height))

    def close_window(self, window=None):
        send_window_close(self.display, window or self.window)

    # --- what the window shows -----------------------------------------

    def capture(self):
        """A pixel-exact dump of the window (xwd), as a file path."""
        self._captures += 1
        path = os.path.join(self.folder, f"capture-{self._captures}.xwd")
        self._x_tool(_require("xwd"), "-id", str(self.window), "-silent", "-out", path)
        return path

    def _screen(self, *args):
        scale, x, y = self.picture
        placement = [] if self.picture == (1, 0, 0) else ["--scale", str(scale), "--at", f"{x},{y}"]
        return subprocess.run([self.screen_tool, *args, *placement], capture_output=True,
                              check=False, timeout=30)

    def screen_text(self, capture=None):
        """The 30 lines of 40 characters the window shows."""
        result = self._screen("text", capture or self.capture())
        if result.returncode != 0:
            raise HarnessError(result.stderr.decode(errors="replace"))
        return result.stdout.decode().splitlines()

    def look(self, capture=None):
        """What the window shows: its 30 lines of text, and the (x, y) of every
        place where the ball's block shows (the point the game queued for the
        ball; a printed "O" is found as well)."""
        result = self._screen("look", capture or self.capture())
        if result.returncode != 0:
            raise HarnessError(result.stderr.decode(errors="replace"))
        lines, balls = [], []
        for line in result.stdout.decode().splitlines():
            if len(lines) < 30:
                lines.append(line)
            elif line.startswith("ball "):
                _, x, y = line.split()
                balls.append((int(x), int(y)))
        return lines, balls

    def compare(self, situation, capture=None):
        """(True, report) when the window equals the headless frame exactly."""
        result = self._screen("compare", capture or self.capture(), situation)
        if result.returncode not in (0, 1):
            raise HarnessError(result.stderr.decode(errors="replace"))
        return result.returncode == 0, result.stdout.decode() + result.stderr.decode()

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


class Heard:
    """One place where a sound begins in a recording of the game's audio."""

    def __init__(self, name, seconds, frame, frames, whole):
        self.name = name
        self.seconds = seconds  # from the start of the recording
        self.frame = frame
        self.frames = frames  # frames of the sound found there unchanged
        self.whole = whole

    def __repr__(self):
        return f"{self.name}@{self.seconds:.3f}s{'' if self.whole else ' (cut)'}"


class SoundFinder:
    """Finds the game's sounds in what SDL's disk audio driver recorded, with
    the rallix_audio tool: each WAV file is converted exactly as the game
    converts it for its device, and found where those samples lie unchanged.
    """

    def __init__(self, audio_tool, sound_folder):
        self.audio_tool = os.path.abspath(audio_tool)
        self.sound_folder = sound_folder

    def find(self, recording, *names):
        """Every place each named sound begins, in the order of the recording."""
        sounds = [os.path.join(self.sound_folder, name) for name in names]
        result = subprocess.run([self.audio_tool, "find", recording, *sounds],
                                capture_output=True, check=False, timeout=60)
        if result.returncode != 0:
            raise HarnessError(result.stderr.decode(errors="replace"))
        heard = []
        for line in result.stdout.decode().splitlines():
            name, seconds, frame, frames, whole = line.split()
            heard.append(Heard(name, float(seconds), int(frame), int(frames), whole == "whole"))
        return sorted(heard, key=lambda h: h.frame)

    def wait_for(self, recording, name, count=1, timeout=10, whole=False):
        """Searches the growing recording until `count` plays of the sound
        are in it (whole ones, if asked); the plays found then."""
        deadline = time.monotonic() + timeout
        while True:
            found = [h for h in self.find(recording, name) if h.whole or not whole]
            if len(found) >= count or time.monotonic() > deadline:
                return found
            time.sleep(0.02)


class GameTestCase(unittest.TestCase):
    """A test that runs programs of the game in a private X server, one for
    the whole test. PATHS maps the option names of run_tests to their paths.

    What ctest makes of a test case (tests/e2e/list_tests.py reads these):
    SANITIZE, whether it runs in the sanitizer build too; TIMEOUT, ctest's
    bound in seconds; SERIAL, whether it must run alone; LOCK, a resource
    it shares with others (one at a time); FIXTURES, what must be made
    first."""

    PATHS = PATHS
    SCREEN = (1024, 768)
    WINDOW_MANAGER = False

    def setUp(self):
        self.x = XServer(*self.SCREEN, window_manager=self.WINDOW_MANAGER)
        self.x.__enter__()
        self.addCleanup(self.x.__exit__, None, None, None)

    def start_game(self, program="rallix", args=(), focus=True, cwd=None, stderr="file",
                   commands=False):
        """Starts the program (a key of PATHS) beside the game's sounds, or
        in the folder `cwd`, and waits for its window. `stderr` and
        `commands` as for Game.start."""
        game = Game(self.PATHS[program], self.PATHS["screen"], display=self.x.display,
                    args=args, cwd=cwd or os.path.dirname(os.path.abspath(self.PATHS["rallix"])))
        self.addCleanup(game.stop)
        game.start(stderr, commands)
        game.find_window(focus=focus)
        return game

    def assertEnds(self, game, status_wanted, within):
        """The program ends within `within` seconds (a bound against hangs,
        far above what it needs) with the status wanted."""
        status = game.wait(timeout=within)
        self.assertIsNotNone(status, f"still running {within} s later; stderr: {game.stderr()!r}")
        self.assertEqual(status, status_wanted, f"stderr: {game.stderr()!r}")


# The command line every test module takes: the paths of the programs and
# folders under test, each optional; a test names the ones it needs.
OPTIONS = {
    "rallix": "the rallix executable",
    "screen": "the rallix_screen tool",
    "launcher": "the rallix_launcher tool",
    "audio": "the rallix_audio tool",
    "build": "the configured and built tree (for the package and the pictures)",
    "cmake": "the cmake program",
    "cpack": "the cpack program",
    "packages": "the folder the package tests' .deb was made in",
    "zip": "the Windows zip make windows packs",
    "wine": "the folder of the Wine prefix",
    "web": "the folder make web builds the browser version in",
    "version": "the project's version",
}


def need(*names):
    """The paths of the named options, which the test cannot do without."""
    absent = [name for name in names if not PATHS.get(name)]
    if absent:
        raise HarnessError("run without " + ", ".join(f"--{name}" for name in absent))
    return [PATHS[name] for name in names]


def run_tests(module_name, description):
    """The command line of a test module: the paths under test (--NAME PATH
    for the names of OPTIONS), then test names to run (all when none).
    Returns the exit status: 0, 1 when a test failed, SKIPPED when every test
    run was skipped."""
    parser = argparse.ArgumentParser(description=description,
                                     formatter_class=argparse.RawDescriptionHelpFormatter)
    for name, meaning in OPTIONS.items():
        parser.add_argument(f"--{name}", help=meaning)
    parser.add_argument("tests", nargs="*", help="TestClass.test_name; all when none")
    args = parser.parse_args()
    PATHS.update({name: getattr(args, name) for name in OPTIONS if getattr(args, name)})
    return run_suite(module_name, args.tests)


def run_suite(module_name, names):
    """Runs the named tests of the module (all when none) and prints how many
    passed. Returns the exit status."""
    module = sys.modules[module_name]
    loader = unittest.defaultTestLoader
    suite = (loader.loadTestsFromNames(names, module) if names
             else loader.loadTestsFromModule(module))
    result = unittest.TextTestRunner(verbosity=2).run(suite)
    failed = len(result.failures) + len(result.errors)
    print(f"{result.testsRun - failed - len(result.skipped)} passed, {failed} failed, "
          f"{len(result.skipped)} skipped")
    if not result.wasSuccessful():
        return 1
    return SKIPPED if result.testsRun and len(result.skipped) == result.testsRun else 0
