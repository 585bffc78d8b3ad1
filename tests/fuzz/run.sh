#!/usr/bin/env bash
# Runs every fuzz target of BUILD_DIR for SECONDS on a scratch copy of its seed corpus. Fails on any crash,
# leak, sanitizer report or round-trip drift; the input that caused it is left in the scratch folder.
# Usage: tests/fuzz/run.sh BUILD_DIR SECONDS
set -uo pipefail
build="$1"
seconds="$2"
here="$(cd "$(dirname "$0")" && pwd)"
scratch="$(mktemp -d "${TMPDIR:-/tmp}/orvanta-fuzz.XXXXXX")"
failed=0
summary=""
for target in "$build"/tests/fuzz/fuzz_*; do
    [ -f "$target" ] && [ -x "$target" ] || continue
    name="$(basename "$target")"
    seeds="$here/corpus/${name#fuzz_}"
    work="$scratch/$name"
    mkdir -p "$work/corpus" "$work/found"
    [ -d "$seeds" ] && cp -r "$seeds/." "$work/corpus/"
    echo "== $name, $seconds s"
    ASAN_OPTIONS=detect_leaks=1:abort_on_error=1 \
    UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 \
    LSAN_OPTIONS=suppressions="$here/../lsan.supp" \
        "$target" -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 -max_len=8192 \
        -print_final_stats=1 -artifact_prefix="$work/found/" "$work/corpus" >"$work/log" 2>&1
    code=$?
    runs="$(sed -n 's/^stat::number_of_executed_units: *//p' "$work/log" | tail -1)"
    if [ "$code" -ne 0 ]; then
        failed=1
        tail -n 60 "$work/log"
        echo "!! $name failed (exit $code); inputs in $work/found"
        summary+="$name: FAILED after ${runs:-?} executions"$'\n'
    else
        summary+="$name: ${runs:-?} executions, nothing found"$'\n'
    fi
done
echo "== fuzzing summary"
printf '%s' "$summary"
[ "$failed" -eq 0 ] && rm -rf "$scratch"
exit "$failed"
