# The Policy page as a user works it with the mouse: the critical battery alarm set to 5 % with
# "Shutdown Off", Apply, and after a restart the simulated machine and the page still hold it.
# Screenshots of the page are kept as artefacts.
source "$(dirname "$0")/lib.sh" "$@"

fresh_program

fresh_sim_state policy-sim.ini xp
ini_windows=$VANTREL_SIM_INI

title="Vantrel - Policy"
# Control ids of the page.
event_list=1106 level=1073 level_text=1122 action_list=1103 apply=1088

open_policy_page() { open_main_window; open_page 3 "$title"; }

control() { probe list-control "$title" "$1"; }
# The text of a control (after its rectangle, item height and enabled state).
text_of() { control "$1" | cut -d' ' -f7-; }
enabled() { [ "$(control "$1" | cut -d' ' -f6)" = 1 ]; }

# Opens a drop-down list with a click and clicks its item; the list drops below the box.
choose() {  # control-id index
  local l t r b h
  read -r l t r b h _ < <(control "$1")
  xdotool mousemove $(((l + r) / 2)) $(((t + b) / 2)) click 1
  sleep 0.5
  xdotool mousemove $(((l + r) / 2)) $((b + 2 + $2 * h + h / 2))
  sleep 0.2
  xdotool click 1
  sleep 0.3
}

click() { click_control "$title" "$1"; sleep 0.3; }

# Drags the slider's thumb until its label shows the wanted percentage. The thumb sits near the
# left end for small levels; the pointer goes down on it and moves a pixel at a time.
drag_level_to() {  # percent
  local l t r b y x
  read -r l t r b _ < <(control $level)
  y=$(((t + b) / 2))
  local shown current
  current=$(text_of $level_text); current=${current%\%}
  # The channel spans the slider less half a thumb at each end.
  x=$((l + 8 + (r - l - 16) * current / 100))
  xdotool mousemove $x $y mousedown 1
  sleep 0.2
  for step in $(seq 0 40); do
    xdotool mousemove $((x + step)) $y
    sleep 0.1
    shown=$(text_of $level_text)
    [ "$shown" = "$1%" ] && break
  done
  xdotool mouseup 1
  sleep 0.2
  [ "$(text_of $level_text)" = "$1%" ] || fail "the slider shows $(text_of $level_text), not $1%"
}

exit_program() { xdotool key Escape; exit_from_tray; }

start_sim
open_policy_page
screenshot policy-page
[ "$(text_of $event_list)" = "Power Button Pressed" ] || fail "the page did not open on the power button"
enabled $level && fail "the slider is enabled for a button"

choose $event_list 5
[ "$(text_of $event_list)" = "Battery Event (1)" ] || fail "the first battery event was not chosen: $(text_of $event_list)"
enabled $level || fail "the slider is disabled for a battery event"
[ "$(text_of $level_text)" = "3%" ] || fail "the critical alarm does not show its 3 %"
enabled $apply && fail "Apply is enabled before any change"
drag_level_to 5
choose $action_list 5
[ "$(text_of $action_list)" = "Shutdown Off" ] || fail "\"Shutdown Off\" was not chosen: $(text_of $action_list)"
enabled $apply || fail "the changes did not enable Apply"
screenshot policy-page-battery-alarm
[ "$(probe alarm "$ini_windows" 0 | cut -d' ' -f2)" = 3 ] || fail "the level was written before Apply"
click $apply
enabled $apply && fail "Apply stayed enabled"
read -r enable level_value action flags codes state < <(probe alarm "$ini_windows" 0)
[ "$enable $level_value $action" = "1 5 6" ] || fail "the machine holds alarm $enable $level_value $action, not 1 5 6"
[ "$flags $state" = "0xc0000000 5" ] || fail "the alarm's flags or minimum state changed: $flags $state"
exit_program

# After a restart the machine and the page hold the change.
start_sim
read -r enable level_value action _ < <(probe alarm "$ini_windows" 0)
[ "$enable $level_value $action" = "1 5 6" ] || fail "after the restart the alarm is $enable $level_value $action"
open_policy_page
choose $event_list 5
[ "$(text_of $level_text)" = "5%" ] || fail "after the restart the page shows $(text_of $level_text)"
[ "$(text_of $action_list)" = "Shutdown Off" ] || fail "after the restart the action is $(text_of $action_list)"
screenshot policy-page-after-restart
exit_program
forget_settings
echo "PASS"
