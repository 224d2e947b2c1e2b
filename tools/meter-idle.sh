#!/usr/bin/env bash
# Idle cost of the running meter against a bare window that copies a 56x33 bitmap once a
# second, both running side by side under Wine in one build's prefix:
#   tools/meter-idle.sh <build-dir> [seconds]
# Wake-ups are the voluntary context switches of every thread of each program (a thread that
# blocks and is woken again); CPU time is user + system time. Both are read from /proc at the
# start and the end of the measured interval.
set -euo pipefail
src=$(cd "$(dirname "$0")/.." && pwd)
build=$(cd "$1" && pwd)
seconds=${2:-60}
bin="$build/bin"
out="$build/artefacts"
mkdir -p "$out"
eval "$("$src/scripts/wine-run" "$build" --env)"

# The default laptop, its main battery discharging: the meter is visible and repaints.
ini="$out/meter-idle-sim.ini"
rm -f "$ini"
export VANTREL_SIM_INI; VANTREL_SIM_INI=$(winepath -w "$ini")

pids_of() {  # Linux ids of the processes of this prefix that run the named program
  local path; path=$(winepath -w "$bin/$1")
  ps -eo pid=,args= | P="$path" awk 'index($0, ENVIRON["P"]) { print $1 }'
}
switches() {  # voluntary context switches of all threads of a process
  cat /proc/"$1"/task/*/status 2>/dev/null | awk '/^voluntary_ctxt_switches/ { s += $2 } END { print s + 0 }'
}
main_switches() { awk '/^voluntary_ctxt_switches/ { print $2 }' /proc/"$1"/task/"$1"/status; }
cpu_ticks() { awk '{ print $14 + $15 }' /proc/"$1"/stat; }
threads() { ls /proc/"$1"/task | wc -l; }

wine "$bin/vantrel-sim.exe" >"$out/meter-idle-vantrel.log" 2>&1 &
wine "$bin/meter-baseline.exe" 300 300 >"$out/meter-idle-baseline.log" 2>&1 &
sleep 8
meter=$(pids_of vantrel-sim.exe | head -1)
base=$(pids_of meter-baseline.exe | head -1)
[ -n "$meter" ] && [ -n "$base" ] || { echo "the programs did not start"; exit 1; }
trap 'kill $meter $base 2>/dev/null || true' EXIT
import -display "$DISPLAY" -window root "$out/meter-idle.png"

hz=$(getconf CLK_TCK)
m0=$(switches "$meter"); mm0=$(main_switches "$meter"); mc0=$(cpu_ticks "$meter")
b0=$(switches "$base"); bm0=$(main_switches "$base"); bc0=$(cpu_ticks "$base")
sleep "$seconds"
m1=$(switches "$meter"); mm1=$(main_switches "$meter"); mc1=$(cpu_ticks "$meter")
b1=$(switches "$base"); bm1=$(main_switches "$base"); bc1=$(cpu_ticks "$base")

report() {  # name total-switches main-switches cpu-ticks threads
  awk -v n="$1" -v s="$2" -v m="$3" -v c="$4" -v t="$5" -v secs="$seconds" -v hz="$hz" 'BEGIN {
    printf "%-16s wake-ups/s: %6.2f all threads (%d), %6.2f main thread   CPU: %7.1f ms per minute\n",
      n, s / secs, t, m / secs, c * 1000 / hz * 60 / secs }'
}
echo "idle for $seconds s under Wine, side by side:"
report "vantrel-sim" $((m1 - m0)) $((mm1 - mm0)) $((mc1 - mc0)) "$(threads "$meter")"
report "meter-baseline" $((b1 - b0)) $((bm1 - bm0)) $((bc1 - bc0)) "$(threads "$base")"
