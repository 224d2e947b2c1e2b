# The Schemes page driven as a user would: open it, save the active scheme as a new one with
# the mouse (Save As...) and the keyboard (the name, Enter), edit the new scheme (a time of the
# battery column typed in, a check box of that column cleared with the mouse), Apply, then end
# the program, start it again and find the new scheme in the list, active, with both changes,
# and look at each tab of the editor. Screenshots of each step are kept as artefacts.
source "$(dirname "$0")/lib.sh" "$@"

fresh_program

fresh_sim_state schemes-sim.ini xp

new_name="Road Trip"

# Starts the program, opens the main window from the tray and goes to the Schemes page.
open_schemes_page() { start_sim; open_main_window; open_page 1 "Vantrel - Schemes"; }
click() { click_control "Vantrel - Schemes" "$1"; }

open_schemes_page
before=$(probe combo-items "Vantrel - Schemes" 1027)
echo "$before" | grep -qx '\*Portable/Laptop' || fail "the active scheme is not selected: $before"
screenshot schemes-page

# Save As... with the mouse, the name with the keyboard.
click 1026
save_as_name "$new_name" schemes-save-as-dialog
new_listed() { [ "$(probe combo-items "Vantrel - Schemes" 1027 | tail -1)" = "*$new_name" ]; }
wait_for 5 new_listed
after=$(probe combo-items "Vantrel - Schemes" 1027)
[ "$(echo "$after" | tail -1)" = "*$new_name" ] || fail "the new scheme is not the last, selected item: $after"
echo "$after" | grep -qx 'Portable/Laptop' || fail "the source scheme went: $after"
screenshot schemes-page-saved
ini_has_line "Name=$new_name" || fail "the simulated machine does not hold the new scheme"
ini_has_line 'Active=1' || fail "the active scheme changed"

# The new scheme edited: "Video timeout" on batteries from 0:05:00 to 0:20:00 by keyboard,
# "Optimize for power" on batteries cleared by mouse, then Apply, which also makes it active.
video_dc=1019 optimize_dc=1057 tabs=1042 apply=1088
text_of() { probe control "Vantrel - Schemes" "$1" | cut -d' ' -f6-; }
[ "$(text_of $video_dc)" = "0:05:00" ] || fail "the battery video timeout shows $(text_of $video_dc)"
click $video_dc
xdotool key Home; sleep 0.2
xdotool type --delay 80 02000
typed() { [ "$(text_of $video_dc)" = "0:20:00" ]; }
wait_for 5 typed || fail "typing gave $(text_of $video_dc)"
click $optimize_dc
sleep 0.3
screenshot schemes-user-edited
click $apply
scheme_has() { probe scheme "$VANTREL_SIM_INI" "$new_name" | grep -qw -- "$1"; }
wait_for 5 scheme_has video-dc=1200 || fail "Apply did not store the time: $(probe scheme "$VANTREL_SIM_INI" "$new_name")"
scheme_has optimize-dc=0 || fail "Apply did not store the check box: $(probe scheme "$VANTREL_SIM_INI" "$new_name")"
scheme_has video-ac=900 || fail "the mains column changed: $(probe scheme "$VANTREL_SIM_INI" "$new_name")"
# Apply made it active: the page opens on the active scheme after the restart below.

# Gone and back: the system keeps the scheme.
stop_program vantrel-sim.exe
sleep 1
open_schemes_page
again=$(probe combo-items "Vantrel - Schemes" 1027)
echo "$again" | grep -qxE "\*?$new_name" || fail "the new scheme is not listed after a restart: $again"
echo "$again" | grep -qx "\*$new_name" || fail "the applied scheme is not the active one after a restart: $again"
echo "$again" | grep -qx 'Portable/Laptop' || fail "the source scheme went after a restart: $again"
[ "$(text_of $video_dc)" = "0:20:00" ] || fail "after a restart the battery video timeout shows $(text_of $video_dc)"
screenshot schemes-user-restarted
# The keyboard reaches the shown page: Tab goes on from the description into its first field,
# Shift+Tab back.
click 1016; sleep 0.3
focused() { [ "$(probe focus)" = "$1" ]; }
xdotool key Tab
wait_for 5 focused "1049 Edit" || fail "Tab from the description went to $(probe focus), not the first field of USER"
xdotool key shift+Tab
wait_for 5 focused "1016 Edit" || fail "Shift+Tab went to $(probe focus), not back to the description"
# The other tabs, reached as a keyboard user would: the tab row clicked, then the arrow keys.
read -r left top right bottom < <(probe control-rect "Vantrel - Schemes" $tabs) || fail "no tab control"
xdotool mousemove $((left + 20)) $((top + 10)); sleep 0.2; xdotool click 1; sleep 0.3
xdotool key Right; sleep 0.5
screenshot schemes-machine-tab
xdotool key Right; sleep 0.5
screenshot schemes-processor-tab
xdotool key Left Left; sleep 0.3
# The list open, with the new scheme at its end.
click 1027
sleep 0.5
screenshot schemes-page-restarted-list
xdotool key Escape
forget_settings
echo "PASS"
