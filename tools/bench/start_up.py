"""Time from exec to the first frame presented, in a window on Xvfb, and the share of it spent
before the entry point (reading the seventeen mesh files, twice each, and building the spring).
Beside it, in the same runs, the same time for a bare GLX program that presents one triangle:
the part of the figure that belongs to the GL driver and the X server.

usage: start_up.py BUILD_DIR [RUNS]
"""
import os
import re
import subprocess
import sys
import time

sys.path.insert(0, os.path.dirname(__file__))
import benchlib  # noqa: E402

PROBE = re.compile(rb"static-init ([0-9.]+) main ([0-9.]+) format ([0-9.]+) current ([0-9.]+) "
                   rb"first-frame ([0-9.]+)")
# The steps between the marks the probe prints.
PHASES = ["exec to static initialisation", "static initialisation (models, spring)",
          "display, window and pixel format (loads the GL driver)", "GL context made current",
          "first frame drawn and presented"]
FLOOR = re.compile(rb"glx-floor: first-frame ([0-9.]+)")


def first_frame(program, build, env):
    """Runs a program to its first frame; returns the moment of its exec and its stderr."""
    t0 = time.monotonic() * 1000.0  # CLOCK_MONOTONIC, as the programs read it
    err = subprocess.run([program], cwd=build, env=env, stdout=subprocess.DEVNULL,
                         stderr=subprocess.PIPE, timeout=60).stderr
    return t0, err


def main():
    build = os.path.abspath(sys.argv[1] if len(sys.argv) > 1 else "build")
    runs = int(sys.argv[2]) if len(sys.argv) > 2 else 11
    probe = os.path.join(build, "bench-startup-probe")
    floor = os.path.join(build, "bench-glx-floor")
    totals, reads, floors = [], [], []
    phases = [[] for _ in PHASES]
    with benchlib.Xvfb() as x:
        for run in range(runs):
            t0, err = first_frame(probe, build, x.env())
            m = PROBE.search(err)
            if not m:
                raise SystemExit("probe printed no times")
            marks = [t0] + [float(v) for v in m.groups()]
            init, entry, first = marks[1], marks[2], marks[-1]
            totals.append(first - t0)
            reads.append(entry - init)
            for i in range(len(PHASES)):
                phases[i].append(marks[i + 1] - marks[i])
            t0, err = first_frame(floor, build, x.env())
            m = FLOOR.search(err)
            if not m:
                raise SystemExit("the bare GLX program printed no time")
            floors.append(float(m.group(1)) - t0)
            print(f"run {run + 1}: exec to first frame {totals[-1]:6.1f} ms, static initialisation "
                  f"{reads[-1]:5.1f} ms; bare GLX program {floors[-1]:6.1f} ms", flush=True)
    for name, values in zip(PHASES, phases):
        print(f"  {name}: median {benchlib.median(values):.1f} ms")
    total, read, bare = benchlib.median(totals), benchlib.median(reads), benchlib.median(floors)
    print(f"median over {runs} runs: exec to first frame {total:.1f} ms, of which reading the models "
          f"{read:.1f} ms ({100.0 * read / total:.0f} %); bare GLX program {bare:.1f} ms")


if __name__ == "__main__":
    main()
