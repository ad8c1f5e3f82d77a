"""Immediate-mode frame time of crane-render against the display-list limit (bench-lists) on
the same frames, headless, run after run.

usage: display_lists.py BUILD_DIR [RUNS] [FRAMES]
"""
import os
import re
import subprocess
import sys

sys.path.insert(0, os.path.dirname(__file__))
import benchlib  # noqa: E402

LINE = re.compile(rb"([0-9.]+) frames per second, ([0-9.]+) ms per frame")


def bench(exe, build, frames):
    out = subprocess.run([exe, "--bench", str(frames)], cwd=build, check=True,
                         stdout=subprocess.PIPE, stderr=subprocess.DEVNULL).stdout
    m = LINE.findall(out)
    if not m:
        raise SystemExit(f"{exe}: no bench line")
    fps, ms = m[-1]
    return float(fps), float(ms)


def main():
    build = os.path.abspath(sys.argv[1] if len(sys.argv) > 1 else "build")
    runs = int(sys.argv[2]) if len(sys.argv) > 2 else 5
    frames = int(sys.argv[3]) if len(sys.argv) > 3 else 1051
    rows = []
    for run in range(runs):
        imm = bench(os.path.join(build, "crane-render"), build, frames)
        lst = bench(os.path.join(build, "bench-lists"), build, frames)
        rows.append((imm, lst, imm[1] / lst[1]))
        print(f"run {run + 1}: immediate {imm[0]:7.1f} fps {imm[1]:6.2f} ms   lists {lst[0]:7.1f} fps "
              f"{lst[1]:6.2f} ms   frame-time ratio {imm[1] / lst[1]:.3f}", flush=True)
    print(f"median over {runs} runs of {frames} frames: immediate {benchlib.median([r[0][1] for r in rows]):.2f} ms, "
          f"lists {benchlib.median([r[1][1] for r in rows]):.2f} ms, ratio {benchlib.median([r[2] for r in rows]):.3f}")


if __name__ == "__main__":
    main()
