#!/usr/bin/env bash
# Memory check: every unit-test binary of the suite, then one headless pass of the animation,
# under valgrind's memcheck. Prints one line per program (errors, definitely and indirectly
# lost bytes, seconds) and exits non-zero on any memcheck error or failing test.
#
# usage: memcheck.sh [--suite | --render] [BUILD_DIR] [FRAMES]
#   --suite / --render   run only that half (default: both)
#   BUILD_DIR            a configured and built build folder (default: build)
#   FRAMES               frames of the headless pass (default: 1051, one pass)
#
# Left out: the tests labelled e2e (the real crane under a private Xvfb, driven by key presses
# with timeouts made for native speed), fuzz (a libFuzzer build of its own, with sanitizers)
# and those labelled render that run crane-render as a separate program (the headless pass
# below checks that program). test_render_backend, which draws in its own process, is in.
# Helper programs a unit test starts are checked too (--trace-children), apart from system
# programs.
set -uo pipefail

parts=both
case "${1:-}" in
--suite) parts=suite; shift ;;
--render) parts=render; shift ;;
esac
root=$(cd "$(dirname "$0")/../.." && pwd)
build=$(cd "${1:-$root/build}" && pwd) || exit 2
frames=${2:-1051}
supp=$root/tests/valgrind.supp
logs=$build/memcheck
for tool in valgrind ctest jq; do
    command -v "$tool" >/dev/null || { echo "memcheck: $tool is not installed" >&2; exit 2; }
done
[ -x "$build/crane-render" ] || { echo "memcheck: $build/crane-render is not built" >&2; exit 2; }
rm -rf "$logs"
mkdir -p "$logs"
# Open to every user: a test child that gives up root (to check file permissions) must still
# be able to write its valgrind log here.
chmod 1777 "$logs"

# vgdb=no and the %n in the log names: a test child that gives up root before it starts its
# helper cannot reuse the names of the files (vgdb's, the log) its root parent made at fork.
vg=(valgrind --tool=memcheck --error-exitcode=1 --leak-check=full
    --errors-for-leak-kinds=definite "--suppressions=$supp" --num-callers=40
    --vgdb=no
    --gen-suppressions=all --trace-children=yes
    "--trace-children-skip=/usr/*,/bin/*,/sbin/*")

# llvmpipe on one rasteriser thread: under valgrind extra threads only add switching.
export LP_NUM_THREADS=1

status=0
summary=()
total_start=$(date +%s)

# Totals over every log of one program (its own process and any children it started).
# Prints: errors definite_bytes indirect_bytes
log_figures() {
    local name=$1
    cat "$logs/$name".*.log 2>/dev/null | tr -d , | awk '
        /ERROR SUMMARY:/ { for (i = 1; i <= NF; i++) if ($i == "SUMMARY:") e += $(i + 1) }
        /definitely lost:/ { for (i = 1; i <= NF; i++) if ($i == "lost:") d += $(i + 1) }
        /indirectly lost:/ { for (i = 1; i <= NF; i++) if ($i == "lost:") n += $(i + 1) }
        END { printf "%d %d %d\n", e, d, n }'
}

# run_checked NAME WORKDIR COMMAND...: COMMAND has the word @VG@ where valgrind goes.
run_checked() {
    local name=$1 workdir=$2
    shift 2
    local cmd=()
    for word in "$@"; do
        if [ "$word" = "@VG@" ]; then
            cmd+=("${vg[@]}" "--log-file=$logs/$name.%p.%n.log")
        else
            cmd+=("$word")
        fi
    done
    echo "memcheck: $name ..." >&2
    local start rc result errors definite indirect
    start=$(date +%s)
    (cd "$workdir" && "${cmd[@]}") >"$logs/$name.out" 2>&1
    rc=$?
    read -r errors definite indirect < <(log_figures "$name")
    if ! ls "$logs/$name".*.log >/dev/null 2>&1; then
        result=NOT-RUN
    elif [ "$errors" -gt 0 ]; then
        result=ERRORS
    elif [ "$rc" -ne 0 ]; then
        result=FAILED
    else
        result=ok
    fi
    [ "$result" = ok ] || status=1
    summary+=("$(printf '%-22s %-8s %6d %12d %12d %8d' "$name" "$result" "$errors" "$definite" \
        "$indirect" $(($(date +%s) - start)))")
}

if [ "$parts" != render ]; then
    # One run per test binary with the tests ctest knows for it (disabled ones left out), in
    # the working folder ctest would use. A wrapper such as xvfb-run stays outside valgrind:
    # valgrind goes in front of the first word that lives in the build folder.
    tests_json=$(cd "$build" && ctest --show-only=json-v1) || exit 2
    # A test whose binary is missing is listed by ctest as NAME_NOT_BUILT without a command.
    missing=$(jq -r '.tests[] | select(.command == null) | .name' <<<"$tests_json")
    if [ -n "$missing" ]; then
        echo "memcheck: not built (build the tests first):" $missing >&2
        status=1
    fi
    plan=$(jq -r --arg build "$build" '
        [.tests[]
         | select(.command != null)
         | (.properties // []) as $p
         | [$p[] | select(.name == "LABELS") | .value[]] as $labels
         | select(($labels | any(. == "e2e" or . == "fuzz")) | not)
         | select((($labels | any(. == "render")) | not)
                  or (.command[0] | endswith("/test_render_backend")))
         | select(([$p[] | select(.name == "DISABLED") | .value] | any(. == true)) | not)
         | {cmd: .command,
            dir: ([$p[] | select(.name == "WORKING_DIRECTORY") | .value] | first // $build)}
         | .filter = ([.cmd[] | select(startswith("--gtest_filter="))
                       | ltrimstr("--gtest_filter=")] | first)
         | .base = [.cmd[] | select(startswith("--gtest_") | not)]]
        | group_by([.dir, .base])
        | .[]
        | (.[0].base | map(startswith($build)) | index(true)) as $at
        | [(.[0].base[$at] | split("/") | last), .[0].dir]
          + .[0].base[0:$at] + ["@VG@"] + .[0].base[$at:]
          + (if .[0].filter then ["--gtest_filter=" + ([.[].filter] | join(":"))] else [] end)
        | @json' <<<"$tests_json") || exit 2
    [ -n "$plan" ] || { echo "memcheck: ctest lists no unit tests in $build" >&2; exit 2; }
    while IFS= read -r line; do
        [ -n "$line" ] || continue
        mapfile -t words < <(jq -r '.[]' <<<"$line")
        run_checked "${words[@]}"
    done <<<"$plan"
fi

if [ "$parts" != suite ]; then
    run_checked crane-render "$build" @VG@ ./crane-render --bench "$frames"
    if ! grep -q "^$frames frames:" "$logs/crane-render.out"; then
        echo "memcheck: crane-render did not report $frames frames" >&2
        status=1
    fi
fi

echo
printf '%-22s %-8s %6s %12s %12s %8s\n' program result errors "def. lost B" "ind. lost B" seconds
printf '%s\n' "${summary[@]}"
echo "total: $(($(date +%s) - total_start)) s; logs in $logs"
if [ "$status" -ne 0 ]; then
    echo "memcheck: FAIL" >&2
else
    echo "memcheck: PASS"
fi
exit "$status"
