"""Frame rate of crane and of a peer running the same scene, timeline and models, in windows on
one private display server, run after run.

usage: frame_rate.py BUILD_DIR [RUNS] [FRAMES] [--wayland]
On an Xvfb beside the freeglut peer, or with --wayland on a headless sway beside the GLFW peer
on Wayland. Each run starts both programs, warms each up for 100 frames, then times FRAMES
frames of each in turns of 100 frames with the other program stopped, crane's turn first in odd
runs and the peer's in even ones: a virtual machine's speed drifts over seconds, and turns this
short put both programs on the same stretch of it. The ratio is taken pair by pair and its
median reported.
"""
import os
import sys

sys.path.insert(0, os.path.dirname(__file__))
import benchlib  # noqa: E402


def main():
    wayland = "--wayland" in sys.argv
    args = [a for a in sys.argv[1:] if a != "--wayland"]
    build = os.path.abspath(args[0] if args else "build")
    runs = int(args[1]) if len(args) > 1 else 11
    frames = int(args[2]) if len(args) > 2 else 900
    crane = os.path.join(build, "crane")
    peer = os.path.join(build, "bench-peer-wayland" if wayland else "bench-peer")
    rows = []
    with (benchlib.Sway() if wayland else benchlib.Xvfb()) as server:
        for run in range(runs):
            if run % 2 == 0:
                a, b = benchlib.paired_frames_per_second([[crane], [peer]], build, server.env(), 100, frames)
            else:
                b, a = benchlib.paired_frames_per_second([[peer], [crane]], build, server.env(), 100, frames)
            rows.append((a, b, a / b))
            print(f"run {run + 1}: crane {a:7.1f} fps   peer {b:7.1f} fps   ratio {a / b:.3f}", flush=True)
    print(f"median over {runs} runs of {frames} frames: crane {benchlib.median([r[0] for r in rows]):.1f} fps, "
          f"peer {benchlib.median([r[1] for r in rows]):.1f} fps, ratio crane/peer {benchlib.median([r[2] for r in rows]):.3f}")


if __name__ == "__main__":
    main()
