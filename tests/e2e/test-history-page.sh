# The History page on the simulated laptop: half a year passes in a minute (the machine's
# clock runs fast, it follows a day of use and its main battery ages), then a second run at a
# slower pace draws the last hours' charge. The page shows the fade and the wear, in English
# and in German; "Save report..." writes the report. Screenshots and the report are kept.
source "$(dirname "$0")/lib.sh" "$@"

fresh_program
fresh_sim_state history-sim.ini
users="$WINEPREFIX/drive_c/users"
# The user's documents, where reports go (in a Wine prefix often a link to the home folder).
documents=$(readlink -f "$(ls -d "$users"/*/Documents | grep -v /Public/ | head -1)")
find "$users" -name 'battery-history.txt*' -delete 2>/dev/null || true
rm -f "$documents"/"Vantrel battery report"*.html

# The default laptop's state file, made by a first start.
start_sim
stop_program vantrel-sim.exe
# Adds a key to [Machine] (the machine writes these only when they are set).
add_machine_key() {
  awk -v line="$1=$2" '{ print } /^\[Machine\]/ { printf "%s\r\n", line }' "$ini" >"$ini.new" && mv "$ini.new" "$ini"
}
add_machine_key Clock 1767225600  # 2026-01-01 00:00 UTC
add_machine_key Routine 9-13      # on battery from 9:00 to 13:00 every day
set_ini Machine TimeScale 525600   # a second is about six days

# Half a year in about half a minute.
start_sim
sleep 31
exit_from_tray
clock=$(tr -d '\r' <"$ini" | awk -F= '/^Clock=/ { print $2 }')
[ "$clock" -gt $((1767225600 + 170 * 86400)) ] || fail "the simulated clock did not run half a year: $clock"
history=$(find "$users" -name battery-history.txt | head -1)
[ -n "$history" ] || fail "no history file was written"
grep -q '^vantrel-history 1$' "$history" || fail "the history file does not start with its header"
# A tick every six days or so: a summary for every day that had samples.
[ "$(grep -c '^D ' "$history")" -ge 50 ] || fail "too few daily summaries after half a year"

# Ten minutes a second, from 9:30 of the next day: the morning on battery and the afternoon on
# mains, sampled as the meter samples them.
set_ini Machine TimeScale 600
set_ini Machine Clock $(((clock / 86400 + 1) * 86400 + 9 * 3600 + 1800))
start_sim
sleep 18
open_main_window
open_page 4 "Vantrel - History"
title="Vantrel - History"
field() { probe control "$title" "$1" | cut -d' ' -f6-; }
wear=$(field 1305)
[[ "$wear" =~ ^Wear:\ ([0-9]+)%,\ cycles:\ ([0-9]+)$ ]] || fail "no wear shown: \"$wear\""
[ "${BASH_REMATCH[1]}" -ge 3 ] || fail "half a year of use shows a wear of only ${BASH_REMATCH[1]}%"
[ "${BASH_REMATCH[2]}" -ge 60 ] || fail "half a year of use shows only ${BASH_REMATCH[2]} cycles"
[[ "$(field 1308)" == "Run time at full charge: "*" now, "*" when new" ]] || fail "no run time: $(field 1308)"
[[ "$(field 1308)" != *Unknown* ]] || fail "the run time is unknown after half a year: $(field 1308)"
screenshot history-page

# The report, written to the user's documents.
click_control "$title" 1310
wait_for 10 sh -c 'ls "$1"/"Vantrel battery report"*.html' _ "$documents" >/dev/null 2>&1 || fail "no report was written"
report=$(ls "$documents"/"Vantrel battery report"*.html | head -1)
mv "$report" "$artefacts/history-report.html"
report="$artefacts/history-report.html"
[ "$(grep -c '<svg ' "$report")" -ge 4 ] || fail "the report does not hold both charts of both batteries"
! grep -qiE '<script|https?:|src=' "$report" || fail "the report refers to something outside itself"
[[ "$(field 1309)" == "Report saved as "* ]] || fail "the page does not say where the report went: $(field 1309)"

# German: the page, its texts and its charts' keys.
read -r l_left l_top _ < <(probe control "$title" 1001)
xdotool mousemove $((l_left + 75)) $((l_top - 10)) click 1
probe menu-open 5000 >/dev/null || fail "Languages opened no menu"
xdotool key Down Down Return
german="Vantrel - Verlauf"
probe window "$german" 5000 >/dev/null || { screenshot history-page-no-german; fail "the German texts did not arrive"; }
# The probe hands the texts over in the page's code page (Windows-1252 for German).
german_wear() { [[ "$(probe control "$german" 1305 | cut -d' ' -f6-)" == $'Verschlei\xdf: '* ]]; }
wait_for 5 german_wear || fail "the wear is not German"
[[ "$(probe control "$german" 1309 | cut -d' ' -f6-)" == "Bericht gespeichert als "* ]] ||
  fail "the report's message did not follow the language"
screenshot history-page-german

exit_from_tray
forget_settings
echo "PASS"
