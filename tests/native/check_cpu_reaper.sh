#!/usr/bin/env bash
# The benchmark's CPU-time helper must measure a process that its parent left
# behind (as Wine leaves every program it starts), with the CPU time it used,
# and end with its command's exit status.
#
#   check_cpu_reaper.sh CPU_REAPER SCRATCH_FOLDER
set -uo pipefail
reaper=$1 dir=$2/cpu_reaper
rm -rf "$dir" && mkdir -p "$dir" || exit 1
cp /bin/sh "$dir/orphan_busy" || exit 1
fail() {
    echo "cpu_reaper: $*" >&2
    cat "$dir/log" >&2
    exit 1
}

# The busy shell is started from a subshell that ends at once, so its parent
# is gone and the reaper inherits it; the command waits (10 s at most) until
# the reaper has logged it.
"$reaper" "$dir/log" sh -c '
    ("$1/orphan_busy" -c "i=0; while [ \$i -lt 400000 ]; do i=\$((i+1)); done" &)
    for i in $(seq 200); do grep -q "^orphan_busy" "$1/log" && break; sleep 0.05; done
    exit 7' sh "$dir"
[ $? -eq 7 ] || fail "did not end with the command's exit status 7"

# The orphan's line: name, pid, CPU ms. Its loop takes a few hundred ms of CPU;
# a helper that missed it or read the wrong counters would log 0 or nothing.
line=$(grep -P '^orphan_busy\t[0-9]+\t' "$dir/log") || fail "no line for the orphaned process"
cpu=$(cut -f3 <<<"$line")
awk -v ms="$cpu" 'BEGIN { exit !(ms >= 50) }' || fail "the orphan's CPU time is $cpu ms"
grep -qP '^sh\t[0-9]+\t' "$dir/log" || fail "no line for the command itself"
