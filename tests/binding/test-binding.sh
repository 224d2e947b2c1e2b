# The program's own binding to the power library, under Wine, with a recording stand-in
# library (powrprof_standin.c) and the loader told to prefer a native library, as Windows
# takes a library that is not a known DLL from the program's folder first.
#  1. Control: a program that imports the library statically loads the stand-in placed beside
#     it, so this set-up reproduces the threat.
#  2. The shipped program beside the same stand-in never loads it: with native only it runs
#     without a power library, with native first on Wine's own; it keeps running either way.
#  3. On Wine's own library the program chooses neither interface; the device set-up library
#     comes from the system folder and answers.
#  4. The stand-in in the system folder is what the program loads: it chooses the plan back
#     end, and the record shows the calls of an edit, the read-backs and the re-apply of the
#     active plan, and no XP-era write.
#   test-binding.sh <source-dir> <build-dir> <bits: 32 | 64> <program.exe> <power-probe.exe>
#                   <static-import.exe> <stand-in powrprof.dll>
source "$(dirname "$0")/../e2e/lib.sh" "$@"
bits=$3 program=$4 power_probe=$5 static_import=$6 standin=$7

work="$artefacts/binding"
rm -rf "$work"
# Copies of the program run here (its own path is on this script's command line, which
# stop_program must not match).
mkdir -p "$work/beside" "$work/alone"
cp "$program" "$work/alone/vantrel.exe"
log="$work/standin.log"
export VANTREL_STANDIN_LOG
VANTREL_STANDIN_LOG="$(winepath -w "$work")\\standin.log"
base_overrides=$WINEDLLOVERRIDES
system_folder="$WINEPREFIX/drive_c/windows/$([ "$bits" = 32 ] && echo syswow64 || echo system32)"
original="$work/original-powrprof.dll"
cp "$system_folder/powrprof.dll" "$original"

# Whatever happens, the system folder gets Wine's own library back and no copy keeps running.
restore() {
  cp "$original" "$system_folder/powrprof.dll" 2>/dev/null || true
  bin="$work/beside" stop_program vantrel.exe
  bin="$work/alone" stop_program vantrel.exe
}
trap 'restore; cleanup' EXIT

# Runs a console program to its end with the power library's load order given; prints its output.
run_with() {  # load-order program arguments...
  local out="$work/out-$RANDOM.txt"
  WINEDLLOVERRIDES="$base_overrides;powrprof=$1" wine "${@:2}" >"$out" 2>&1 || true
  tr -d '\r' <"$out"
}
# Starts the program with the load order given, checks that it keeps running, ends it.
start_with() {  # load-order program
  local pid
  pid=$(WINEDLLOVERRIDES="$base_overrides;powrprof=$1" start "$2")
  sleep 4
  alive "$pid" || fail "$(basename "$2") ended with powrprof=$1"
  bin=$(dirname "$2") stop_program "$(basename "$2")"
}
logged() { [ -f "$log" ] && tr -d '\r' <"$log" || true; }
xp_writes() { logged | grep -E '^(WritePwrScheme|WriteGlobalPwrPolicy|WriteProcessorPwrScheme|SetActivePwrScheme|DeletePwrScheme)' || true; }

# 1. The control.
cp "$standin" "$work/beside/powrprof.dll"
cp "$static_import" "$work/beside/static-import.exe"
run_with n "$work/beside/static-import.exe" >/dev/null
logged | grep -qi '^loaded .*\\beside\\powrprof\.dll$' ||
  fail "control: a static import did not load the stand-in beside it: $(logged)"
echo "control: the static import loaded $(logged | head -1 | cut -d' ' -f2-)"
rm -f "$log"

# 2. The shipped program beside the stand-in.
cp "$program" "$work/beside/vantrel.exe"
for order in n n,b; do
  start_with "$order" "$work/beside/vantrel.exe"
  [ -f "$log" ] && fail "the program loaded the stand-in beside it (powrprof=$order): $(logged)"
  echo "powrprof=$order: the stand-in beside the program was never loaded; the program kept running"
done
# The same binding in a console program beside the stand-in says which library it runs on:
# none with native only, Wine's own from the system folder with native first.
cp "$power_probe" "$work/beside/power-probe.exe"
for order in n n,b; do
  answer=$(run_with "$order" "$work/beside/power-probe.exe" backend)
  echo "powrprof=$order: $(tr '\n' ' ' <<<"$answer")"
  [ -f "$log" ] && fail "the probe loaded the stand-in beside it (powrprof=$order): $(logged)"
  grep -qi 'beside' <<<"$answer" && fail "the probe runs on the library beside it (powrprof=$order)"
done
grep -qix 'library=C:\\windows\\system32\\powrprof\.dll' <<<"$answer" ||
  fail "with native first, the program beside the stand-in does not run on the system's own library"

# 3. Wine's own library.
answer=$(run_with b "$power_probe" backend)
echo "$answer"
grep -qx 'backend=none' <<<"$answer" || fail "on Wine's own library the choice is not none"
grep -qix 'library=C:\\windows\\system32\\powrprof\.dll' <<<"$answer" || fail "Wine's own library is not the one loaded"
grep -qix 'setupapi=C:\\windows\\system32\\setupapi\.dll' <<<"$answer" || fail "the device set-up library is not the system's"
grep -qx 'battery devices listed=1' <<<"$answer" || fail "the battery enumeration does not answer through the library"
start_with b "$work/alone/vantrel.exe"

# 4. The stand-in in the system folder.
cp "$standin" "$system_folder/powrprof.dll"
answer=$(run_with n "$power_probe" store)
echo "$answer"
for line in 'backend=plans' 'plan 0: Balanced (active)' 'plan 1: Quiet Stand-in' \
            'other: written=1 problems=0 reapplied=0 result=0' 'active: written=1 problems=0 reapplied=1 result=0'; do
  grep -qxF "$line" <<<"$answer" || fail "the probe did not say \"$line\""
done
logged | head -1 | grep -qiE '^loaded C:\\windows\\(system32|syswow64)\\powrprof\.dll$' ||
  fail "the stand-in in the system folder was not the library loaded: $(logged | head -1)"
balanced=381b4222-f694-41f0-9685-ff5bb260df2e quiet=5ab1e000-0001-4000-8000-000000000001
video="7516b95f-f776-4464-8c53-06167f40cc99 3c0bc021-c8a8-4e07-a973-6b14cbcb2b7e"
# Each write is read back; only the active plan is made active again, after its write.
expect_order() {  # first-line second-line
  local a b
  # A line missing is said below, not ended on by the shell's own error checks.
  a=$(logged | grep -nxF -- "$1" | head -1 | cut -d: -f1 || true)
  b=$(logged | grep -nxF -- "$2" | tail -1 | cut -d: -f1 || true)
  [ -n "$a" ] && [ -n "$b" ] && [ "$a" -lt "$b" ] || fail "the record lacks \"$1\" before \"$2\""
}
expect_order "PowerWriteDCValueIndex $quiet $video value=900" "PowerReadDCValueIndex $quiet $video"
expect_order "PowerWriteACValueIndex $balanced $video value=660" "PowerReadACValueIndex $balanced $video"
expect_order "PowerWriteACValueIndex $balanced $video value=660" "PowerSetActiveScheme $balanced"
[ "$(logged | grep -c '^PowerWrite')" = 2 ] || fail "other writes than the two edits: $(logged | grep '^PowerWrite')"
logged | grep -q "^PowerSetActiveScheme $quiet" && fail "the plan that is not active was activated"
[ -z "$(xp_writes)" ] || fail "XP-era writes on the plan back end: $(xp_writes)"
echo "the stand-in in the system folder: $(logged | wc -l) calls recorded, the edits as expected, no XP-era write"

# The shipped program on it starts, reads the plans and writes nothing.
rm -f "$log"
start_with n "$work/alone/vantrel.exe"
logged | grep -q '^PowerGetActiveScheme' || fail "the program did not ask the stand-in for the active plan"
logged | grep -q '^PowerEnumerate' || fail "the program did not enumerate the stand-in's plans"
logged | grep -qE '^PowerWrite|^PowerSetActiveScheme|^PowerDuplicateScheme|^PowerDeleteScheme' &&
  fail "the program wrote at start-up: $(logged | grep -E '^Power(Write|Set|Dup|Del)')"
[ -z "$(xp_writes)" ] || fail "XP-era writes at start-up: $(xp_writes)"
echo "the program on the stand-in in the system folder: it chose it, read the plans, wrote nothing"

restore
cmp -s "$original" "$system_folder/powrprof.dll" || fail "Wine's own library could not be put back"
echo "PASS"
