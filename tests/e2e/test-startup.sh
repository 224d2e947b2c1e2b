# First start, second copy and both back ends, under Wine and Xvfb as a user would start them.
source "$(dirname "$0")/lib.sh" "$@"

for exe in vantrel-sim.exe vantrel.exe; do stop_program $exe; done
run reg delete 'HKCU\Software\Vantrel' /f >/dev/null 2>&1 || true
registry_key_exists 'HKCU\Software\Vantrel' && fail "the settings key could not be removed"

export VANTREL_SIM_INI
VANTREL_SIM_INI="$(winepath -w "$artefacts")\\startup-sim.ini"
rm -f "$artefacts/startup-sim.ini"

# The first copy starts, creates its settings key and keeps running.
first=$(start "$bin/vantrel-sim.exe")
sleep 3
alive "$first" || fail "the first copy ended"
registry_key_exists 'HKCU\Software\Vantrel' || fail "the first start did not create HKCU\\Software\\Vantrel"
[ -f "$artefacts/startup-sim.ini" ] || fail "the simulated machine did not write its state file"
screenshot startup-first-copy

# A second copy says so and ends; the first keeps running.
second=$(start "$bin/vantrel-sim.exe")
sleep 1
screenshot startup-second-copy-message
answer=$(run "$bin/vantrel-probe.exe" messagebox Vantrel 10000) || fail "no message from the second copy: $answer"
echo "$answer"
[[ "$answer" == *"TEXT: Application Vantrel Already Run!"* ]] || fail "unexpected message: $answer"
for i in $(seq 1 50); do alive "$second" || break; sleep 0.1; done
alive "$second" && fail "the second copy did not end after its message"
alive "$first" || fail "the first copy ended when the second started"
stop_program vantrel-sim.exe

# The program on the real back end starts too (Wine has no batteries: nothing to show).
real=$(start "$bin/vantrel.exe")
sleep 2
alive "$real" || fail "vantrel.exe did not keep running"
stop_program vantrel.exe
echo "PASS"
