# The Batteries page as a user reaches it: the main window opened from the tray icon, the
# Batteries entry of the page list clicked, then each battery of the default laptop chosen in
# the device list with the mouse and the keyboard, and German and back. Screenshots of both
# batteries and of the German page are kept.
source "$(dirname "$0")/lib.sh" "$@"

fresh_program

fresh_sim_state batteries-sim.ini

title="Vantrel - Batteries"
start_sim
open_main_window
open_page 2 "$title"

field() { probe control "$title" "$1" | tr -d '\r' | cut -d' ' -f6-; }
enabled() { probe control "$title" "$1" | tr -d '\r' | cut -d' ' -f5; }
shows() { [ "$(field "$1")" = "$2" ]; }  # control-id text
changed() { ! shows "$@"; }
expect() {  # control-id text what
  local got
  got=$(field "$1")
  [ "$got" = "$2" ] || fail "$3: \"$got\", not \"$2\""
}

# The main battery: discharging, so the button offers to charge, which it can.
wait_for 5 shows 1003 "42T4969" || fail "the first entry is not selected: \"$(field 1003)\""
expect 1009 "93600 (mWh)" "design capacity"
expect 1016 "93550 (mWh)" "full-charged capacity"
expect 1007 "LION" "chemistry"
expect 1012 "14/3/2011" "manufacture date"
expect 1017 "Unknown" "a cycle count of 0"
expect 1019 "Unknown" "a temperature the battery does not report"
expect 1061 "Discharging" "charge state"
expect 1045 "Charge" "the button while discharging"
[ "$(enabled 1045)" = 1 ] || fail "the main battery can be charged, but the button is greyed"
# The live status moves while the page is on show (the simulated battery drains in real time).
first=$(field 1020)
wait_for 6 changed 1020 "$first" || fail "the remaining capacity was not refreshed: $first"
screenshot batteries-page-main-battery

# The bay battery, chosen in the device list: a click opens it, Down and Enter pick it.
read -r c_left c_top c_right c_bottom _ < <(probe control "$title" 1003 | tr -d '\r')
xdotool mousemove $(((c_left + c_right) / 2)) $(((c_top + c_bottom) / 2)) click 1
sleep 0.5
xdotool key Down Return
wait_for 5 shows 1003 "00HW022" || fail "the second battery could not be chosen"
expect 1016 "25860 (mWh)" "the bay battery's full-charged capacity"
expect 1017 "5" "the bay battery's cycle count"
expect 1012 "Unknown" "a battery without a manufacture date"
expect 1061 "OnLine" "the resting battery's state"
expect 1023 "Unknown" "the estimated time on mains"
expect 1045 "Discharge" "the button on mains"
[ "$(enabled 1045)" = 0 ] || fail "the bay battery cannot be discharged, but the button is usable"
sleep 0.5
screenshot batteries-page-bay-battery

# Languages > Deutsch: labels, units and states in German; then Default again.
# The menu bar is opened with the mouse: the keyboard's F10 stays with the device list.
read -r l_left l_top _ < <(probe control "$title" 1001 | tr -d '\r')
languages_x=$((l_left + 75)) languages_y=$((l_top - 10))
xdotool mousemove $languages_x $languages_y click 1
probe menu-open 5000 >/dev/null || fail "Languages opened no menu"
xdotool key Down Down Return
german="Vantrel - Akkus"
probe window "$german" 5000 >/dev/null || { screenshot batteries-page-no-german; fail "the German texts did not arrive"; }
german_label() { [ "$(probe control "$german" 1143 | tr -d '\r' | cut -d' ' -f6-)" = "Spannung:" ]; }
wait_for 5 german_label || fail "the voltage label is not German"
[[ "$(probe control "$german" 1021 | tr -d '\r' | cut -d' ' -f6-)" == *" (mV)" ]] || fail "the voltage unit is not German"
[ "$(probe control "$german" 1061 | tr -d '\r' | cut -d' ' -f6-)" = "Netzbetrieb" ] || fail "the state is not German"
screenshot batteries-page-german
xdotool mousemove $languages_x $languages_y click 1
probe menu-open 5000 >/dev/null || fail "Languages opened no menu the second time"
xdotool key Down Return
probe window "$title" 5000 >/dev/null || fail "Default did not bring the built-in texts back"
expect 1061 "OnLine" "the state after Default"

# Escape hides the main window; the program runs on.
xdotool key Escape
probe no-window "$title" 3000 >/dev/null || fail "Escape did not hide the main window"
alive "$program" || fail "the program ended"
stop_program vantrel-sim.exe
forget_settings
echo "PASS"
