#!/usr/bin/env bash
# Installs what is missing, builds the libFuzzer targets with clang in build-fuzz/ and runs each
# for SECONDS (default 600), two at a time, from the seeds in tests/fuzz/<area>/seeds/<target>/.
# Usage: scripts/fuzz.sh [SECONDS]
#   The working corpus grows in build-fuzz/corpus/<target>/ (the seeds are only read), each
#   target's log is build-fuzz/logs/<target>.log and what it finds (crash-, leak-, timeout- and
#   oom- inputs) lands in build-fuzz/findings/<target>/. Ends with one line per target; exits 1
#   when any target found something or did not run to its end.
set -euo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)

seconds=${1:-600}
if [[ ! $seconds =~ ^[1-9][0-9]*$ || $# -gt 1 ]]; then
    echo "usage: scripts/fuzz.sh [SECONDS]" >&2
    exit 64
fi
# One target per core; more would only slow each of them down.
parallel=2

"$root/scripts/deps.sh"

build_dir="$root/build-fuzz"
corpus="$build_dir/corpus"
logs="$build_dir/logs"
findings="$build_dir/findings"

# Every target declared in tests/fuzz/<area>/CMakeLists.txt, as "area/name".
targets=()
for list in "$root"/tests/fuzz/*/CMakeLists.txt; do
    area=$(basename "$(dirname "$list")")
    while read -r name; do
        targets+=("$area/$name")
    done < <(sed -n 's/^luming_fuzz_target(\([A-Za-z0-9_]*\) .*/\1/p' "$list")
done
for target in "${targets[@]}"; do
    [[ -d $root/tests/fuzz/${target%%/*}/seeds/${target#*/} ]] ||
        { echo "fuzz: no seeds for $target in tests/fuzz/${target%%/*}/seeds/" >&2; exit 1; }
done

generator=()
if [[ ! -f "$build_dir/CMakeCache.txt" ]]; then
    generator=(-G Ninja)
fi
CC=clang CXX=clang++ cmake -S "$root" -B "$build_dir" "${generator[@]}" -DLUMING_FUZZ=ON \
    -DLUMING_BENCH=OFF -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build "$build_dir" --parallel "$(nproc)" --target "${targets[@]#*/}" >&2

mkdir -p "$logs"
started="$logs/.started"
touch "$started"
# Undefined behaviour stops the target, so that libFuzzer keeps the input as a crash.
export UBSAN_OPTIONS=halt_on_error=1:print_stacktrace=1

run_target() {
    local area=${1%%/*} name=${1#*/}
    mkdir -p "$corpus/$name" "$findings/$name"
    local status=0
    "$build_dir/tests/fuzz/$area/$name" -max_total_time="$seconds" -timeout=25 \
        -print_final_stats=1 -artifact_prefix="$findings/$name/" \
        "$corpus/$name" "$root/tests/fuzz/$area/seeds/$name" >"$logs/$name.log" 2>&1 ||
        status=$?
    echo "$status" >"$logs/$name.status"
}

echo "fuzz: ${#targets[@]} targets, ${seconds} s each, $parallel at a time (logs in $logs)"
for target in "${targets[@]}"; do
    while (($(jobs -rp | wc -l) >= parallel)); do
        wait -n
    done
    echo "fuzz: running ${target#*/}"
    run_target "$target" &
done
wait

found=0
printf '%-24s %12s %6s %7s  %s\n' target runs cov ft result
for target in "${targets[@]}"; do
    name=${target#*/}
    log="$logs/$name.log"
    # The last status line ("#RUNS ... cov: N ft: N ...") has the totals.
    last=$(grep -E '^#[0-9]+[[:space:]].*cov: ' "$log" | tail -n 1 || true)
    runs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$log" | tail -n 1)
    cov=$(sed -n 's/.* cov: \([0-9]*\).*/\1/p' <<<"$last")
    ft=$(sed -n 's/.* ft: \([0-9]*\).*/\1/p' <<<"$last")
    artifacts=$(find "$findings/$name" -type f -newer "$started" \
        \( -name 'crash-*' -o -name 'leak-*' -o -name 'timeout-*' -o -name 'oom-*' \) | wc -l)
    status=$(cat "$logs/$name.status")
    if ((artifacts > 0)); then
        result="FOUND $artifacts in $findings/$name/"
        found=1
    elif ((status != 0)) || grep -q 'runtime error:' "$log"; then
        result="FAILED (exit $status, see $log)"
        found=1
    else
        result="nothing found"
    fi
    printf '%-24s %12s %6s %7s  %s\n' "$name" "${runs:--}" "${cov:--}" "${ft:--}" "$result"
done
exit "$found"
