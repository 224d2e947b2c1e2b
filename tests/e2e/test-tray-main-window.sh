# The tray menu and the main window, driven as a user would with the mouse and the keyboard:
# the menu with its side bar and wake-up submenus, a timed wake-up, the main window's pages,
# German and back, and Exit. Screenshots of each step are kept as artefacts.
source "$(dirname "$0")/lib.sh" "$@"

fresh_program
fresh_sim_state tray-sim.ini

tray_area() { convert "$artefacts/$1.png" -crop 60x22+$((width - 60))+$((height - 22)) +repage "$artefacts/$1-tray.png"; }
away() { xdotool mousemove $((width / 2)) 100; }

away
sleep 0.5
screenshot tray-before-start
tray_area tray-before-start

start_sim


# The tray menu at the pointer; "WakeUp After", 2 hours and 15 minutes with the mouse.
xdotool mousemove $icon_x $icon_y click 3
probe menu-open 5000 || fail "a right click on the tray icon opened no menu"
sleep 0.5
screenshot tray-menu
top_menu=$(menus | head -1)
read -r m_left m_top m_right m_bottom <<<"$top_menu"
[ "$m_right" -le "$icon_x" ] && [ "$m_right" -ge $((icon_x - 8)) ] || fail "the menu is not aligned right at the pointer: $top_menu"
hover $(((m_left + m_right) / 2 + 10)) "$(item_y "$m_top" 122)"
hours_menu=$(new_menu "$top_menu") || fail "\"WakeUp After\" opened no hours"
read -r h_left h_top h_right h_bottom <<<"$hours_menu"
hover $(((h_left + h_right) / 2 + 10)) "$(item_y "$h_top" $((10 + 2 * 20)))"
minutes_menu=$(new_menu "$top_menu" "$hours_menu") || fail "2 hours opened no minutes"
read -r n_left n_top n_right n_bottom <<<"$minutes_menu"
# 0, 1, 2, 3, 5, 10, 15: the seventh entry is 15 minutes.
hover $(((n_left + n_right) / 2 + 10)) "$(item_y "$n_top" $((10 + 6 * 20)))"
screenshot tray-menu-wake-up-submenus
xdotool click 1
wait_for 10 grep -q 'SetWaitableTimer due=-81000000000 period=0 resume=1' "$ini" ||
  fail "2 h 15 min did not arm a wake-up after 8100 s"
# The privilege step comes between: under emulation the sleep can be logged a moment later.
wait_for 10 grep -q 'SetSuspendState hibernate=0 forceCritical=1 disableWakeEvent=0' "$ini" ||
  fail "no sleep with wake events on followed the timer"
wait_for 10 grep -q 'CancelWaitableTimer' "$ini" || fail "the timer was not cancelled after the sleep"
alive "$program" || fail "the program ended after the sleep"

# A double click opens the main window on the Control page.
open_main_window
sleep 0.5
screenshot main-window-control

# The Schemes entry of the page list, pressed on its icon.
open_page 1 "Vantrel - Schemes"
screenshot main-window-schemes

# Pages > Policy through the menu bar's keyboard interface (the last but one item, above History).
xdotool key F10 Down Up Up Return
probe window "Vantrel - Policy" 5000 >/dev/null || fail "the Pages menu did not switch to Policy"

# Languages > Deutsch, then Default again.
xdotool key F10 Right Down
sleep 0.5
screenshot main-window-languages-menu
xdotool key Down Return
probe window "Vantrel - Richtlinien" 5000 >/dev/null || fail "the German texts did not arrive"
sleep 0.5
screenshot main-window-german
value=$(run reg query "$key" /v Language 2>/dev/null | tr -d '\r') || true
[[ "$value" == *"REG_SZ"*"Deutsch"* ]] || fail "the language was not stored: $value"
grep -q 'Beep frequency=1000 duration=100' "$ini" || fail "the meter did not beep after the language change"
# The tray menu speaks German now.
xdotool mousemove $icon_x $icon_y click 3
probe menu-open 5000 || fail "the tray menu did not open again"
sleep 0.5
screenshot tray-menu-german
xdotool mousemove 100 100 click 1
sleep 0.3
probe menu-open 300 && fail "a click elsewhere did not close the tray menu"
# A second double click brings the same window back to the front.
xdotool mousemove $icon_x $icon_y click --repeat 2 --delay 100 1
in_front() { probe foreground | grep -q '"Vantrel - Richtlinien"'; }
wait_for 5 in_front || fail "the main window did not come to the front: $(probe foreground)"
xdotool key F10 Right Down Return
probe window "Vantrel - Policy" 5000 >/dev/null || fail "Default did not bring the built-in texts back"

# Escape hides the window; Exit from the tray menu (its last item) ends the program. The
# caption changes while the menu bar's loop is still ending: Escape then would only close it.
sleep 0.5
xdotool key Escape
probe no-window "Vantrel - Policy" 3000 >/dev/null || fail "Escape did not hide the main window"
exit_from_tray
away
sleep 1
screenshot tray-after-exit
tray_area tray-after-exit
differing=$(compare -metric AE "$artefacts/tray-before-start-tray.png" "$artefacts/tray-after-exit-tray.png" null: 2>&1) || true
[ "$differing" = "0" ] || fail "the notification area differs from before the start ($differing pixels): the icon stayed"
forget_settings
echo "PASS"
