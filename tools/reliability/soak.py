"""Soak: a long headless run with the resident memory sampled as it goes. Passes when the
memory grows by less than 1 MB after the first pass of the animation (1051 frames).

usage: soak.py BUILD_DIR [FRAMES]
"""
import os
import subprocess
import sys
import time


def rss_kb(pid):
    with open(f"/proc/{pid}/status") as f:
        for line in f:
            if line.startswith("VmRSS:"):
                return int(line.split()[1])
    return 0


def main():
    build = os.path.abspath(sys.argv[1] if len(sys.argv) > 1 else "build")
    frames = int(sys.argv[2]) if len(sys.argv) > 2 else 20000
    exe = os.path.join(build, "crane-render")
    # The bench run reports nothing until the end, so the first pass is placed by time: the
    # same program is timed over 1051 frames first.
    t = time.monotonic()
    subprocess.run([exe, "--bench", "1051"], cwd=build, check=True, stdout=subprocess.DEVNULL,
                   stderr=subprocess.DEVNULL)
    first_pass_s = time.monotonic() - t
    proc = subprocess.Popen([exe, "--bench", str(frames)], cwd=build, stdout=subprocess.PIPE,
                            stderr=subprocess.DEVNULL)
    start = time.monotonic()
    samples = []
    while proc.poll() is None:
        try:
            samples.append((time.monotonic() - start, rss_kb(proc.pid)))
        except (FileNotFoundError, ProcessLookupError):
            break
        time.sleep(0.25)
    out = proc.communicate()[0].decode(errors="replace").strip().splitlines()
    if proc.returncode != 0:
        raise SystemExit(f"crane-render ended with status {proc.returncode}")
    after = [kb for s, kb in samples if s >= first_pass_s * 1.2]
    if not after:
        raise SystemExit("run too short to sample after the first pass")
    base, peak, last = after[0], max(after), after[-1]
    print(out[-1] if out else "")
    print(f"resident memory after the first pass: {base} kB; peak later {peak} kB; at the end {last} kB; "
          f"growth {peak - base} kB over {len(after)} samples")
    if peak - base >= 1024:
        raise SystemExit("FAIL: resident memory grew by 1 MB or more")
    print("PASS")


if __name__ == "__main__":
    main()
