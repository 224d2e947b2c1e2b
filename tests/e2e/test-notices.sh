# The battery notices on the simulated laptop, as a user sees them: one battery drains fast
# through the 15 % level and exactly one balloon rises from the tray icon, and stays the only
# one while the charge goes on falling; then the charge limit is switched on in the Notices
# dialog of the Control page. Screenshots of the balloon and the dialog are kept as artefacts.
source "$(dirname "$0")/lib.sh" "$@"

fresh_program
has_balloon() { [ -n "$(probe balloons)" ]; }

run reg add "$key" /v LowBatteryNotice /t REG_BINARY /d "$(binary 15)" /f >/dev/null

fresh_sim_state notices-sim.ini

xdotool mousemove $((width / 2)) 100

program=$(start "$bin/vantrel-sim.exe")
wait_for 30 grep -qs GlobalPolicy "$ini" || fail "the simulated machine did not write its state file"
sleep 1
stop_program vantrel-sim.exe

# The main battery alone at 17.1 % (16 000 of 93 550 mWh), drawing 14.5 W on a clock a hundred
# times fast: a point every 2.3 seconds, 15 % some 5 seconds after the start.
set_ini Batteries Count 1
set_ini Battery0 Capacity 16000
set_ini Machine TimeScale 100
program=$(start "$bin/vantrel-sim.exe")
sleep 2
alive "$program" || fail "the program ended"
[ -z "$(probe balloons)" ] || fail "a balloon before the charge reached the level"

wait_for 15 has_balloon || fail "no balloon when the charge fell to 15 %"
sleep 1.5  # the balloon's own fade-in
first=$(probe balloons)
echo "balloon: $first"
[ "$(wc -l <<<"$first")" -eq 1 ] || fail "more than one balloon: $first"
screenshot notice-low-battery
read -r _ bl bt br bb <<<"$first"
convert "$artefacts/notice-low-battery.png" -crop $((br - bl + 40))x$((bb - bt + 40))+$((bl - 20))+$((bt - 20)) +repage \
  "$artefacts/notice-low-battery-close.png"
echo "close-up: $artefacts/notice-low-battery-close.png"

# Three more points down: the same balloon, no second one (a new one would replace it). The
# balloon may time out meanwhile where the probe itself is slow; that is no new balloon.
end=$((SECONDS + 7))
while [ $SECONDS -lt $end ]; do
  again=$(probe balloons)
  [ -z "$again" ] || [ "$again" = "$first" ] || fail "the balloon was raised again: '$first' then '$again'"
  sleep 0.5
done
screenshot notice-low-battery-later

# The charge limit, off so far, switched on from the Control page: its box, then OK.
open_main_window
xdotool mousemove $((width / 2)) 100
sleep 0.5
screenshot notices-control-page
click_control "Vantrel - Control" 2019
probe window "Battery notices" 5000 >/dev/null || fail "Notices... opened no dialog"
read -r l t r b < <(probe control-rect "Battery notices" 2004) || fail "no charge limit box"
xdotool mousemove $((l + 6)) $(((t + b) / 2)) click 1
sleep 0.5
screenshot notices-dialog
xdotool key Return
probe no-window "Battery notices" 3000 >/dev/null || fail "OK did not close the dialog"
[ "$(stored ChargeLimitNotice)" = 80 ] || fail "OK did not store the charge limit: $(stored ChargeLimitNotice || echo none)"
[ "$(stored LowBatteryNotice)" = 15 ] || fail "OK changed the low battery level"
stop_program vantrel-sim.exe
forget_settings
echo "PASS"
