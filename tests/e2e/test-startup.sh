# First start, second copy and both back ends, under Wine and Xvfb as a user would start them.
source "$(dirname "$0")/lib.sh" "$@"

cleanup_programs=(vantrel-sim.exe vantrel.exe)
cleanup
run reg delete 'HKCU\Software\Vantrel' /f >/dev/null 2>&1 || true
registry_key_exists 'HKCU\Software\Vantrel' && fail "the settings key could not be removed"

export VANTREL_SIM_INI
VANTREL_SIM_INI="$(winepath -w "$artefacts")\\startup-sim.ini"
rm -f "$artefacts/startup-sim.ini"

# The first copy starts, creates its settings key and keeps running.
first=$(start "$bin/vantrel-sim.exe")
wait_for 30 registry_key_exists 'HKCU\Software\Vantrel' || fail "the first start did not create HKCU\\Software\\Vantrel"
wait_for 30 test -f "$artefacts/startup-sim.ini" || fail "the simulated machine did not write its state file"
sleep 1
alive "$first" || fail "the first copy ended"
screenshot startup-first-copy

# A second copy says so and ends; the first keeps running.
second=$(start "$bin/vantrel-sim.exe")
answer=$(run "$bin/vantrel-probe.exe" read-messagebox Vantrel 20000) || fail "no message from the second copy: $answer"
screenshot startup-second-copy-message
run "$bin/vantrel-probe.exe" messagebox Vantrel 5000 >/dev/null || fail "the message could not be answered"
echo "$answer"
[[ "$answer" == *"TEXT: Application Vantrel Already Run!"* ]] || fail "unexpected message: $answer"
for i in $(seq 1 50); do alive "$second" || break; sleep 0.1; done
alive "$second" && fail "the second copy did not end after its message"
alive "$first" || fail "the first copy ended when the second started"
stop_program vantrel-sim.exe

# The program on the real back end starts too (Wine has no batteries: nothing to show).
real=$(start "$bin/vantrel.exe")
sleep 3
alive "$real" || fail "vantrel.exe did not keep running"
stop_program vantrel.exe
echo "PASS"
