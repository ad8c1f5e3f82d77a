"""Cost of a video: crane-render writing one pass as H.264 against --bench of the same frames
(drawn, not saved), run after run with the order alternating. Both are timed as whole
processes, start-up included: wall-clock time, which is what the ratio is about, and the CPU
time of all their threads, which a busy machine disturbs less.

usage: video.py BUILD_DIR [RUNS] [FILE]
"""
import os
import resource
import subprocess
import sys
import tempfile
import time

sys.path.insert(0, os.path.dirname(__file__))
import benchlib  # noqa: E402

FRAMES = 1051


def cpu_of_children():
    r = resource.getrusage(resource.RUSAGE_CHILDREN)
    return r.ru_utime + r.ru_stime


def timed(cmd, cwd):
    """Wall-clock and CPU seconds of one run."""
    cpu = cpu_of_children()
    start = time.monotonic()
    subprocess.run(cmd, cwd=cwd, check=True, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    return time.monotonic() - start, cpu_of_children() - cpu


def main():
    build = os.path.abspath(sys.argv[1] if len(sys.argv) > 1 else "build")
    runs = int(sys.argv[2]) if len(sys.argv) > 2 else 5
    name = sys.argv[3] if len(sys.argv) > 3 else "pass.mp4"
    exe = os.path.join(build, "crane-render")
    with tempfile.TemporaryDirectory() as tmp:
        video = os.path.join(tmp, name)
        render_cmd = [exe, "--bench", str(FRAMES)]
        video_cmd = [exe, "--video", video]
        rows = []
        for run in range(runs):
            if run % 2 == 0:
                render = timed(render_cmd, build)
                encode = timed(video_cmd, build)
            else:
                encode = timed(video_cmd, build)
                render = timed(render_cmd, build)
            size = os.path.getsize(video)
            rows.append((render[0], encode[0], encode[0] / render[0], render[1], encode[1]))
            print(f"run {run + 1}: render only {render[0]:6.2f} s (CPU {render[1]:5.2f} s)   "
                  f"video {encode[0]:6.2f} s (CPU {encode[1]:5.2f} s)   "
                  f"ratio {encode[0] / render[0]:.3f}   ({size / 1e6:.2f} MB)", flush=True)

    def med(i):
        return benchlib.median([r[i] for r in rows])

    print(f"median over {runs} runs of {FRAMES} frames: render only {med(0):.2f} s, "
          f"video {med(1):.2f} s, ratio {med(2):.3f}; CPU render only {med(3):.2f} s, "
          f"video {med(4):.2f} s; load average now {os.getloadavg()[0]:.2f}")


if __name__ == "__main__":
    main()
