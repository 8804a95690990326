# Drives the real program that tools/runner/program-runner.sh runs, for the reliability
# scripts written in Python. The runner owns the virtual X server, the program folder, the
# JACK server, the environment and the points to click; this module starts the program in
# that folder and sends it the few mouse and keyboard actions the scripts need, with
# xdotool. A script calls run_under_runner first: started by hand, it starts itself again
# inside the runner.

import os
import signal
import subprocess
import sys
import time

# The main window's title in either language of the program.
# The main window's title in either language of the program.
PROGRAM_TITLE = "^(アンポラ|Ampora)$"

SOURCE_ROOT = os.path.dirname(os.path.dirname(os.path.dirname(os.path.abspath(__file__))))
RUNNER = os.path.join(SOURCE_ROOT, "tools/runner/program-runner.sh")


def program_path():
    """The program to run: $AMPORA_PROGRAM (the test suite names its build's), else the
    one in build/$AMPORA_BUILD (build/normal when unset)."""
    return os.environ.get("AMPORA_PROGRAM") or os.path.join(
        SOURCE_ROOT, "build", os.environ.get("AMPORA_BUILD", "normal"), "src/app/ampora")


def run_under_runner(program):
    """Outside the runner, runs this script again inside it, for the program given (the
    runner builds it when it is missing); inside, returns."""
    if os.environ.get("IN_X"):
        return
    script = os.path.abspath(sys.argv[0])
    os.execvp("bash", ["bash", RUNNER, program, sys.executable, script, *sys.argv[1:]])


def point(kind, name):
    """A named point of the program's windows, in window pixels (program-runner.sh)."""
    with open(os.path.join(os.environ["WORK"], "points"), encoding="utf-8") as points:
        for line in points:
            fields = line.split()
            if fields[:2] == [kind, name]:
                return int(fields[2]), int(fields[3])
    raise KeyError(f"no point {kind} {name}")


def settings_file_text(sections):
    """Settings file text from [(section, [(key, value), ...]), ...]."""
    lines = []
    for name, keys in sections:
        lines.append(f"[{name}]")
        lines.extend(f"{key}={value}" for key, value in keys)
    return "\n".join(lines) + "\n"


class ProgramFolder:
    """The runner's program folder: the copy of the program with its settings file beside
    it, under the runner's work folder (removed at the end unless kept)."""

    def __init__(self, settings_text=None):
        self.root = os.environ["WORK"]
        self.app = os.path.join(self.root, "app")
        self.program = os.path.join(self.app, "ampora")
        self.settings = os.path.join(self.app, "ampora.ini")
        if settings_text is not None:
            self.write_settings(settings_text)

    def write_settings(self, text):
        with open(self.settings, "w", encoding="utf-8") as f:
            f.write(text)

    def read_settings(self):
        with open(self.settings, "rb") as f:
            return f.read()

    def keep(self):
        """Leaves the work folder (logs, settings) in place after the run."""
        open(os.path.join(self.root, "keep"), "w").close()


class RunningProgram:
    """One run of the program in the runner's folder and display, its output in log."""

    def __init__(self, folder, arguments=(), extra_env=None, log=None):
        self.env = dict(os.environ, **(extra_env or {}))
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

    def click_transport(self, button):
        """Clicks a transport button (start, bypass, tuner, store); False when the window
        did not take the click."""
        x, y = point("main", button)
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
