# The Schemes page driven as a user would: open it, save the active scheme as a new one with
# the mouse (Save As...) and the keyboard (the name, Enter), then end the program, start it
# again and find the new scheme in the list. Screenshots of each step are kept as artefacts.
source "$(dirname "$0")/lib.sh" "$@"

cleanup_programs=(vantrel-sim.exe)
cleanup
key='HKCU\Software\Vantrel'
run reg delete "$key" /f >/dev/null 2>&1 || true
probe() { run "$bin/vantrel-probe.exe" "$@" | tr -d '\r'; }

fresh_sim_state schemes-sim.ini

read -r width height < <(xdotool getdisplaygeometry)
icon_x=$((width - 11)) icon_y=$((height - 11))
new_name="Road Trip"

# Starts the program, opens the main window from the tray and goes to the Schemes page.
open_schemes_page() {
  program=$(start "$bin/vantrel-sim.exe")
  wait_for 20 grep -qs GlobalPolicy "$ini" || fail "the simulated machine did not write its state file"
  sleep 2
  alive "$program" || fail "the program ended"
  xdotool mousemove $icon_x $icon_y click --repeat 2 --delay 100 1
  probe window "Vantrel - Control" 5000 >/dev/null || fail "a double click did not open the main window"
  local left top right bottom spacing_x spacing_y
  read -r left top right bottom spacing_x spacing_y < <(probe list-layout "Vantrel - Control" 1001)
  local x=$(((left + right) / 2)) y=$((top + spacing_y + 18))
  xdotool mousemove $x $((y - 2)); sleep 0.3
  xdotool mousemove $x $y; sleep 0.3
  xdotool click 1
  probe window "Vantrel - Schemes" 5000 >/dev/null || fail "the page list did not switch to Schemes"
  sleep 0.5
}

click_control() {  # control-id
  local left top right bottom
  read -r left top right bottom < <(probe control-rect "Vantrel - Schemes" "$1") || fail "no control $1"
  xdotool mousemove $(((left + right) / 2)) $(((top + bottom) / 2)); sleep 0.2
  xdotool click 1
}

open_schemes_page
before=$(probe combo-items "Vantrel - Schemes" 1027)
echo "$before" | grep -qx '\*Portable/Laptop' || fail "the active scheme is not selected: $before"
screenshot schemes-page

# Save As... with the mouse, the name with the keyboard.
click_control 1026
probe window "Save As..." 5000 >/dev/null || fail "Save As... opened no dialog"
sleep 0.3
xdotool type --delay 50 "$new_name"
sleep 0.3
screenshot schemes-save-as-dialog
xdotool key Return
probe no-window "Save As..." 3000 >/dev/null || fail "Enter did not close the Save As dialog"
sleep 0.5
after=$(probe combo-items "Vantrel - Schemes" 1027)
[ "$(echo "$after" | tail -1)" = "*$new_name" ] || fail "the new scheme is not the last, selected item: $after"
echo "$after" | grep -qx 'Portable/Laptop' || fail "the source scheme went: $after"
screenshot schemes-page-saved
ini_has_line "Name=$new_name" || fail "the simulated machine does not hold the new scheme"
ini_has_line 'Active=1' || fail "the active scheme changed"

# Gone and back: the system keeps the scheme.
stop_program vantrel-sim.exe
sleep 1
open_schemes_page
again=$(probe combo-items "Vantrel - Schemes" 1027)
echo "$again" | grep -qx "$new_name" || fail "the new scheme is not listed after a restart: $again"
echo "$again" | grep -qx '\*Portable/Laptop' || fail "the active scheme is not selected after a restart: $again"
# The list open, with the new scheme at its end.
click_control 1027
sleep 0.5
screenshot schemes-page-restarted-list
xdotool key Escape
run reg delete "$key" /f >/dev/null 2>&1 || true
echo "PASS"
