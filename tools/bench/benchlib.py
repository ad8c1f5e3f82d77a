"""Shared pieces of the benchmark scripts: a private Xvfb or headless sway, medians, timed runs."""
import glob
import os
import pwd
import tempfile
import shutil
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


def median(values):
    return statistics.median(values) if values else float("nan")


def frames_per_second(cmd, cwd, env, warm_up, frames, timeout=300):
    """Runs a program that prints the frame-rate report and times `frames` frames after
    `warm_up` frames by the moments its "Tiempo: N" reports arrive."""
    proc = subprocess.Popen(cmd, cwd=cwd, env=env, stdout=subprocess.PIPE, stderr=subprocess.DEVNULL)
    # Reports come every fifth frame and the numbering wraps after 1050: stay inside a pass.
    if warm_up % 5 or frames % 5 or warm_up + frames > 1050:
        raise SystemExit("warm-up and frames must be multiples of 5 within one pass of 1050")
    start = warm_up
    end = warm_up + frames
    t_start = None
    deadline = time.monotonic() + timeout
    buf = b""
    try:
        while time.monotonic() < deadline:
            chunk = os.read(proc.stdout.fileno(), 4096)
            if not chunk:
                raise RuntimeError(f"{cmd[0]} ended early")
            now = time.monotonic()
            buf += chunk
            while b"Tiempo: " in buf:
                head, _, rest = buf.partition(b"Tiempo: ")
                digits = b""
                for ch in rest:
                    if 48 <= ch <= 57:
                        digits += bytes([ch])
                    else:
                        break
                if len(digits) == len(rest):
                    break  # the number may go on in the next chunk
                buf = rest[len(digits):]
                frame = int(digits)
                if frame == start and t_start is None:
                    t_start = now
                elif frame == end and t_start is not None:
                    return frames / (now - t_start)
        raise RuntimeError("timed out")
    finally:
        proc.kill()
        proc.wait()
