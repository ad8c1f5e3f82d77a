"""Time from exec to the first frame presented, in a window on Xvfb, and the share of it spent
before the entry point (reading the seventeen mesh files, twice each, and building the spring).

usage: start_up.py BUILD_DIR [RUNS]
"""
import os
import re
import subprocess
import sys
import time

sys.path.insert(0, os.path.dirname(__file__))
import benchlib  # noqa: E402

LINE = re.compile(rb"static-init ([0-9.]+) main ([0-9.]+) first-frame ([0-9.]+)")


def main():
    build = os.path.abspath(sys.argv[1] if len(sys.argv) > 1 else "build")
    runs = int(sys.argv[2]) if len(sys.argv) > 2 else 11
    probe = os.path.join(build, "bench-startup-probe")
    totals, reads = [], []
    with benchlib.Xvfb() as x:
        for run in range(runs):
            t0 = time.monotonic() * 1000.0  # CLOCK_MONOTONIC, as the probe reads it
            out = subprocess.run([probe], cwd=build, env=x.env(), stdout=subprocess.DEVNULL,
                                 stderr=subprocess.PIPE, timeout=60).stderr
            m = LINE.search(out)
            if not m:
                raise SystemExit("probe printed no times")
            init, entry, first = (float(v) for v in m.groups())
            totals.append(first - t0)
            reads.append(entry - init)
            print(f"run {run + 1}: exec to first frame {first - t0:6.1f} ms, static initialisation "
                  f"{entry - init:5.1f} ms", flush=True)
    total, read = benchlib.median(totals), benchlib.median(reads)
    print(f"median over {runs} runs: exec to first frame {total:.1f} ms, of which reading the models "
          f"{read:.1f} ms ({100.0 * read / total:.0f} %)")


if __name__ == "__main__":
    main()
