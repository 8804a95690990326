# The real program on a virtual X server of its own, for the reliability scripts: one
# Xvfb for a whole run (starting one per round would cost more than the round), a program
# folder with the settings file beside the program (so the program keeps its settings
# there) and a runtime folder of its own (the single-instance lock), and the few mouse
# and keyboard actions the scripts need, sent with xdotool.

import os
import shutil
import signal
import subprocess
import tempfile
import time

# The main window's title in either language of the program.
PROGRAM_TITLE = "^(アンポラ|Ampora)$"

# The main window's client area is 7785 x 3990 twips under the menu bar; the transport
# bar's four buttons share 3570 twips from 3585 twips left, 315 twips below the top.
TWIPS_PER_PIXEL = 15
CLIENT_HEIGHT_PX = 3990 // TWIPS_PER_PIXEL
TRANSPORT = {"start": 0, "bypass": 1, "tuner": 2, "store": 3}

SOURCE_ROOT = os.path.dirname(os.path.dirname(os.path.dirname(os.path.abspath(__file__))))


def program_path():
    """The program to run: $AMPORA_PROGRAM (the test suite names its build's), else the
    one in build/$AMPORA_BUILD (build/normal when unset)."""
    return os.environ.get("AMPORA_PROGRAM") or os.path.join(
        SOURCE_ROOT, "build", os.environ.get("AMPORA_BUILD", "normal"), "src/app/ampora")


def build_when_missing(program):
    """A clean clone runs each script with one command: the packages and build/normal
    are made first when the program is missing."""
    if os.access(program, os.X_OK):
        return
    print(f"{program} is missing: installing the packages and building build/normal",
          flush=True)
    for command in (["scripts/install-deps"], ["scripts/build", "normal"]):
        subprocess.run(command, cwd=SOURCE_ROOT, check=False)


def transport_button_point(button, window_height):
    """Where to click a transport button, relative to the window (which holds the menu
    bar above the client area)."""
    left = 3585 + 3570 * (TRANSPORT[button] + 0.5) / 4
    return (round(left / TWIPS_PER_PIXEL),
            window_height - CLIENT_HEIGHT_PX + round((315 + 315 / 2) / TWIPS_PER_PIXEL))


class VirtualDisplay:
    """An Xvfb server on a free display number, for as long as the object lives."""

    def __init__(self):
        read_end, write_end = os.pipe()
        self.process = subprocess.Popen(
            ["Xvfb", "-displayfd", str(write_end), "-screen", "0", "1280x800x24", "-noreset",
             "-nolisten", "tcp"],
            pass_fds=(write_end,), stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        os.close(write_end)
        with os.fdopen(read_end) as answer:
            number = answer.readline().strip()
        if not number:
            raise RuntimeError("Xvfb did not start")
        self.display = ":" + number

    def close(self):
        self.process.terminate()
        self.process.wait()


def settings_file_text(sections):
    """Settings file text from [(section, [(key, value), ...]), ...]."""
    lines = []
    for name, keys in sections:
        lines.append(f"[{name}]")
        lines.extend(f"{key}={value}" for key, value in keys)
    return "\n".join(lines) + "\n"


class ProgramFolder:
    """A copy of the program in a folder of its own, with its settings file beside it."""

    def __init__(self, program, settings_text):
        self.root = tempfile.mkdtemp(prefix="ampora-reliability-")
        self.app = os.path.join(self.root, "app")
        os.makedirs(self.app, mode=0o700)
        os.makedirs(os.path.join(self.root, "runtime"), mode=0o700)
        self.program = os.path.join(self.app, "ampora")
        shutil.copy2(program, self.program)
        self.settings = os.path.join(self.app, "ampora.ini")
        self.write_settings(settings_text)

    def write_settings(self, text):
        with open(self.settings, "w", encoding="utf-8") as f:
            f.write(text)

    def read_settings(self):
        with open(self.settings, "rb") as f:
            return f.read()

    def environment(self, display, extra=None):
        env = dict(os.environ)
        env.pop("QT_QPA_PLATFORM", None)
        env.update({
            "DISPLAY": display,
            "XDG_RUNTIME_DIR": os.path.join(self.root, "runtime"),
            "XDG_CONFIG_HOME": os.path.join(self.root, "config"),
            # xdotool matches titles in the locale's encoding: the Japanese title needs
            # a UTF-8 locale.
            "LC_ALL": "C.UTF-8",
            # An ASan build: what system libraries keep is not the program's leak.
            "LSAN_OPTIONS": ":".join(filter(None, [
                env.get("LSAN_OPTIONS"),
                "suppressions=" + os.path.join(SOURCE_ROOT, "tests/lsan.supp")])),
        })
        env.update(extra or {})
        return env

    def remove(self):
        shutil.rmtree(self.root, ignore_errors=True)


class RunningProgram:
    """One run of the program on the display, its output in log."""

    def __init__(self, folder, display, arguments=(), extra_env=None, log=None):
        self.display = display
        self.env = folder.environment(display, extra_env)
        self.process = subprocess.Popen(
            [folder.program, *arguments], cwd=folder.app, env=self.env,
            stdout=log or subprocess.DEVNULL, stderr=subprocess.STDOUT)
        self.window = None

    def xdotool(self, *arguments, timeout=20):
        """xdotool's output, or None when it failed or did not answer in time."""
        try:
            done = subprocess.run(["xdotool", *arguments], env=self.env, timeout=timeout,
                                  capture_output=True, text=True)
        except subprocess.TimeoutExpired:
            return None
        return done.stdout if done.returncode == 0 else None

    def find_windows(self, title):
        """The ids of the program's visible windows whose title contains title."""
        found = self.xdotool("search", "--onlyvisible", "--pid", str(self.process.pid),
                             "--name", title, timeout=10)
        return found.split() if found else []

    def wait_for_window(self, timeout=30):
        """Waits for the main window to show; False when the program ended or the time
        ran out first."""
        until = time.monotonic() + timeout
        while time.monotonic() < until and self.process.poll() is None:
            windows = self.find_windows(PROGRAM_TITLE)
            if windows:
                self.window = windows[0]
                return True
            time.sleep(0.05)
        return False

    def window_height(self):
        geometry = self.xdotool("getwindowgeometry", "--shell", self.window)
        if geometry is None:
            return None
        values = dict(line.split("=", 1) for line in geometry.split())
        return int(values["HEIGHT"])

    def click_transport(self, button):
        """Clicks a transport button; False when the window did not take the click."""
        height = self.window_height()
        if height is None:
            return False
        x, y = transport_button_point(button, height)
        return self.xdotool("mousemove", "--window", self.window, str(x), str(y),
                            "click", "1") is not None

    def press_key(self, key):
        """Presses and releases a key on the window under the pointer."""
        return self.xdotool("key", "--delay", "0", key) is not None

    def ui_thread_wakes(self):
        """How often the user-interface thread (the process's first) has woken up."""
        try:
            with open(f"/proc/{self.process.pid}/task/{self.process.pid}/status") as status:
                for line in status:
                    if line.startswith("voluntary_ctxt_switches:"):
                        return int(line.split()[1])
        except OSError:
            pass
        return None

    def answers(self):
        """Whether the window is still there and the program still works its events: the
        X server knows the window, and the user-interface thread keeps waking up for its
        5 ms timer (a thread stuck in a blocking call wakes no more). The X server alone
        would answer for a program that hangs."""
        if self.xdotool("getwindowname", self.window, timeout=10) is None:
            return False
        before = self.ui_thread_wakes()
        time.sleep(0.5)
        after = self.ui_thread_wakes()
        return before is not None and after is not None and after - before >= 10

    def alive(self):
        return self.process.poll() is None

    def kill(self, sig=signal.SIGKILL):
        if self.alive():
            self.process.send_signal(sig)
        return self.process.wait()

    def end(self, timeout=20):
        """Ends the program as a logout does; its exit status, or None when it hung."""
        if self.alive():
            self.process.send_signal(signal.SIGTERM)
        try:
            return self.process.wait(timeout=timeout)
        except subprocess.TimeoutExpired:
            self.process.kill()
            self.process.wait()
            return None
