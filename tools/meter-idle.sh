#!/usr/bin/env bash
# Idle cost of the running meter against a bare window that copies a 56x33 bitmap once a
# second, both running side by side under Wine in one build's prefix:
#   tools/meter-idle.sh <build-dir> [seconds] [batteries-page | batteries-page-open] [notices]
#                       [one-battery]
# The program's own settings are put in a known state first: the battery notices and the
# one-battery mode at their defaults (the low-battery notice at 15 %, the charge limit off,
# all batteries); the battery history always records. "notices" turns both notices on (15 %
# and 80 %); "one-battery" shows the main battery only (by its name, 42T4969).
# With "batteries-page" the main window is first opened from the tray icon, the Batteries page
# shown for a few seconds and the window hidden again with Escape, as a user checking the
# batteries would leave it; the figures are then those of the program with that page alive.
# "batteries-page-open" leaves the window on show, the page refreshing.
# Wake-ups: the program's system calls are traced (in a second interval of the same length)
# and counted as bursts, a burst being calls
# that follow each other within 50 ms; each burst is one wake-up from idle. Under Wine a single
# wake-up makes many blocking round trips to the wine server and the X server, which the
# voluntary context switches (also shown) count one by one. CPU time is the time the threads
# spent on a processor (schedstat, in nanoseconds), read at the start and end of the interval.
set -euo pipefail
src=$(cd "$(dirname "$0")/.." && pwd)
build=$(cd "$1" && pwd)
seconds=${2:-60}
after="" notices=0 one_battery=0
for word in "${@:3}"; do
  case $word in
    batteries-page | batteries-page-open) after=$word ;;
    notices) notices=1 ;;
    one-battery) one_battery=1 ;;
    *) echo "unknown switch: $word"; exit 2 ;;
  esac
done
bin="$build/bin"
out="$build/artefacts"
mkdir -p "$out"
eval "$("$src/scripts/wine-run" "$build" --env)"

# A 32-bit build on a machine whose i386 programs run under qemu (scripts/install-deps) would
# measure the emulator, not the program: measure the 64-bit build there.
if [ "$(od -An -tx2 -j$(($(od -An -tu4 -j60 -N4 "$bin/vantrel-sim.exe") + 4)) -N2 "$bin/vantrel-sim.exe" | tr -d ' ')" = 014c ] &&
   head -1 /proc/sys/fs/binfmt_misc/qemu-i386 2>/dev/null | grep -qx enabled; then
  echo "32-bit programs run under the qemu emulator on this machine; measure a 64-bit build (win64) instead"
  exit 2
fi

# The settings the figures depend on, as the switches ask.
key='HKCU\Software\Vantrel'
dword() { printf '%02x%02x%02x%02x' $(($1 & 255)) $(($1 >> 8 & 255)) $(($1 >> 16 & 255)) $(($1 >> 24 & 255)); }
for value in LowBatteryNotice ChargeLimitNotice DisplayOneBatteryStatus BatteryName; do
  wine reg delete "$key" /v $value /f >/dev/null 2>&1 || true
done
if [ $notices = 1 ]; then
  wine reg add "$key" /v LowBatteryNotice /t REG_BINARY /d "$(dword 15)" /f >/dev/null
  wine reg add "$key" /v ChargeLimitNotice /t REG_BINARY /d "$(dword 80)" /f >/dev/null
fi
if [ $one_battery = 1 ]; then
  wine reg add "$key" /v DisplayOneBatteryStatus /t REG_BINARY /d "$(dword 1)" /f >/dev/null
  wine reg add "$key" /v BatteryName /t REG_SZ /d 42T4969 /f >/dev/null
fi

# The default laptop, its main battery discharging: the meter is visible and repaints.
ini="$out/meter-idle-sim.ini"
rm -f "$ini"
export VANTREL_SIM_INI; VANTREL_SIM_INI=$(winepath -w "$ini")

pids_of() {  # Linux ids of the processes that run the named program of this build, in its prefix
  # 64-bit Wine shows the program's Windows path, 32-bit Wine its Linux path. The build's
  # other Wine lanes (tests) may run the same program meanwhile.
  local path pid; path=$(winepath -w "$bin/$1")
  ps -eo pid=,args= | P="$path" U="$bin/$1" awk '$2 == ENVIRON["P"] || $2 == ENVIRON["U"] { print $1 }' |
    while read -r pid; do
      if { tr '\0' '\n' <"/proc/$pid/environ"; } 2>/dev/null | grep -xF "WINEPREFIX=$WINEPREFIX" >/dev/null; then echo "$pid"; fi
    done
  return 0
}
switches() {  # voluntary context switches of all threads of a process
  cat /proc/"$1"/task/*/status 2>/dev/null | awk '/^voluntary_ctxt_switches/ { s += $2 } END { print s + 0 }'
}
main_switches() { awk '/^voluntary_ctxt_switches/ { print $2 }' /proc/"$1"/task/"$1"/status; }
cpu_ns() {  # from the scheduler's own account, in nanoseconds
  cat /proc/"$1"/task/*/sched | awk '/se.sum_exec_runtime/ { s += $3 } END { printf "%d\n", s * 1e6 }'
}
threads() { ls /proc/"$1"/task | wc -l; }

if [ -n "$(pids_of vantrel-sim.exe)$(pids_of meter-baseline.exe)" ]; then
  echo "vantrel-sim.exe or meter-baseline.exe of this build is running already; end it first"
  exit 1
fi
# Whatever happens, the two programs end with the script.
trap 'kill $(pids_of vantrel-sim.exe) $(pids_of meter-baseline.exe) 2>/dev/null || true' EXIT
wine "$bin/vantrel-sim.exe" >"$out/meter-idle-vantrel.log" 2>&1 &
wine "$bin/meter-baseline.exe" 300 300 >"$out/meter-idle-baseline.log" 2>&1 &
sleep 8
meter=$(pids_of vantrel-sim.exe)
base=$(pids_of meter-baseline.exe)
[ -n "$meter" ] && [ -n "$base" ] || { echo "the programs did not start"; exit 1; }
if [ "$after" = batteries-page ] || [ "$after" = batteries-page-open ]; then
  probe() { "$src/scripts/wine-run" "$build" "$bin/vantrel-probe.exe" "$@" | tr -d '\r'; }
  read -r width height < <(xdotool getdisplaygeometry)
  xdotool mousemove $((width - 11)) $((height - 11)) click --repeat 2 --delay 100 1
  probe window "Vantrel - Control" 5000 >/dev/null || { echo "the main window did not open"; exit 1; }
  read -r left top right bottom _ spacing_y < <(probe list-layout "Vantrel - Control" 1001)
  xdotool mousemove $(((left + right) / 2)) $((top + 2 * spacing_y + 16)) sleep 0.3 \
    mousemove $(((left + right) / 2)) $((top + 2 * spacing_y + 18)) sleep 0.3 click 1
  probe window "Vantrel - Batteries" 5000 >/dev/null || { echo "the Batteries page did not open"; exit 1; }
  sleep 3
  import -display "$DISPLAY" -window root "$out/meter-idle-batteries-page.png"
  if [ "$after" = batteries-page ]; then
    xdotool key Escape
    probe no-window "Vantrel - Batteries" 3000 >/dev/null || { echo "the main window stayed"; exit 1; }
  fi
  xdotool mousemove $((width / 2)) 100
  sleep 2
fi
import -display "$DISPLAY" -window root "$out/meter-idle.png"

# Counts the bursts of system calls in a trace written with -tt.
bursts() {
  awk '{ split($2, t, ":"); now = t[1] * 3600 + t[2] * 60 + t[3]
         if (NR == 1 || now - last > 0.05) n++; last = now } END { print n + 0 }' "$1"
}

# First untraced: CPU time and context switches. Then traced: the wake-ups.
m0=$(switches "$meter"); mm0=$(main_switches "$meter"); mc0=$(cpu_ns "$meter")
b0=$(switches "$base"); bm0=$(main_switches "$base"); bc0=$(cpu_ns "$base")
sleep "$seconds"
m1=$(switches "$meter"); mm1=$(main_switches "$meter"); mc1=$(cpu_ns "$meter")
b1=$(switches "$base"); bm1=$(main_switches "$base"); bc1=$(cpu_ns "$base")
timeout "$seconds" strace -f -tt -o "$out/meter-idle-vantrel.trace" -p "$meter" 2>/dev/null &
trace_meter=$!
timeout "$seconds" strace -f -tt -o "$out/meter-idle-baseline.trace" -p "$base" 2>/dev/null &
trace_base=$!
wait $trace_meter $trace_base || true

report() {  # name bursts total-switches main-switches cpu-ns threads
  awk -v n="$1" -v w="$2" -v s="$3" -v m="$4" -v c="$5" -v t="$6" -v secs="$seconds" 'BEGIN {
    printf "%-15s wake-ups/s %5.2f   context switches/s %6.2f (%d threads; main %6.2f)   CPU %6.1f ms/min\n",
      n, w / secs, s / secs, t, m / secs, c / 1e6 * 60 / secs }'
}
echo "idle under Wine, side by side, $seconds s untraced then $seconds s traced (notices $notices, one battery $one_battery${after:+, $after}):"
report "vantrel-sim" "$(bursts "$out/meter-idle-vantrel.trace")" $((m1 - m0)) $((mm1 - mm0)) $((mc1 - mc0)) \
  "$(threads "$meter")"
report "meter-baseline" "$(bursts "$out/meter-idle-baseline.trace")" $((b1 - b0)) $((bm1 - bm0)) $((bc1 - bc0)) \
  "$(threads "$base")"
