"""Instructions per frame: the program's own code against the total (GL library, rasteriser,
C library), counted by callgrind inside the idle callback over a headless run.

usage: instructions.py BUILD_DIR [FRAMES]
"""
import collections
import os
import subprocess
import sys
import tempfile


def self_cost_by_object(path):
    """Sums the self cost (Ir) of every function, per object file, from a callgrind profile."""
    names = {}
    per_object = collections.Counter()
    obj = None
    skip_next = False
    with open(path) as f:
        for line in f:
            if line.startswith("cob="):
                # A callee's object may be named here first; later "ob=" lines use its number.
                key, _, name = line[4:].strip().partition(")")
                if name.strip():
                    names[key] = name.strip()
            elif line.startswith("ob="):
                ref = line[3:].strip()
                if ref.startswith("("):
                    key, _, name = ref.partition(")")
                    name = name.strip()
                    if name:
                        names[key] = name
                    obj = key
                else:
                    obj = ref
            elif line.startswith("calls="):
                skip_next = True  # the next cost line is the callee's inclusive cost
            elif line[:1].isdigit() or line[:1] in "+-*":
                if skip_next:
                    skip_next = False
                    continue
                parts = line.split()
                if len(parts) >= 2:
                    per_object[obj] += int(parts[1])
    # Objects are numbered where first named; resolve the numbers once all names are known.
    resolved = collections.Counter()
    for key, cost in per_object.items():
        resolved[names.get(key, key)] += cost
    return resolved


def main():
    build = os.path.abspath(sys.argv[1] if len(sys.argv) > 1 else "build")
    frames = int(sys.argv[2]) if len(sys.argv) > 2 else 200
    exe = os.path.join(build, "crane-render")
    with tempfile.TemporaryDirectory() as tmp:
        out = os.path.join(tmp, "callgrind.out")
        subprocess.run(["valgrind", "--tool=callgrind", f"--callgrind-out-file={out}",
                        "--collect-atstart=no", "--toggle-collect=on_idle()", exe, "--bench", str(frames)],
                       cwd=build, check=True, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        per_object = self_cost_by_object(out)
    total = sum(per_object.values())
    own = per_object.get(exe, 0)
    for name, cost in per_object.most_common(8):
        print(f"{cost / frames:14.0f} instructions per frame  {os.path.basename(name)}")
    print(f"{frames} frames: {total / frames:.0f} instructions per frame in all, {own / frames:.0f} in the "
          f"program's own code ({100.0 * own / total:.2f} %)")


if __name__ == "__main__":
    main()
