# The Schemes page and the tray on the default laptop, a plan machine, as a user meets them:
# Save As "Road Trip" from Balanced, the battery column's video timeout set to 0:20:00, Apply;
# the machine then holds the new plan with that value and has it active; after a restart the
# page shows it, and the tray's "Power Schemes" lists four plans. Screenshots of each step are
# kept as artefacts.
source "$(dirname "$0")/lib.sh" "$@"

fresh_program
fresh_sim_state plan-schemes-sim.ini

new_name="Road Trip"
video_dc=1019 apply=1088 combo=1027 save_as=1026
video_setting=3c0bc021-c8a8-4e07-a973-6b14cbcb2b7e

open_schemes_page() { start_sim; open_main_window; open_page 1 "Vantrel - Schemes"; }
click() { click_control "Vantrel - Schemes" "$1"; }
text_of() { probe control "Vantrel - Schemes" "$1" | cut -d' ' -f6-; }

open_schemes_page
ini_has_line 'PowerBackend=plans' || fail "the default laptop is not a plan machine"
before=$(probe combo-items "Vantrel - Schemes" $combo)
echo "$before" | grep -qx '\*Balanced' || fail "Balanced is not the selected, active plan: $before"
[ "$(echo "$before" | wc -l)" = 3 ] || fail "not the three default plans: $before"
screenshot plan-schemes-page

# Save As... with the mouse, the name with the keyboard.
click $save_as
save_as_name "$new_name"
new_listed() { [ "$(probe combo-items "Vantrel - Schemes" $combo | tail -1)" = "*$new_name" ]; }
wait_for 5 new_listed
after=$(probe combo-items "Vantrel - Schemes" $combo)
[ "$(echo "$after" | tail -1)" = "*$new_name" ] || fail "the new plan is not the last, selected item: $after"
ini_has_line "Name=$new_name" || fail "the simulated machine does not hold the new plan"

# The battery column's video timeout by keyboard, then Apply.
click $video_dc
xdotool key Home; sleep 0.2
xdotool type --delay 80 02000
typed() { [ "$(text_of $video_dc)" = "0:20:00" ]; }
wait_for 5 typed || fail "typing gave $(text_of $video_dc)"
screenshot plan-schemes-edited
click $apply
# Apply rewrites the state file: read it once the new plan's section is there again.
section=
new_section() { section=$(plan_section "$new_name"); [ -n "$section" ]; }
wait_for 5 new_section || fail "no section holds the new plan"
guid=$(ini_value "$section" Guid)
[ -n "$guid" ] && [ "$guid" != 381b4222-f694-41f0-9685-ff5bb260df2e ] || fail "the new plan has no GUID of its own: $guid"
stored_video() { [ "$(ini_value "$section" $video_setting | cut -d, -f2)" = 1200 ]; }
wait_for 5 stored_video || fail "Apply did not store the battery video timeout: $(ini_value "$section" $video_setting)"
active_is_new() { [ "$(ini_value Plans Active)" = "$guid" ]; }
wait_for 5 active_is_new || fail "the new plan is not active: $(ini_value Plans Active)"

# Gone and back: the system keeps the plan, active, with its value.
stop_program vantrel-sim.exe
sleep 1
open_schemes_page
again=$(probe combo-items "Vantrel - Schemes" $combo)
echo "$again" | grep -qx "\*$new_name" || fail "the new plan is not the active one after a restart: $again"
[ "$(text_of $video_dc)" = "0:20:00" ] || fail "after a restart the battery video timeout shows $(text_of $video_dc)"
screenshot plan-schemes-restarted

# The tray's "Power Schemes": four plans, then a separator and "Automatic switching...".
xdotool key Escape
xdotool mousemove $((width / 2)) 100
open_tray_schemes
# Besides the plans: the borders, a separator of 6 and "Automatic switching..." (20).
items=$(((s_bottom - s_top - 16) / 20))
screenshot plan-tray-schemes
[ "$items" = 4 ] || fail "the submenu lists $items plans, not four"
xdotool key Escape Escape
forget_settings
echo "PASS"
