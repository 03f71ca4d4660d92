"""Drives the real game in its own X server for the end-to-end tests.

XServer starts a private Xvfb on a free display; Game starts the rallix
executable in its own folder (where its sounds lie) with a clean environment,
finds its window and presses keys, captures the window pixel for pixel and
reads it back through the rallix_screen tool. Nothing here assumes a display,
a sound card or a home folder of the machine it runs on.
"""

import argparse
import ctypes
import functools
import itertools
import os
import re
import resource
import select
import shlex
import shutil
import signal
import subprocess
import sys
import tempfile
import time
import unittest

# The game's four sounds, which lie beside it.
SOUNDS = ("pon.WAV", "pin.WAV", "pupu.WAV", "pipopin.WAV")

# Every deadline of a wait is this many times longer: 1 for the optimised
# game, more under the sanitizers (the build sets RALLIX_TIME_FACTOR).
TIME_FACTOR = max(1.0, float(os.environ.get("RALLIX_TIME_FACTOR", "1") or 1))

# How long a wait looks for what it waits for, unless told (times
# TIME_FACTOR): far more than a game that works needs on a busy machine, and
# short enough that one that hangs fails at once.
WAIT_SECONDS = 10

# How long one run of a tool (xdotool, rallix_screen...) may take, and
# the address space the screen and audio tools may use: a fault that makes
# one loop or grow fails the test in seconds, saying so.
TOOL_SECONDS = WAIT_SECONDS
TOOL_MEMORY = 2 << 30

# The programs and folders the tests use, from the command line (run_tests).
PATHS = {}

# The exit status of a test run whose tests were all skipped (ctest's
# SKIP_RETURN_CODE).
SKIPPED = 77


class HarnessError(Exception):
    """The harness itself could not do its part (no Xvfb, a tool failed)."""


class WaitTimeout(AssertionError):
    """What a test waited for did not come by its deadline, or the program
    watched ended first: the test fails, saying what it waited for and what
    it saw last."""


def wait_for(what, look, until=bool, timeout=WAIT_SECONDS, gone=None, describe=str):
    """Calls look() until until(seen) holds for what it saw, and returns
    that. Fails with WaitTimeout naming `what` and the last thing seen (as
    describe(seen) puts it) when `timeout` seconds (times TIME_FACTOR) pass
    first, or when gone() returns why the program watched has gone."""
    deadline = deadline_after(timeout)
    while True:
        try:
            seen = look()
        except HarnessError as error:
            why = gone() if gone is not None else None
            if why is None:
                raise
            raise WaitTimeout(f"waited for {what}: {why}") from error
        if until(seen):
            return seen
        why = gone() if gone is not None else None
        if why is None and time.monotonic() > deadline:
            why = f"not within {timeout * TIME_FACTOR:g} s"
        if why is not None:
            raise WaitTimeout(f"waited for {what}: {why}; last seen:\n{describe(seen)}")
        time.sleep(0.02)


@functools.lru_cache(maxsize=None)
def _sanitized(program):
    """Whether the program is built with AddressSanitizer, whose shadow
    memory does not fit under an address space limit."""
    with open(program, "rb") as binary:
        return b"libasan.so" in binary.read()


def _tool_limits(args, env, memory):
    """The environment and the start-up hook that give the tool `memory`
    bytes of address space (under AddressSanitizer, as much resident
    memory), or no bound when `memory` is None."""
    env = dict(os.environ if env is None else env)
    if memory is None:
        return env, None
    if _sanitized(shutil.which(args[0]) or args[0]):
        megabytes = memory >> 20
        env["ASAN_OPTIONS"] = ":".join(part for part in (
            env.get("ASAN_OPTIONS", ""), f"hard_rss_limit_mb={megabytes}",
            f"malloc_limit_mb={megabytes}") if part)
        return env, None
    return env, lambda: resource.setrlimit(resource.RLIMIT_AS, (memory, memory))


def run_tool(args, env=None, timeout=TOOL_SECONDS, memory=None):
    """Runs a tool to its end and returns its CompletedProcess (output as
    bytes). It may take `timeout` seconds (times TIME_FACTOR) and, when
    asked, `memory` bytes of address space (under AddressSanitizer, as much
    resident memory); more fails with a HarnessError saying which."""
    env, limit = _tool_limits(args, env, memory)
    seconds = timeout * TIME_FACTOR
    try:
        result = subprocess.run(list(args), env=env, capture_output=True, timeout=seconds,
                                check=False, preexec_fn=limit)
    except subprocess.TimeoutExpired as expired:
        raise HarnessError(f"{shlex.join(args)} still ran after {seconds:g} s") from expired
    if result.returncode < 0 and memory is not None:
        name = signal.Signals(-result.returncode).name
        raise HarnessError(f"{shlex.join(args)} ended by {name} (it may use "
                           f"{memory >> 20} MB): {result.stderr.decode(errors='replace')}")
    return result


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
            number = self._read_display_number(read_end, timeout=WAIT_SECONDS)
        finally:
            os.close(read_end)
        self.display = f":{number}"
        if self._window_manager:
            self._start_window_manager()
        return self

    def _start_window_manager(self, timeout=10):
        """Starts openbox and waits until it runs its event loop.

        Openbox names itself on the root window (_NET_SUPPORTING_WM_CHECK)
        long before that, while it still reads its configuration and theme.
        A window mapped in between may never be managed: openbox reads the
        map request ahead into a queue of its own, then sleeps until some
        other event comes, and SDL waits for the window to be mapped for
        ever. Its --startup command runs just before its event loop: ready
        once that command has left its mark."""
        self._manager_folder = tempfile.mkdtemp(prefix="rallix-wm-")
        env = game_environment(self._manager_folder, self.display)
        ready = os.path.join(self._manager_folder, "ready")
        self._manager = subprocess.Popen(
            [_require("openbox"), "--sm-disable", "--startup",
             shlex.join([_require("touch"), ready])],
            env=env, stdin=subprocess.DEVNULL, stdout=subprocess.DEVNULL,
            stderr=subprocess.DEVNULL)
        try:
            wait_for("openbox's start", lambda: os.path.exists(ready), timeout=timeout,
                     gone=lambda: None if self._manager.poll() is None else "openbox ended",
                     describe=lambda _: "its --startup command has not run")
        except WaitTimeout:
            self.__exit__(None, None, None)
            raise

    def _read_display_number(self, fd, timeout):
        deadline = deadline_after(timeout)
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
        for process in (self._manager, self._process):
            if process is not None and process.poll() is None:
                process.terminate()
                try:
                    process.wait(timeout=5)
                except subprocess.TimeoutExpired:
                    process.kill()
                    process.wait()
        if self._manager_folder is not None:
            shutil.rmtree(self._manager_folder, ignore_errors=True)
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


# The demos committed with the tests (tests/demo/committed_demos_test.cpp makes
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


def replays_committed_demos(test, replay):
    """Checks that replay(path), a finished run's CompletedProcess, prints for
    each committed demo the line the demo showed as it was recorded."""
    for path, expected in committed_demos():
        result = replay(path)
        test.assertEqual((result.returncode, result.stderr), (0, ""), path)
        test.assertEqual(without_time(result.stdout), expected, path)


# The entry points of the libretro API, which a core shows a frontend, and
# nothing else.
RETRO_API = {f"retro_{name}" for name in (
    "set_environment", "set_video_refresh", "set_audio_sample", "set_audio_sample_batch",
    "set_input_poll", "set_input_state", "init", "deinit", "api_version", "get_system_info",
    "get_system_av_info", "set_controller_port_device", "reset", "run", "serialize_size",
    "serialize", "unserialize", "cheat_reset", "cheat_set", "load_game", "load_game_special",
    "unload_game", "get_region", "get_memory_data", "get_memory_size")}
# The C library of the oldest systems a core loads on: Debian 11, Raspberry
# Pi OS bullseye, Ubuntu 20.04.
OLDEST_GLIBC = (2, 31)


def check_core_needs(test, core, objdump):
    """Checks that a libretro core for Linux loads on the systems of 2020 on
    and shows a frontend its entry points alone: it needs the C library, libm
    and libgcc_s, no C++ library (a frontend's system may have an older one),
    no symbol of a glibc newer than 2.31; it exports the API and nothing
    else, and is stripped. `objdump` reads the core's architecture."""
    def dump(option):
        return subprocess.run([objdump, option, core], capture_output=True, text=True,
                              timeout=60, check=True).stdout

    needed = re.findall(r"^\s*NEEDED\s+(\S+)$", dump("-p"), re.M)
    test.assertEqual([name for name in needed if not re.fullmatch(
        r"lib[cm]\.so\.6|libgcc_s\.so\.1|ld-linux[-\w]*\.so\.\d", name)], [], core)
    dynamic = dump("-T")
    test.assertNotIn("GLIBCXX", dynamic, core)
    newest = max(tuple(int(part) for part in version.split("."))
                 for version in re.findall(r"\bGLIBC_(\d+(?:\.\d+)+)\b", dynamic))
    test.assertLessEqual(newest, OLDEST_GLIBC, core)
    exported = {line.split()[-1] for line in dynamic.splitlines()
                if re.match(r"^[0-9a-f]+ +[gw] ", line) and "*UND*" not in line}
    test.assertEqual(exported, RETRO_API, core)
    test.assertIn("no symbols", dump("--syms"), f"{core} is not stripped")


def run_headless(args, folder, timeout=120):
    """A program run to its end in `folder` with no display to open a
    window on; its CompletedProcess, the output as text."""
    return subprocess.run(list(args), env=game_environment(folder), cwd=folder,
                          capture_output=True, text=True, timeout=timeout, check=False)


class _XClientMessageEvent(ctypes.Structure):
    _fields_ = [("type", ctypes.c_int), ("serial", ctypes.c_ulong),
                ("send_event", ctypes.c_int), ("display", ctypes.c_void_p),
                ("window", ctypes.c_ulong), ("message_type", ctypes.c_ulong),
                ("format", ctypes.c_int), ("data", ctypes.c_long * 5)]


class _XEvent(ctypes.Union):
    _fields_ = [("type", ctypes.c_int), ("xclient", _XClientMessageEvent),
                ("pad", ctypes.c_long * 24)]


_CLIENT_MESSAGE = 33
_SUBSTRUCTURE_NOTIFY_MASK = 1 << 19


@functools.lru_cache(maxsize=None)
def _xlib():
    """The few Xlib calls the harness makes itself, through ctypes."""
    xlib = ctypes.CDLL("libX11.so.6")
    connection, window = ctypes.c_void_p, ctypes.c_ulong
    for name, result, args in (
            ("XOpenDisplay", connection, [ctypes.c_char_p]),
            ("XCloseDisplay", ctypes.c_int, [connection]),
            ("XConnectionNumber", ctypes.c_int, [connection]),
            ("XDefaultRootWindow", window, [connection]),
            ("XInternAtom", ctypes.c_ulong, [connection, ctypes.c_char_p, ctypes.c_int]),
            ("XCreateSimpleWindow", window, [connection, window, ctypes.c_int, ctypes.c_int,
                                             ctypes.c_uint, ctypes.c_uint, ctypes.c_uint,
                                             ctypes.c_ulong, ctypes.c_ulong]),
            ("XMapWindow", ctypes.c_int, [connection, window]),
            ("XDestroyWindow", ctypes.c_int, [connection, window]),
            ("XSelectInput", ctypes.c_int, [connection, window, ctypes.c_long]),
            ("XSendEvent", ctypes.c_int, [connection, window, ctypes.c_int, ctypes.c_long,
                                          ctypes.POINTER(_XEvent)]),
            ("XPending", ctypes.c_int, [connection]),
            ("XNextEvent", ctypes.c_int, [connection, ctypes.POINTER(_XEvent)]),
            ("XFlush", ctypes.c_int, [connection]),
            ("XSync", ctypes.c_int, [connection, ctypes.c_int])):
        function = getattr(xlib, name)
        function.restype, function.argtypes = result, args
    return xlib


class _XConnection:
    """A connection of the harness's own to the X server."""

    def __init__(self, display):
        self.xlib = _xlib()
        self.display = self.xlib.XOpenDisplay(display.encode())
        if not self.display:
            raise HarnessError(f"cannot connect to {display}")
        self.root = self.xlib.XDefaultRootWindow(self.display)

    def close(self):
        self.xlib.XCloseDisplay(self.display)

    def atom(self, name):
        return self.xlib.XInternAtom(self.display, name.encode(), 0)

    def send_protocol(self, window, protocol, *data):
        """Sends the window's program a WM_PROTOCOLS message, as a window
        manager does."""
        event = _XEvent()
        event.xclient.type = _CLIENT_MESSAGE
        event.xclient.window = window
        event.xclient.message_type = self.atom("WM_PROTOCOLS")
        event.xclient.format = 32
        for i, value in enumerate((self.atom(protocol), *data)):
            event.xclient.data[i] = value
        self.xlib.XSendEvent(self.display, window, 0, 0, ctypes.byref(event))
        self.xlib.XFlush(self.display)

    def next_event(self, deadline):
        """The next event for this connection, or None at the deadline."""
        event = _XEvent()
        while not self.xlib.XPending(self.display):
            left = deadline - time.monotonic()
            if left <= 0:
                return None
            select.select([self.xlib.XConnectionNumber(self.display)], [], [], left)
        self.xlib.XNextEvent(self.display, ctypes.byref(event))
        return event


def send_window_close(display, window):
    """Asks the window to close as a window manager's close button does
    (a WM_DELETE_WINDOW client message)."""
    connection = _XConnection(display)
    try:
        connection.send_protocol(window, "WM_DELETE_WINDOW", 0)  # 0: CurrentTime
    finally:
        connection.close()


_pings = itertools.count(1)


def ping_window(display, window, timeout=WAIT_SECONDS):
    """Pings the window's program as a window manager does (_NET_WM_PING)
    and waits for its answer: whether it came within `timeout` seconds
    (times TIME_FACTOR). A program answers from its event loop, in turn: by
    then it has read every event the X server had for it before, a key, a
    new size or a lost focus."""
    connection = _XConnection(display)
    try:
        # The answer goes to the root window for its window manager.
        connection.xlib.XSelectInput(connection.display, connection.root,
                                     _SUBSTRUCTURE_NOTIFY_MASK)
        stamp = next(_pings)
        connection.send_protocol(window, "_NET_WM_PING", stamp, window)
        ping = connection.atom("_NET_WM_PING")
        deadline = deadline_after(timeout)
        while True:
            event = connection.next_event(deadline)
            if event is None:
                return False
            data = event.xclient.data
            if (event.type == _CLIENT_MESSAGE and data[0] == ping and data[1] == stamp
                    and data[2] == window):
                return True
    finally:
        connection.close()


class OtherWindow:
    """A plain window of another client on the same X server, to take the
    keyboard focus away from the game as another program would. `id` is its
    window id while the context lasts."""

    def __init__(self, display):
        self.display = display
        self.id = None
        self._connection = None

    def __enter__(self):
        self._connection = _XConnection(self.display)
        xlib, display = self._connection.xlib, self._connection.display
        self.id = xlib.XCreateSimpleWindow(display, self._connection.root, 0, 0, 200, 200, 0, 0,
                                           0)
        xlib.XMapWindow(display, self.id)
        xlib.XSync(display, 0)
        return self

    def __exit__(self, *exc):
        if self._connection:
            self._connection.xlib.XDestroyWindow(self._connection.display, self.id)
            self._connection.close()
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
        self._watcher = None  # rallix_screen watch, and the window and picture it looks at

    # --- the process ---------------------------------------------------

    def start(self, stderr="file"):
        """Starts the program. Its standard error goes to a file the test
        reads ("file"), or is closed ("closed"), or is a pipe whose reader
        has gone ("broken")."""
        with open(self._stdout_path, "wb") as out, open(self._stderr_path, "wb") as err:
            options = {"stderr": err}
            if stderr == "closed":
                options = {"preexec_fn": lambda: os.close(2)}
            elif stderr == "broken":
                read_end, write_end = os.pipe()
                os.close(read_end)
                options = {"stderr": write_end}
            try:
                self.process = subprocess.Popen([self.rallix, *self.args], cwd=self.cwd,
                                                env=self.env, stdin=subprocess.DEVNULL,
                                                stdout=out, **options)
            finally:
                if stderr == "broken":
                    os.close(write_end)
        return self

    def wait(self, timeout):
        """The exit status, or None if the game still runs `timeout` seconds
        (times TIME_FACTOR) later."""
        try:
            return self.process.wait(timeout=timeout * TIME_FACTOR)
        except subprocess.TimeoutExpired:
            return None

    def running(self):
        return self.process is not None and self.process.poll() is None

    def gone(self):
        """Why the game is no longer there to watch (its end, its status and
        what it said), or None while it runs: a wait for it ends at once."""
        if self.running():
            return None
        return f"the game ended with status {self.process.poll()}; stderr: {self.stderr()!r}"

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

    def wait_for_stderr(self, predicate, what="its standard error", timeout=WAIT_SECONDS):
        """Reads standard error until predicate(text) holds; that text."""
        return wait_for(what, self.stderr, predicate, timeout, describe=repr)

    def wait_for_stdout(self, predicate, what="its standard output", timeout=WAIT_SECONDS):
        """Reads standard output until predicate(text) holds; that text."""
        return wait_for(what, self.stdout, predicate, timeout, describe=repr)

    def stop(self):
        self._stop_watching()
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

    def _x_tool(self, *args):
        result = run_tool(args, env=dict(self.env, DISPLAY=self.display))
        if result.returncode != 0:
            raise HarnessError(f"{' '.join(args)} failed: {result.stderr.decode(errors='replace')}"
                               + (f"; {self.gone()}" if self.process and self.gone() else ""))
        return result.stdout.decode(errors="replace")

    def find_window(self, timeout=WAIT_SECONDS, focus=True):
        """Waits for the window named "Rallix" to be shown and, unless told
        not to, gives it the keyboard."""

        def shown():
            # The game's own window has a class (the program's name); a
            # message box the game shows has the same name but none.
            for window in self.windows_named("^Rallix$"):
                try:
                    wm_class = self._x_tool(_require("xprop"), "-id", str(window), "WM_CLASS")
                except HarnessError:
                    continue  # gone in the meantime
                if "WM_CLASS(STRING) = " in wm_class:
                    return window
            return None

        def hidden(_):
            windows = self.windows_named("^Rallix$", shown_only=False)
            return f"windows named Rallix never shown: {windows}" if windows else "none"

        self.window = wait_for("the game's window", shown, timeout=timeout, gone=self.gone,
                               describe=hidden)
        if focus:
            self.focus()
        return self.window

    def focus(self, window=None):
        """Gives the keyboard to the game's window (or another one)."""
        self._x_tool(_require("xdotool"), "windowfocus", "--sync", str(window or self.window))

    def windows_named(self, pattern, shown_only=True):
        """The ids of the windows whose name matches the regular expression,
        the game's own included: those shown (mapped), unless told."""
        try:
            found = self._x_tool(_require("xdotool"), "search",
                                 *(["--onlyvisible"] if shown_only else []), "--name", pattern)
        except HarnessError:
            return []  # xdotool fails when it finds nothing
        return [int(word) for word in found.split()]

    def window_name(self):
        return self._x_tool(_require("xdotool"), "getwindowname", str(self.window)).strip()

    def wait_for_name(self, name, timeout=WAIT_SECONDS):
        """Reads the window's title until it is `name`."""
        return wait_for(f"the title {name!r}", self.window_name, lambda title: title == name,
                        timeout, self.gone, repr)

    def sync(self):
        """Returns once the game has read every event its window had before:
        the keys pressed, a new size, a lost focus (see ping_window)."""
        if not ping_window(self.display, self.window):
            raise WaitTimeout(f"the game did not answer a ping within "
                              f"{WAIT_SECONDS * TIME_FACTOR:g} s: its event loop is stuck; "
                              f"{self.gone() or 'it still runs'}")

    def properties(self, *names):
        """The window's X properties, as xprop prints them."""
        return self._x_tool(_require("xprop"), "-id", str(self.window), *names)

    def _geometry(self):
        info = self._x_tool(_require("xwininfo"), "-id", str(self.window))
        return dict(line.strip().split(":", 1) for line in info.splitlines() if ":" in line)

    def position(self):
        """(x, y) of the client area's top-left corner on the screen."""
        fields = self._geometry()
        return int(fields["Absolute upper-left X"]), int(fields["Absolute upper-left Y"])

    def client_size(self):
        """(width, height) of the window's client area, from xwininfo."""
        fields = self._geometry()
        return int(fields["Width"]), int(fields["Height"])

    def wait_for_size(self, size, timeout=WAIT_SECONDS):
        """Reads the client area's size until it is `size`."""
        return wait_for(f"the window's size {size}", self.client_size, lambda now: now == size,
                        timeout, self.gone)

    def press(self, key):
        """Presses and releases the key at once, as xdotool's `key` does: the
        game notes a press between two of its frames and counts it, once, in
        the next (a second press of the same key counts once the first has
        been seen, so wait for what the first does before pressing again)."""
        self._x_tool(_require("xdotool"), "key", key)

    def key_down(self, key):
        """Puts the key down until key_up: the game sees it held."""
        self._x_tool(_require("xdotool"), "keydown", key)

    def key_up(self, key):
        self._x_tool(_require("xdotool"), "keyup", key)

    def hold_for(self, key, seconds):
        """Holds the key down for `seconds` at most: one run of xdotool
        presses it, sleeps and lets it go, so it comes up on time on a busy
        machine too. A bound on how far a held key moves something, never a
        wait for it to get there."""
        self._x_tool(_require("xdotool"), "keydown", key, "sleep", f"{seconds:.3f}", "keyup", key)

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
        """The window's pixels as the X server holds them, as the path of a
        picture file (rallix_screen grab)."""
        self._captures += 1
        path = os.path.join(self.folder, f"capture-{self._captures}.bmp")
        self._x_tool(self.screen_tool, "grab", str(self.window), path)
        return path

    def _placement(self):
        """rallix_screen's arguments for where the picture lies in the window."""
        scale, x, y = self.picture
        return [] if self.picture == (1, 0, 0) else ["--scale", str(scale), "--at", f"{x},{y}"]

    def _screen(self, *args):
        return run_tool([self.screen_tool, *args, *self._placement()], memory=TOOL_MEMORY)

    def screen_text(self, capture=None):
        """The 30 lines of 40 characters the window shows."""
        result = self._screen("text", capture or self.capture())
        if result.returncode != 0:
            raise HarnessError(result.stderr.decode(errors="replace"))
        return result.stdout.decode().splitlines()

    def look(self):
        """What the window shows now: its 30 lines of text, and the (x, y) of
        every place where the ball's block shows (the point the game queued
        for the ball; a printed "O" is found as well)."""
        lines, balls = [], []
        for line in self._watch().splitlines():
            if len(lines) < 30:
                lines.append(line)
            elif line.startswith("ball "):
                _, x, y = line.split()
                balls.append((int(x), int(y)))
        return lines, balls

    def _watch(self):
        """One look of rallix_screen watch, kept running for the game's
        window and picture: a look starts no tool, and a test that steers
        sees the window often enough on a busy machine too."""
        if self._watcher and self._watcher[1:] != (self.window, self.picture):
            self._stop_watching()
        if not self._watcher:
            args = [self.screen_tool, "watch", str(self.window), *self._placement()]
            env, limit = _tool_limits(args, dict(self.env, DISPLAY=self.display), TOOL_MEMORY)
            watcher = subprocess.Popen(args, env=env, preexec_fn=limit, bufsize=0,
                                       stdin=subprocess.PIPE, stdout=subprocess.PIPE,
                                       stderr=subprocess.PIPE)
            self._watcher = (watcher, self.window, self.picture)
        watcher = self._watcher[0]
        output = b""
        deadline = deadline_after(TOOL_SECONDS)
        try:
            try:
                watcher.stdin.write(b"\n")
            except BrokenPipeError:
                pass  # it has ended: reading says why
            while not output.endswith(b"\nend\n"):
                left = deadline - time.monotonic()
                if left <= 0 or not select.select([watcher.stdout], [], [], left)[0]:
                    raise HarnessError(f"rallix_screen watch gave no look in "
                                       f"{TOOL_SECONDS * TIME_FACTOR:g} s")
                chunk = os.read(watcher.stdout.fileno(), 1 << 16)
                if not chunk:
                    watcher.wait()
                    raise HarnessError("rallix_screen watch ended: " +
                                       watcher.stderr.read().decode(errors="replace"))
                output += chunk
        except HarnessError:
            # The next look starts it again: a window caught while it
            # repaints shows no picture for a look or two.
            self._stop_watching()
            raise
        return output[:-len(b"end\n")].decode()

    def _stop_watching(self):
        if self._watcher:
            watcher = self._watcher[0]
            watcher.kill()
            watcher.wait()
            for pipe in (watcher.stdin, watcher.stdout, watcher.stderr):
                pipe.close()
            self._watcher = None

    def compare(self, situation, capture=None):
        """(True, report) when the window equals the headless frame exactly."""
        result = self._screen("compare", capture or self.capture(), situation)
        if result.returncode not in (0, 1):
            raise HarnessError(result.stderr.decode(errors="replace"))
        return result.returncode == 0, result.stdout.decode() + result.stderr.decode()

    def wait_for_frame(self, situation, timeout=WAIT_SECONDS):
        """Captures until the window equals the headless frame."""
        wait_for(f"the frame {situation!r} at {self.picture}", lambda: self.compare(situation),
                 lambda result: result[0], timeout, self.gone, lambda result: result[1])

    def wait_for_text(self, predicate, what="the text wanted", timeout=WAIT_SECONDS):
        """Reads the screen until predicate(lines) holds; those lines."""
        return self.wait_for_look(lambda lines, balls: predicate(lines), what, timeout,
                                  how=lambda: (self.screen_text(), []))[0]

    def wait_for_look(self, predicate, what, timeout=WAIT_SECONDS, how=None):
        """Looks at the window until predicate(lines, balls) holds; those
        (lines, balls). A capture that shows no picture where game.picture
        says (caught while the window repaints) is only not yet it."""

        def read():
            try:
                return (how or self.look)()
            except HarnessError as error:
                return [f"(no picture: {error})"], None

        def describe(seen):
            lines, balls = seen
            return "\n".join(lines) + (f"\nballs: {balls}" if balls else "")

        return wait_for(what, read, lambda seen: seen[1] is not None and predicate(*seen),
                        timeout, self.gone, describe)

    def wait_for_play(self, predicate, what, timeout):
        """wait_for_look for what a game in play comes to in its time (a
        point, a stage): fails at once when the screen stands still."""
        stillness = Stillness()

        def in_play(lines, balls):
            stillness.note((lines, balls), lambda seen: "\n".join(seen[0]))
            return predicate(lines, balls)

        return self.wait_for_look(in_play, what, timeout)

    def wait_for_ball_moving(self, inside=lambda place: True, timeout=WAIT_SECONDS):
        """Looks until the ball has been seen in two places (of those where
        inside(place) holds): frames still come. Those places."""
        places = set()

        def two_places(lines, balls):
            places.update(place for place in balls if inside(place))
            return len(places) >= 2

        self.wait_for_look(two_places, "the ball in two places", timeout)
        return places


class Stillness:
    """Watches a game in play, where the ball always moves: note() fails
    with WaitTimeout once what it is shown has stood still for WAIT_SECONDS
    (times TIME_FACTOR), so a game that hangs in a long wait (a point, a
    stage) fails in seconds."""

    def __init__(self):
        self.shown, self.since = None, time.monotonic()

    def note(self, shown, describe=str):
        now = time.monotonic()
        if shown != self.shown:
            self.shown, self.since = shown, now
        elif now - self.since > WAIT_SECONDS * TIME_FACTOR:
            raise WaitTimeout(f"the game stood still for {now - self.since:.0f} s; it "
                              f"shows:\n{describe(shown)}")


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
        result = run_tool([self.audio_tool, "find", recording, *sounds], memory=TOOL_MEMORY)
        if result.returncode != 0:
            raise HarnessError(result.stderr.decode(errors="replace"))
        heard = []
        for line in result.stdout.decode().splitlines():
            name, seconds, frame, frames, whole = line.split()
            heard.append(Heard(name, float(seconds), int(frame), int(frames), whole == "whole"))
        return sorted(heard, key=lambda h: h.frame)

    def wait_for(self, recording, name, count=1, whole=False, gone=None):
        """Searches the growing recording until `count` plays of the sound
        are in it (whole ones, if asked); the plays found then. gone() as
        for wait_for."""

        return wait_for(f"{count} {'whole ' if whole else ''}{name} in the recording",
                        lambda: [h for h in self.find(recording, name) if h.whole or not whole],
                        lambda found: len(found) >= count, gone=gone)


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

    def start_game(self, program="rallix", args=(), focus=True, cwd=None, stderr="file"):
        """Starts the program (a key of PATHS, or a path) beside the game's
        sounds, or in the folder `cwd`, and waits for its window. `stderr` as
        for Game.start."""
        game = Game(self.PATHS.get(program, program), self.PATHS["screen"], display=self.x.display,
                    args=args, cwd=cwd or os.path.dirname(os.path.abspath(self.PATHS["rallix"])))
        self.addCleanup(game.stop)
        game.start(stderr)
        game.find_window(focus=focus)
        return game

    def assertEnds(self, game, status_wanted, within=WAIT_SECONDS):
        """The program ends within `within` seconds (times TIME_FACTOR: a
        bound against hangs, far above what it needs) with the status wanted."""
        status = game.wait(timeout=within)
        self.assertIsNotNone(status, f"still running {within * TIME_FACTOR:g} s later; "
                             f"stderr: {game.stderr()!r}")
        self.assertEqual(status, status_wanted, f"stderr: {game.stderr()!r}")


# The command line every test module takes: the paths of the programs and
# folders under test, each optional; a test names the ones it needs.
OPTIONS = {
    "rallix": "the rallix executable",
    "screen": "the rallix_screen tool",
    "launcher": "the rallix_launcher tool",
    "audio": "the rallix_audio tool",
    "core": "the libretro core, rallix_libretro.so",
    "build": "the configured and built tree (for the package and the pictures)",
    "cmake": "the cmake program",
    "cpack": "the cpack program",
    "packages": "the folder the package tests' .deb was made in",
    "zip": "the Windows zip make windows packs",
    "wine": "the folder of the Wine prefix",
    "web": "the folder make web builds the browser version in",
    "arm": "the folder holding the ARM builds (arm64/, armhf/: scripts/build-arm.sh --tests)",
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
