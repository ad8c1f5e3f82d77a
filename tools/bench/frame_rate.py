"""Frame rate of crane and of a peer running the same scene, timeline and models, in windows on
one private display server, run after run.

usage: frame_rate.py BUILD_DIR [RUNS] [FRAMES] [--wayland | --wine WINDOWS_BUILD_DIR]
On an Xvfb beside the freeglut peer, or with --wayland on a headless sway beside the GLFW peer
on Wayland, or with --wine on an Xvfb with crane.exe of the Windows build under Wine (its own
prefix, BUILD_DIR/bench-wine) as the program and the native crane as the peer. Each run starts
both programs, warms each up for 100 frames, then times FRAMES frames of each in turns of 100
frames with the other program stopped, the program's turn first in odd runs and the peer's in even
ones: a virtual machine's speed drifts over seconds, and turns this short put both programs on
the same stretch of it. The ratio (program / peer) is taken pair by pair and its median reported.
"""
import contextlib
import os
import sys

sys.path.insert(0, os.path.dirname(__file__))
import benchlib  # noqa: E402


def main():
    args = sys.argv[1:]
    wayland = "--wayland" in args
    args = [a for a in args if a != "--wayland"]
    wine = None
    if "--wine" in args:
        at = args.index("--wine")
        wine = os.path.abspath(args[at + 1])
        del args[at:at + 2]
        if wayland:
            raise SystemExit("--wine runs on an Xvfb: not with --wayland")
    build = os.path.abspath(args[0] if args else "build")
    runs = int(args[1]) if len(args) > 1 else 11
    frames = int(args[2]) if len(args) > 2 else 900
    crane = os.path.join(build, "crane")
    if wine:
        exe = os.path.join(wine, "crane.exe")
        if not os.path.exists(exe):
            raise SystemExit(f"no {exe}: build it first (cmake --build {wine} --target crane)")
        # Each from its own folder, where its build put the mesh files.
        names = ("crane.exe under Wine", "crane")
        cmds, cwd = [[benchlib.WinePrefix.RUNNER, exe], [crane]], [wine, build]
    else:
        names = ("crane", "peer")
        peer = os.path.join(build, "bench-peer-wayland" if wayland else "bench-peer")
        cmds, cwd = [[crane], [peer]], [build, build]
    rows = []
    with (benchlib.Sway() if wayland else benchlib.Xvfb()) as server, contextlib.ExitStack() as stack:
        env = server.env()
        if wine:
            env = stack.enter_context(benchlib.WinePrefix(os.path.join(build, "bench-wine"), env)).env()
        for run in range(runs):
            if run % 2 == 0:
                a, b = benchlib.paired_frames_per_second(cmds, cwd, env, 100, frames)
            else:
                b, a = benchlib.paired_frames_per_second(cmds[::-1], cwd[::-1], env, 100, frames)
            rows.append((a, b, a / b))
            print(f"run {run + 1}: {names[0]} {a:7.1f} fps   {names[1]} {b:7.1f} fps   ratio {a / b:.3f}",
                  flush=True)
    ratios = [r[2] for r in rows]
    print(f"median over {runs} runs of {frames} frames: {names[0]} {benchlib.median([r[0] for r in rows]):.1f} fps, "
          f"{names[1]} {benchlib.median([r[1] for r in rows]):.1f} fps, ratio {names[0]} / {names[1]} "
          f"{benchlib.median(ratios):.3f} (runs from {min(ratios):.3f} to {max(ratios):.3f})")


if __name__ == "__main__":
    main()
