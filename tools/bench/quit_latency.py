"""How soon crane ends: after an Escape key press (sent with xdotool; the time runs from
xdotool's start to the moment the process has ended), after its X server is killed under it,
and after its Wayland compositor (a headless sway) is killed under it. Each run starts the
program on its own display server and waits for its first frames.

usage: quit_latency.py BUILD_DIR [RUNS]
"""
import os
import subprocess
import sys
import time

sys.path.insert(0, os.path.dirname(__file__))
import benchlib  # noqa: E402


def start_crane(build, env):
    """crane in its window, once it has reported its fifth frame."""
    proc = subprocess.Popen([os.path.join(build, "crane")], cwd=build, env=env,
                            stdout=subprocess.PIPE, stderr=subprocess.DEVNULL)
    seen = b""
    deadline = time.monotonic() + 60
    while b"Tiempo: 5\n" not in seen:
        if time.monotonic() > deadline:
            proc.kill()
            raise SystemExit("crane reported no frames")
        chunk = os.read(proc.stdout.fileno(), 4096)
        if not chunk:
            raise SystemExit("crane ended early")
        seen += chunk
    # Keep draining its reports so that it never blocks on a full pipe.
    return proc


def wait_ended(proc):
    """Reads the program's output to its end and waits for it; the moment it ended."""
    while os.read(proc.stdout.fileno(), 65536):
        pass
    proc.wait()
    return time.monotonic()


def escape_ms(build):
    with benchlib.Xvfb() as x:
        proc = start_crane(build, x.env())
        # xdotool lingers after sending the key, and the program may be gone before it is:
        # the time runs from xdotool's start, an upper bound that includes its own start-up.
        sent = time.monotonic()
        subprocess.run(["xdotool", "key", "Escape"], env=x.env(), check=True)
        return (wait_ended(proc) - sent) * 1000.0


def lost_server_ms(build):
    x = benchlib.Xvfb().__enter__()
    proc = start_crane(build, x.env())
    x.proc.kill()
    killed = time.monotonic()
    ended = wait_ended(proc)
    x.proc.wait()
    return (ended - killed) * 1000.0


def lost_compositor_ms(build):
    s = benchlib.Sway().__enter__()
    try:
        proc = start_crane(build, s.env())
        s.proc.kill()
        killed = time.monotonic()
        ended = wait_ended(proc)
        s.proc.wait()
        return (ended - killed) * 1000.0
    finally:
        s.__exit__()


def main():
    build = os.path.abspath(sys.argv[1] if len(sys.argv) > 1 else "build")
    runs = int(sys.argv[2]) if len(sys.argv) > 2 else 11
    escape = [escape_ms(build) for _ in range(runs)]
    lost = [lost_server_ms(build) for _ in range(runs)]
    lost_wayland = [lost_compositor_ms(build) for _ in range(runs)]
    print(f"Escape to process end: median {benchlib.median(escape):.1f} ms "
          f"(from {min(escape):.1f} to {max(escape):.1f}, {runs} runs)")
    print(f"X server killed to process end: median {benchlib.median(lost):.1f} ms "
          f"(from {min(lost):.1f} to {max(lost):.1f}, {runs} runs)")
    print(f"Wayland compositor killed to process end: median {benchlib.median(lost_wayland):.1f} ms "
          f"(from {min(lost_wayland):.1f} to {max(lost_wayland):.1f}, {runs} runs)")


if __name__ == "__main__":
    main()
