# The Schemes page's ALL SETTINGS tab on the default laptop, as a keyboard user meets it: the
# hidden processor boost mode of Balanced, Enabled on battery, set to Aggressive with the arrow
# keys and Enter, then Apply: only that value changes in the state file. The same tab in
# Russian (under a Russian locale, which this script makes in the build folder). Screenshots of
# each step are kept as artefacts.
source "$(dirname "$0")/lib.sh" "$@"

fresh_program
fresh_sim_state all-settings-sim.ini

tabs=1042 apply=1088 list=1700
boost=be337238-0d82-4146-a960-4f3749d470c7
# Rows above the boost mode: Display (3), Hard disk (2), Sleep (6), then the processor's
# subgroup row and its two other settings.
boost_row=14

# The section of plan $1 (the state file's plan sections, by name).
# Balanced's own lines, boost mode left out.
others() { tr -d '\r' <"$ini" | awk -v s="[$1]" -v k="$boost=" '/^\[/ { in_s = ($0 == s) } in_s && index($0, k) != 1'; }
boost_value() { tr -d '\r' <"$ini" | awk -v s="[$1]" -v k="$boost=" '/^\[/ { in_s = ($0 == s) } in_s && index($0, k) == 1 { print substr($0, length(k) + 1) }'; }

open_all_settings() {
  start_sim; open_main_window; open_page 1 "Vantrel - Schemes"
  local left top right bottom
  read -r left top right bottom < <(probe control-rect "Vantrel - Schemes" $tabs) || fail "no tab control"
  xdotool mousemove $((left + 20)) $((top + 10)); sleep 0.2; xdotool click 1; sleep 0.3
  xdotool key Right Right; sleep 0.8
}

# A first run writes the laptop; Balanced then sets its boost mode: Aggressive plugged in,
# Enabled on battery.
start_sim
stop_program vantrel-sim.exe
section=$(plan_section Balanced)
[ -n "$section" ] || fail "no section holds Balanced"
awk -v s="[$section]" -v line="$boost=2,1" '{ print } $0 == s "\r" || $0 == s { print line "\r" }' "$ini" >"$ini.new"
mv "$ini.new" "$ini"
# Read while the program is not running: it rewrites the file at each change.
before=$(others "$section")

open_all_settings
screenshot all-settings-tab
click_control "Vantrel - Schemes" $list; sleep 0.3
xdotool key Home; for _ in $(seq 1 $boost_row); do xdotool key Down; done; sleep 0.3
screenshot all-settings-boost-selected
xdotool key Right Return; sleep 0.5
screenshot all-settings-boost-editing
xdotool key Down Return; sleep 0.5
screenshot all-settings-boost-edited
click_control "Vantrel - Schemes" $apply
boost_is_aggressive() { [ "$(boost_value "$section")" = "2,2" ]; }
wait_for 5 boost_is_aggressive || fail "Apply did not store Aggressive on battery: $(boost_value "$section")"
same_others() { [ "$(others "$section")" = "$before" ]; }
wait_for 5 same_others || fail "Apply changed more than the boost mode: $(diff <(echo "$before") <(others "$section"))"
stop_program vantrel-sim.exe

# The same tab in Russian: the program started under a Russian locale (its code page is the
# language file's), then Languages > Russkiy.
mkdir -p "$build/locale"
if localedef -i ru_RU -f UTF-8 "$build/locale/ru_RU.UTF-8" >/dev/null 2>&1 || [ -d "$build/locale/ru_RU.UTF-8" ]; then
  export LOCPATH="$build/locale" LANG=ru_RU.UTF-8
  open_all_settings
  read -r l_left l_top _ < <(probe control "Vantrel - Schemes" 1001)
  xdotool mousemove $((l_left + 75)) $((l_top - 10)) click 1
  probe menu-open 5000 >/dev/null || fail "Languages opened no menu"
  xdotool key Down Down Down Down Return; sleep 1.5
  screenshot all-settings-tab-russian
  stop_program vantrel-sim.exe
  unset LOCPATH LANG
else
  echo "note: no Russian locale could be made; the Russian screenshot is left out"
fi
forget_settings
echo "PASS"
