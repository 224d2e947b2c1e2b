# Power schemes from the tray menu, as a user meets them: a scheme chosen from the "Power
# Schemes" submenu with the mouse, the automatic switching dialog, and the adapter plugged in
# and out. Screenshots of the submenu and the dialog are kept as artefacts.
source "$(dirname "$0")/lib.sh" "$@"

fresh_program
fresh_sim_state tray-schemes-sim.ini xp

away() { xdotool mousemove $((width / 2)) 100; }

away
start_sim
ini_has_line "Active=1" || fail "the default laptop does not start on Portable/Laptop"

# The six default schemes, Portable/Laptop checked; "Always On" is the fourth.
open_tray_schemes
hover $(((s_left + s_right) / 2)) "$(item_y "$s_top" $((10 + 3 * 20)))"
screenshot tray-schemes-submenu
xdotool click 1
ini_has_line "Active=3" || fail "choosing \"Always On\" did not make it active"
probe menu-open 300 && fail "the menu stayed open after the choice"

# "Automatic switching...", the last item after the schemes and a separator; chosen with the
# keyboard in the dialog: mains the first scheme, battery the sixth.
open_tray_schemes
hover $(((s_left + s_right) / 2)) "$(item_y "$s_top" $((6 * 20 + 6 + 10)))"
xdotool click 1
probe window "Automatic switching" 5000 >/dev/null || fail "\"Automatic switching...\" opened no dialog"
sleep 0.5
xdotool key Down Tab
for _ in 1 2 3 4 5 6; do xdotool key Down; done
sleep 0.3
screenshot tray-schemes-dialog
probe combo-items "Automatic switching" 2103 | tr -d '\r' | grep -qxF '*Max Battery' ||
  fail "the battery list does not show Max Battery: $(probe combo-items "Automatic switching" 2103)"
xdotool key Return
probe no-window "Automatic switching" 3000 >/dev/null || fail "OK did not close the dialog"
for value in "SchemeOnMains:Home/Office Desk" "SchemeOnBattery:Max Battery"; do
  stored=$(run reg query "$key" /v "${value%%:*}" 2>/dev/null | tr -d '\r') || true
  [[ "$stored" == *"REG_SZ"*"${value#*:}"* ]] || fail "${value%%:*} was not stored: $stored"
done

# The adapter plugged in, and out again: each change makes its scheme active.
probe power-source "$VANTREL_SIM_INI" 1 || fail "the probe could not plug the adapter in"
ini_has_line "Active=0" || fail "on mains the mains scheme did not become active"
probe power-source "$VANTREL_SIM_INI" 0 || fail "the probe could not unplug the adapter"
ini_has_line "Active=5" || fail "on battery the battery scheme did not become active"
# A scheme chosen by hand on battery stays through another broadcast of the same source.
open_tray_schemes
hover $(((s_left + s_right) / 2)) "$(item_y "$s_top" $((10 + 1 * 20)))"
xdotool click 1
ini_has_line "Active=1" || fail "choosing \"Portable/Laptop\" did not make it active"
probe power-source "$VANTREL_SIM_INI" 0
sleep 1
ini_has_line "Active=1" || fail "a broadcast without a change of source switched the scheme"
alive "$program" || fail "the program ended"

exit_from_tray
forget_settings
echo "PASS"
