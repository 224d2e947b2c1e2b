# The battery meter on the simulated laptop, as a user sees it: 87 % discharging with its time
# left, then on mains with the time unknown. Screenshots of both are kept as artefacts.
source "$(dirname "$0")/lib.sh" "$@"

fresh_program

# The main battery alone, at a known place on the screen.
left=600 top=400
run reg add "$key" /v DisplayOneBatteryStatus /t REG_BINARY /d "$(binary 1)" /f >/dev/null
run reg add "$key" /v BatteryName /t REG_SZ /d 42T4969 /f >/dev/null
run reg add "$key" /v BatteryMeterPosLeft /t REG_BINARY /d "$(binary $left)" /f >/dev/null
run reg add "$key" /v BatteryMeterPosTop /t REG_BINARY /d "$(binary $top)" /f >/dev/null

fresh_sim_state meter-sim.ini

pixel() { convert "$artefacts/$1.png" -format "%[pixel:p{$(($left + $2)),$(($top + $3))}]" info:; }
is_white() { [[ "$(pixel "$@")" == "srgb(255,255,255)" || "$(pixel "$@")" == "white" ]]; }
# Keeps the meter's neighbourhood, four times enlarged, beside the whole screen.
close_up() {
  convert "$artefacts/$1.png" -crop 80x50+$(($left - 12))+$(($top - 8)) +repage -filter point -resize 400% \
    "$artefacts/$1-close.png"
  echo "close-up: $artefacts/$1-close.png"
}


# The default laptop, its clock stopped so that the main battery stays at 87 % (81 400 of
# 93 550 mWh), discharging at 14.5 W.
program=$(start "$bin/vantrel-sim.exe")
wait_for 30 grep -qs GlobalPolicy "$ini" || fail "the simulated machine did not write its state file"
sleep 1
stop_program vantrel-sim.exe
set_ini Machine TimeScale 0
program=$(start "$bin/vantrel-sim.exe")
wait_meter || fail "the meter did not show"
sleep 1.5  # a repaint or two
alive "$program" || fail "the program ended"
screenshot meter-87-discharging
close_up meter-87-discharging
# The bar: full up to x 39, blank (white) from x 40 = 87 * 38 / 100 + 7.
is_white meter-87-discharging 20 16 && fail "the charged part of the bar is blank"
is_white meter-87-discharging 42 16 || fail "the empty part of the bar is not blank: $(pixel meter-87-discharging 42 16)"
is_white meter-87-discharging 39 16 && fail "the bar is blanked too early"
stop_program vantrel-sim.exe

# On mains: the battery neither charges nor discharges and the time is unknown.
set_ini Battery0 PowerState 0x1
set_ini Battery0 Rate 0
program=$(start "$bin/vantrel-sim.exe")
wait_meter || fail "the meter did not show"
sleep 1.5
alive "$program" || fail "the program ended"
screenshot meter-unknown
close_up meter-unknown
is_white meter-unknown 42 16 || fail "the charge changed on mains"
# The time text differs from the discharging one ("UNKNOWN" against "h:mm:ss").
same=0
for x in 9 14 19 24 29 34 39; do
  for y in 5 6 7 8; do
    [ "$(pixel meter-87-discharging $((x + 1)) $y)" = "$(pixel meter-unknown $((x + 1)) $y)" ] && same=$((same + 1))
  done
done
[ $same -lt 28 ] || fail "the time text did not change"
stop_program vantrel-sim.exe
forget_settings
echo "PASS"
