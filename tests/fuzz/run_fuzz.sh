#!/bin/sh
# Fuzzes the ASC reader and the model's derivations with libFuzzer.
#   tests/fuzz/run_fuzz.sh [SECONDS [WORK_DIR]]
# SECONDS defaults to 600 (the test suite runs 60). The target is built here with clang, apart
# from the project's own build; the seeds of tests/fuzz/corpus (and the *.asc files of
# $CRANE_MESH_DIR, if set) start the run, whose new finds stay in WORK_DIR/corpus.
set -eu
here=$(cd "$(dirname "$0")" && pwd)
root=$(cd "$here/../.." && pwd)
seconds=${1:-600}
work=${2:-$root/build-fuzz}
cxx=${CLANGXX:-clang++}

mkdir -p "$work/corpus"
"$cxx" -std=c++17 -g -O1 -fsanitize=fuzzer,address,undefined -fno-sanitize-recover=all \
    -I"$root" "$root/mesh/asc_reader.cpp" "$root/mesh/asc_model.cpp" \
    "$root/tests/support/gl_recorder.cpp" "$here/fuzz_asc.cpp" -o "$work/fuzz_asc"
cp "$here"/corpus/* "$work/corpus/"
if [ -n "${CRANE_MESH_DIR:-}" ]; then
    for f in "$CRANE_MESH_DIR"/*.asc; do
        [ -f "$f" ] && cp "$f" "$work/corpus/"
    done
fi
cd "$work"
exec ./fuzz_asc -max_total_time="$seconds" -print_final_stats=1 -timeout=10 -rss_limit_mb=2048 \
    corpus
