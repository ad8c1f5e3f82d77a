"""Soak: a long headless run with the resident memory sampled as it goes. Passes when the
memory grows by less than 1 MB after the first pass of the animation (1051 frames).

usage: soak.py BUILD_DIR [FRAMES]

The program reports every fifth frame on standard output ("... Tiempo: N"); the report of
frame 0 comes after frame 1050, at the 1051st frame drawn, and so marks the end of the first
pass. The resident size is read at every report, so the samples are placed by frame rather
than by time. It rises and falls by a few megabytes within a pass, so a single sample is
a poor base: growth is the highest sample after the first pass against the highest sample
of the first pass, sampled alike; the highest sample of every pass is printed to show the
trend. Standard output is read while the program runs: a pipe left unread fills up
after a few thousand reports and would stop the program in its next write.
"""
import os
import re
import subprocess
import sys
import threading

FIRST_PASS_FRAMES = 1051
GROWTH_LIMIT_KB = 1024
REPORT = re.compile(r"Tiempo: (-?\d+)")


def status_kb(pid, field):
    try:
        with open(f"/proc/{pid}/status") as f:
            for line in f:
                if line.startswith(field + ":"):
                    return int(line.split()[1])
    except (FileNotFoundError, ProcessLookupError):
        pass
    return None


def main():
    build = os.path.abspath(sys.argv[1] if len(sys.argv) > 1 else "build")
    frames = int(sys.argv[2]) if len(sys.argv) > 2 else 20000
    if frames < 2 * FIRST_PASS_FRAMES:
        raise SystemExit(f"soak: {frames} frames leave too little after the first pass")
    exe = os.path.join(build, "crane-render")
    proc = subprocess.Popen([exe, "--bench", str(frames)], cwd=build, stdout=subprocess.PIPE,
                            stderr=subprocess.PIPE)

    # passes[k]: the samples of pass k, pass 0 being the first 1051 frames.
    state = {"reports": 0, "passes": [[]], "boundary_kb": None, "hwm_kb": None,
             "last_line": ""}

    def read_reports():
        # A report ends at the next one's leading line break, so each full line is a report
        # already printed; the sample is taken as the line is seen.
        for raw in proc.stdout:
            line = raw.decode(errors="replace").strip()
            if not line:
                continue
            state["last_line"] = line
            match = REPORT.search(line)
            if not match:
                continue
            state["reports"] += 1
            kb = status_kb(proc.pid, "VmRSS")
            if kb is None:
                continue
            if match.group(1) == "0":
                if len(state["passes"]) == 1:
                    state["boundary_kb"] = kb
                    state["hwm_kb"] = status_kb(proc.pid, "VmHWM")
                state["passes"].append([])
            state["passes"][-1].append(kb)

    reader = threading.Thread(target=read_reports)
    reader.start()
    stderr = proc.stderr.read().decode(errors="replace")
    reader.join()
    proc.wait()
    if proc.returncode != 0:
        sys.stderr.write(stderr)
        raise SystemExit(f"soak: crane-render ended with status {proc.returncode}")
    passes = [p for p in state["passes"] if p]
    if len(passes) < 2:
        raise SystemExit(f"soak: no samples after the first pass ({state['reports']} reports)")
    first = max(passes[0])
    after = [kb for p in passes[1:] for kb in p]
    peak, last = max(after), after[-1]
    print(state["last_line"])
    print(f"first pass: highest sample {first} kB, {state['boundary_kb']} kB at its end "
          f"(high-water mark {state['hwm_kb']} kB)")
    print("highest sample per pass (kB): " + " ".join(str(max(p)) for p in passes))
    print(f"after the first pass, over {len(after)} samples: peak {peak} kB, at the end {last} kB; "
          f"growth {peak - first} kB (peak against the first pass's highest sample), "
          f"{peak - state['boundary_kb']} kB against the sample at its end")
    if peak - first >= GROWTH_LIMIT_KB:
        raise SystemExit("soak: FAIL: resident memory grew by 1 MB or more after the first pass")
    print("soak: PASS")


if __name__ == "__main__":
    main()
