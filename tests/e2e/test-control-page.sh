# The Control page as a user works it: open the main window from the tray, tick Transparent,
# drag the slider with the mouse, Apply, end the program from its tray menu and start it again:
# the meter comes up with the chosen transparency. Screenshots of each step are kept.
source "$(dirname "$0")/lib.sh" "$@"

fresh_program
run_key='HKCU\Software\Microsoft\Windows\CurrentVersion\Run'
run reg delete "$run_key" /v Corvane /f >/dev/null 2>&1 || true
# The meter at a known place, right of the centred main window.
left=$((width - 100)) top=60
run reg add "$key" /v BatteryMeterPosLeft /t REG_BINARY /d "$(binary $left)" /f >/dev/null
run reg add "$key" /v BatteryMeterPosTop /t REG_BINARY /d "$(binary $top)" /f >/dev/null

fresh_sim_state control-sim.ini xp

away() { xdotool mousemove $((width / 2)) $((height - 60)); }
centre_of() { read -r l t r b < <(probe control-rect "Vantrel - Control" "$1") || fail "no control $1"; cx=$(((l + r) / 2)) cy=$(((t + b) / 2)); }

away
program=$(start "$bin/vantrel-sim.exe")
wait_for 30 grep -qs GlobalPolicy "$ini" || fail "the simulated machine did not write its state file"
wait_for 30 probe meter-alpha >/dev/null || fail "the meter did not show"
sleep 1
[[ "$(probe meter-alpha)" == *opaque ]] || fail "the meter started transparent: $(probe meter-alpha)"

open_main_window
sleep 0.5
screenshot control-page

# Transparent, by a click on its box.
read -r l t r b < <(probe control-rect "Vantrel - Control" 1072) || fail "no Transparent box"
xdotool mousemove $((l + 6)) $(((t + b) / 2)) click 1
layered_opaque() { [[ "$(probe meter-alpha)" == *"layered 255" ]]; }
wait_for 5 layered_opaque || fail "Transparent did not make the meter layered and opaque: $(probe meter-alpha)"

# The slider's thumb, dragged from its left end to about two thirds of the way.
read -r l t r b < <(probe control-rect "Vantrel - Control" 1073) || fail "no slider"
y=$(((t + b) / 2))
xdotool mousemove $((l + 11)) $y mousedown 1
for step in 1 2 3 4 5 6; do
  xdotool mousemove $((l + 11 + step * (r - l) * 2 / 3 / 6)) $y
  sleep 0.1
done
xdotool mouseup 1
sleep 0.3
preview=$(probe meter-alpha)
alpha=${preview##*layered }
[[ "$preview" == *layered* ]] && [ "$alpha" -lt 200 ] && [ "$alpha" -gt 20 ] ||
  fail "dragging the slider did not make the meter transparent: $preview"
away
sleep 0.5
screenshot control-slider-dragged
stored TransparentForm >/dev/null && fail "the preview stored something before Apply"

centre_of 1102
xdotool mousemove $cx $cy click 1
transparent_stored() { [ "$(stored TransparentForm)" = 1 ]; }
wait_for 5 transparent_stored || fail "Apply did not store TransparentForm"
amount=$(stored bAlpha) || fail "Apply did not store bAlpha"
[ $((255 - amount)) -eq "$alpha" ] || fail "stored bAlpha $amount does not give the previewed alpha $alpha"
[ "$(stored BatteryMeterPosLeft)" = $left ] && [ "$(stored BatteryMeterPosTop)" = $top ] ||
  fail "Apply did not store the meter's place"
run reg query "$run_key" /v Corvane >/dev/null 2>&1 && fail "Apply started the program with Windows unasked"

# Exit from the tray menu, then a new start.
exit_from_tray

away
program=$(start "$bin/vantrel-sim.exe")
wait_for 30 probe meter-alpha >/dev/null || fail "the meter did not show after the restart"
sleep 1
after=$(probe meter-alpha)
[[ "$after" == "$left $top "*" layered $alpha" ]] || fail "the meter came back as \"$after\", not with alpha $alpha at $left, $top"
screenshot control-meter-restarted
# What the display server was told: Wine hands the alpha on as the window's opacity property
# (a compositing manager would draw it; this Xvfb has none, so the screenshot shows it opaque).
opacity=
for window in $(xdotool search --onlyvisible --name '^$' 2>/dev/null); do
  value=$(xprop -id "$window" _NET_WM_WINDOW_OPACITY 2>/dev/null | awk '/= / { print $3 }')
  [ -n "$value" ] && opacity=$value
done
[ "$opacity" = $((alpha * 0x01010101)) ] || fail "the meter's window opacity is \"$opacity\", not alpha $alpha"
stop_program vantrel-sim.exe
forget_settings
echo "PASS"
