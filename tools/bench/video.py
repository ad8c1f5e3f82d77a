"""Cost of a video: crane-render writing one pass as H.264 against --bench of the same frames
(drawn, not saved), run after run with the order alternating. Both are timed as whole
processes, start-up included.

usage: video.py BUILD_DIR [RUNS] [FILE]
"""
import os
import subprocess
import sys
import tempfile
import time

sys.path.insert(0, os.path.dirname(__file__))
import benchlib  # noqa: E402

FRAMES = 1051


def timed(cmd, cwd):
    start = time.monotonic()
    subprocess.run(cmd, cwd=cwd, check=True, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    return time.monotonic() - start


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
            rows.append((render, encode, encode / render))
            print(f"run {run + 1}: render only {render:6.2f} s   video {encode:6.2f} s   "
                  f"ratio {encode / render:.3f}   ({size / 1e6:.2f} MB)", flush=True)
    print(f"median over {runs} runs of {FRAMES} frames: render only "
          f"{benchlib.median([r[0] for r in rows]):.2f} s, video "
          f"{benchlib.median([r[1] for r in rows]):.2f} s, ratio "
          f"{benchlib.median([r[2] for r in rows]):.3f}; load average now "
          f"{os.getloadavg()[0]:.2f}")


if __name__ == "__main__":
    main()
