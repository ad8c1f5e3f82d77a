"""Shared pieces of the benchmark scripts: a private Xvfb or headless sway, a Wine prefix on it,
medians, timed runs."""
import glob
import os
import pwd
import tempfile
import select
import shutil
import signal
import statistics
import subprocess
import time


class Xvfb:
    """An Xvfb of its own on the first free display from 90 up; stopped on exit."""

    def __init__(self):
        self.proc = None
        self.display = None

    def __enter__(self):
        if not shutil.which("Xvfb"):
            raise SystemExit("Xvfb is not installed (bash tools/install-deps.sh)")
        for n in range(90, 200):
            if os.path.exists(f"/tmp/.X{n}-lock") or os.path.exists(f"/tmp/.X11-unix/X{n}"):
                continue
            # -noreset: a desktop's server stays up between clients, where Xvfb would otherwise
            # reset each time the last one leaves and make the next one wait about 50 ms.
            cmd = ["Xvfb", f":{n}", "-screen", "0", "1024x768x24", "-nolisten", "tcp", "-noreset"]
            proc = subprocess.Popen(cmd, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
            for _ in range(100):
                if os.path.exists(f"/tmp/.X11-unix/X{n}"):
                    self.proc, self.display = proc, f":{n}"
                    time.sleep(0.2)
                    return self
                if proc.poll() is not None:
                    break
                time.sleep(0.05)
            proc.kill()
        raise SystemExit("could not start Xvfb")

    def __exit__(self, *exc):
        if self.proc:
            self.proc.terminate()
            self.proc.wait()

    def env(self):
        env = dict(os.environ)
        env["DISPLAY"] = self.display
        # Only this server: a Wayland session around the benchmark would be chosen first.
        env.pop("WAYLAND_DISPLAY", None)
        env.pop("XDG_RUNTIME_DIR", None)
        return env


class Sway:
    """A headless sway of its own (software renderer, one 1024 x 768 output, windows floating at
    their own size), run as an unprivileged account when this runs as root, since sway refuses
    root; stopped on exit."""

    ACCOUNT = "crane-wayland"
    CONFIG = ("output HEADLESS-1 mode 1024x768 position 0 0\nxwayland disable\n"
              "swaynag_command -\ndefault_border normal\n"
              "for_window [title=\".*\"] floating enable\n")

    def __init__(self):
        self.proc = None
        self.dir = None
        self.socket = None

    def __enter__(self):
        if not shutil.which("sway"):
            raise SystemExit("sway is not installed (bash tools/install-deps.sh)")
        self.dir = tempfile.mkdtemp(prefix="crane-bench-wayland-")
        with open(os.path.join(self.dir, "sway.config"), "w") as f:
            f.write(self.CONFIG)
        user = None
        if os.geteuid() == 0:
            try:
                user = pwd.getpwnam(self.ACCOUNT)
            except KeyError:
                subprocess.run(["useradd", "--system", "--no-create-home", "--home-dir", "/nonexistent",
                                "--shell", "/usr/sbin/nologin", self.ACCOUNT], check=False,
                               stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
                user = pwd.getpwnam(self.ACCOUNT)
            os.chown(self.dir, user.pw_uid, user.pw_gid)
        os.chmod(self.dir, 0o700)
        env = {"PATH": "/usr/local/bin:/usr/bin:/bin", "HOME": self.dir, "XDG_RUNTIME_DIR": self.dir,
               "WLR_BACKENDS": "headless", "WLR_HEADLESS_OUTPUTS": "1", "WLR_LIBINPUT_NO_DEVICES": "1",
               "WLR_RENDERER": "pixman"}
        extra = {}
        if user:
            extra = {"user": user.pw_uid, "group": user.pw_gid, "extra_groups": []}
        self.proc = subprocess.Popen(["sway", "-c", os.path.join(self.dir, "sway.config")], env=env,
                                     stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL, **extra)
        for _ in range(600):
            sockets = [p for p in glob.glob(os.path.join(self.dir, "wayland-*")) if not p.endswith(".lock")]
            if sockets and glob.glob(os.path.join(self.dir, "sway-ipc.*.sock")):
                self.socket = sockets[0]
                time.sleep(0.2)
                return self
            if self.proc.poll() is not None:
                break
            time.sleep(0.05)
        self.__exit__()
        raise SystemExit("could not start sway")

    def __exit__(self, *exc):
        if self.proc:
            self.proc.terminate()
            self.proc.wait()
        if self.dir:
            shutil.rmtree(self.dir, ignore_errors=True)

    def env(self):
        env = dict(os.environ)
        env.pop("DISPLAY", None)
        env.pop("CRANE_PLATFORM", None)
        env["XDG_RUNTIME_DIR"] = self.dir
        env["WAYLAND_DISPLAY"] = self.socket
        return env


class WinePrefix:
    """A Wine prefix of the benchmark's own (made by tools/windows/wine.sh on first use), its
    server and helper processes (explorer.exe, winedevice.exe...) started on the given display
    before anything is timed and all ended on exit."""

    RUNNER = os.path.normpath(os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "windows",
                                           "wine.sh"))

    def __init__(self, prefix, env):
        self.prefix = prefix
        self.base = env

    def __enter__(self):
        if not shutil.which("wine"):
            raise SystemExit("Wine is not installed (bash tools/install-deps.sh)")
        # Started cold, the server and its helpers would come up inside the first program's
        # warm-up (first frame 0.6-1.3 s instead of 0.2 s) and hold its stdout open.
        try:
            subprocess.run([self.RUNNER, "wineboot"], env=self.env(), stdin=subprocess.DEVNULL,
                           stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL, timeout=300, check=True)
        except (subprocess.SubprocessError, OSError) as e:
            self.__exit__()
            raise SystemExit(f"could not start the Wine prefix {self.prefix}: {e}")
        return self

    def __exit__(self, *exc):
        # The helpers are processes of the prefix, not children of the benchmark: end them all.
        for arg in ("-k", "-w"):
            subprocess.run(["wineserver", arg], env=self.env(), stdin=subprocess.DEVNULL,
                           stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL, timeout=60, check=False)

    def env(self):
        env = dict(self.base)
        env["WINEPREFIX"] = self.prefix
        return env


def median(values):
    return statistics.median(values) if values else float("nan")


FRAMES_PER_PASS = 1051  # reports number the frames 0 to 1050, then start again


class Reporter:
    """A program that prints the frame-rate report ("Tiempo: N" every fifth frame), started and
    then run, stopped and resumed by the benchmark; each report is read with its arrival time."""

    def __init__(self, cmd, cwd, env):
        self.cmd = cmd
        self.proc = subprocess.Popen(cmd, cwd=cwd, env=env, stdout=subprocess.PIPE, stderr=subprocess.DEVNULL)
        os.set_blocking(self.proc.stdout.fileno(), False)
        self.buf = b""

    def reports(self, deadline):
        """The reports that arrive next, as (frame, arrival time), waiting for at least one."""
        fd = self.proc.stdout.fileno()
        while True:
            found = []
            while b"\n" in self.buf:
                line, _, self.buf = self.buf.partition(b"\n")
                line = line.rstrip(b"\r")  # Windows programs end their lines in CRLF
                _, tag, frame = line.rpartition(b"Tiempo: ")
                if tag and frame.isdigit():
                    found.append(int(frame))
            if found:
                return found
            left = deadline - time.monotonic()
            if left <= 0:
                raise RuntimeError(f"{self.cmd[0]}: no report in time")
            ready, _, _ = select.select([fd], [], [], left)
            if ready:
                chunk = os.read(fd, 65536)
                if not chunk:
                    raise RuntimeError(f"{self.cmd[0]} ended early")
                self.buf += chunk
                self.arrival = time.monotonic()

    def run_frames(self, frames, deadline):
        """Lets the program run until it has reported `frames` more frames, timed from the first
        report it makes; then stops it. Returns (frames, seconds)."""
        os.kill(self.proc.pid, signal.SIGCONT)
        first = self.reports(deadline)[-1]
        start = self.arrival
        done = 0
        while done < frames:
            done = (self.reports(deadline)[-1] - first) % FRAMES_PER_PASS
        seconds = self.arrival - start
        self.stop()
        return done, seconds

    def stop(self):
        """Stops the program and drops what it printed before it stopped, so that every report
        read after it resumes is of a frame drawn after."""
        os.kill(self.proc.pid, signal.SIGSTOP)
        while not self.stopped():
            time.sleep(0.001)
        try:
            while os.read(self.proc.stdout.fileno(), 65536):
                pass
        except BlockingIOError:
            pass
        self.buf = b""

    def stopped(self):
        task = f"/proc/{self.proc.pid}/task"
        for thread in os.listdir(task):
            try:
                with open(f"{task}/{thread}/stat") as f:
                    if f.read().rsplit(")", 1)[1].split()[0] not in "Tt":
                        return False
            except FileNotFoundError:
                pass  # a thread that has just ended
        return True

    def end(self):
        self.proc.kill()
        self.proc.wait()


def paired_frames_per_second(cmds, cwd, env, warm_up, frames, slice_frames=100, timeout=300):
    """Frames per second of each of two programs over the same `frames` frames after `warm_up`,
    taken in turns of `slice_frames` (the first program's turn first) with the other program
    stopped, so that a machine whose speed drifts weighs on both alike. `cwd` is one folder for
    both, or a list of one folder per program."""
    deadline = time.monotonic() + timeout
    programs = []
    try:
        for cmd, folder in zip(cmds, cwd if isinstance(cwd, list) else [cwd] * len(cmds)):
            program = Reporter(cmd, folder, env)
            programs.append(program)
            while max(program.reports(deadline)) < warm_up:
                pass
            program.stop()
        totals = [[0, 0.0] for _ in programs]
        while totals[-1][0] < frames:
            for program, total in zip(programs, totals):
                done, seconds = program.run_frames(min(slice_frames, frames - total[0]), deadline)
                total[0] += done
                total[1] += seconds
        return [n / seconds for n, seconds in totals]
    finally:
        for program in programs:
            program.end()
