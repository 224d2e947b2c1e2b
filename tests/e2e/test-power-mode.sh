# Windows 11's power mode in the tray, as a user meets it on a plan machine that has it: the
# "Power Schemes" submenu shows the three default plans, then after a separator the three
# modes with the battery's one checked (the laptop runs on its battery); "Best performance"
# chosen with the mouse becomes the battery's mode and leaves the mains one. A screenshot of
# the submenu is kept as an artefact.
source "$(dirname "$0")/lib.sh" "$@"

fresh_program
fresh_sim_state power-mode-sim.ini

xdotool mousemove $((width / 2)) 100
# The first start writes the default laptop; the machine then gains the mode functions.
start_sim
stop_program vantrel-sim.exe
set_ini Plans PowerModes 1
set_ini Plans PowerModeDc 00000000-0000-0000-0000-000000000000

start_sim
open_tray_schemes
# Besides the plans and the modes: the borders, two separators and "Automatic switching...".
items=$(((s_bottom - s_top - 38) / 20))
[ "$items" = 6 ] || fail "the submenu holds $items items, not three plans and three modes"
hover $(((s_left + s_right) / 2)) "$(item_y "$s_top" $((3 * 20 + 6 + 2 * 20 + 10)))"
screenshot power-mode-submenu
xdotool click 1
ini_has_line "PowerModeDc=ded574b5-45a0-4f42-8737-46345c09c238" || fail "the battery's mode is not best performance"
ini_has_line "PowerModeAc=00000000-0000-0000-0000-000000000000" || fail "the mains mode changed"
probe menu-open 300 && fail "the menu stayed open after the choice"
alive "$program" || fail "the program ended"

exit_from_tray
forget_settings
echo "PASS"
