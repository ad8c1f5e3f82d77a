"""Frame rate of crane and of the GLFW peer in native windows on one headless sway, run after run.

usage: frame_rate_wayland.py BUILD_DIR [RUNS] [FRAMES]
Each run times FRAMES frames after a warm-up of 100 in each program, one after the other, crane
first in odd runs and the peer first in even ones, so that neither always runs on a machine the
other has just warmed; the ratio is taken pair by pair and its median reported.
"""
import os
import sys

sys.path.insert(0, os.path.dirname(__file__))
import benchlib  # noqa: E402


def main():
    build = os.path.abspath(sys.argv[1] if len(sys.argv) > 1 else "build")
    runs = int(sys.argv[2]) if len(sys.argv) > 2 else 11
    frames = int(sys.argv[3]) if len(sys.argv) > 3 else 900
    crane, peer = os.path.join(build, "crane"), os.path.join(build, "bench-peer-wayland")
    rows = []
    with benchlib.Sway() as s:
        for run in range(runs):
            if run % 2 == 0:
                a = benchlib.frames_per_second([crane], build, s.env(), 100, frames)
                b = benchlib.frames_per_second([peer], build, s.env(), 100, frames)
            else:
                b = benchlib.frames_per_second([peer], build, s.env(), 100, frames)
                a = benchlib.frames_per_second([crane], build, s.env(), 100, frames)
            rows.append((a, b, a / b))
            print(f"run {run + 1}: crane {a:7.1f} fps   peer {b:7.1f} fps   ratio {a / b:.3f}", flush=True)
    print(f"median over {runs} runs of {frames} frames: crane {benchlib.median([r[0] for r in rows]):.1f} fps, "
          f"peer {benchlib.median([r[1] for r in rows]):.1f} fps, ratio crane/peer {benchlib.median([r[2] for r in rows]):.3f}")


if __name__ == "__main__":
    main()
