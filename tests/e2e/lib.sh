# Shared by the end-to-end scripts: the build's Wine environment, starting and stopping the
# programs, registry access and screenshots kept as test artefacts.
#   source lib.sh <source-dir> <build-dir>
set -euo pipefail
src=$1
build=$2
bin="$build/bin"
artefacts="$build/artefacts"
mkdir -p "$artefacts"
eval "$("$src/scripts/wine-run" "$build" --env)"

fail() { echo "FAIL: $*"; exit 1; }

# Runs a Windows program to its end, its output through a file (see scripts/wine-run).
run() { "$src/scripts/wine-run" "$build" "$@"; }

# Starts a Windows program in the background; its Linux process id is printed.
start() {
  local log="$artefacts/$(basename "$1" .exe)-$RANDOM.log"
  wine "$@" >"$log" 2>&1 &
  echo $!
}

# Keeps the process ids (one a line) that run in this script's prefix: the build's other Wine
# lanes run copies of the same programs side by side.
in_this_prefix() {
  local pid
  while read -r pid; do
    if { tr '\0' '\n' <"/proc/$pid/environ"; } 2>/dev/null | grep -xF "WINEPREFIX=$WINEPREFIX" >/dev/null; then echo "$pid"; fi
  done
  return 0
}

# Ends every process that runs the named executable of this build in this prefix (Wine's own
# taskkill does not see them all).
stop_program() {
  local path pids
  path=$(winepath -w "$bin/$1" 2>/dev/null) || return 0
  # 64-bit Wine shows the program's Windows path in its arguments, 32-bit Wine the Unix one.
  program_pids() {
    ps -eo pid=,args= | P="$path" U="$bin/$1" awk 'index($0, ENVIRON["P"]) || index($0, ENVIRON["U"]) { print $1 }' |
      in_this_prefix
  }
  pids=$(program_pids "$1")
  [ -n "$pids" ] || return 0
  kill $pids 2>/dev/null || true
  for _ in $(seq 1 30); do
    pids=$(program_pids "$1")
    [ -n "$pids" ] || return 0
    sleep 0.1
  done
  kill -9 $pids 2>/dev/null || true
}

alive() { kill -0 "$1" 2>/dev/null; }

registry_key_exists() { run reg query "$1" >/dev/null 2>&1; }

screenshot() { import -display "$DISPLAY" -window root "$artefacts/$1.png" && echo "screenshot: $artefacts/$1.png"; }

# Waits up to $1 seconds for a command to succeed.
wait_for() {
  local timeout=$1; shift
  local end=$((SECONDS + timeout))
  until "$@"; do
    [ $SECONDS -ge $end ] && return 1
    sleep 0.2
  done
}

# Programs a script starts are ended however it ends, so no copy outlives its test.
cleanup_programs=()
# A fresh simulated laptop for this script, its state file kept as an artefact: $ini is its
# Linux path, VANTREL_SIM_INI (exported) its Windows path. The laptop answers the plan
# interface unless a second argument names another ("xp", "none").
fresh_sim_state() {
  export VANTREL_SIM_INI VANTREL_SIM_POWER_BACKEND="${2:-}"
  ini="$artefacts/$1"
  VANTREL_SIM_INI="$(winepath -w "$artefacts")\\$1"
  rm -f "$ini"
}

# Waits up to 5 seconds for the state file to hold a whole line: the simulated machine rewrites
# the file at each change, so one read can catch it half-written.
ini_has_line() { wait_for 5 sh -c 'tr -d "\r" <"$1" | grep -qxF -- "$2"' _ "$ini" "$1"; }
# The readers below go on to the end of their input: one that stopped at the first match would
# end the writer before it is done, and under pipefail that fails the whole script, silently.
# A key of a section of the state file.
ini_value() {
  tr -d '\r' <"$ini" | awk -v s="[$1]" -v k="$2" '/^\[/ { in_s = ($0 == s) } in_s && !found && index($0, k "=") == 1 {
    print substr($0, length(k) + 2); found = 1 }'
}
# The section of the plan named $1.
plan_section() { tr -d '\r' <"$ini" | awk -v n="Name=$1" '/^\[Plan[0-9]+\]$/ { s = $0 } $0 == n && !found { gsub(/[][]/, "", s); print s; found = 1 }'; }

cleanup() { for exe in "${cleanup_programs[@]}"; do stop_program "$exe"; done; }
trap cleanup EXIT

# ---- the program as a user meets it ----
key='HKCU\Software\Vantrel'
forget_settings() { run reg delete "$key" /f >/dev/null 2>&1 || true; }
# A script's clean start: no copy left running, no settings.
fresh_program() { cleanup_programs=(vantrel-sim.exe "$@"); cleanup; forget_settings; }
probe() { run "$bin/vantrel-probe.exe" "$@" | tr -d '\r'; }
# A number as the program stores it: 4 little-endian bytes of REG_BINARY, in hex.
binary() { printf '%02x%02x%02x%02x' $(($1 & 255)) $(($1 >> 8 & 255)) $(($1 >> 16 & 255)) $(($1 >> 24 & 255)); }

# The program's icon is the only one in the notification area, at the taskbar's right end.
read -r width height < <(xdotool getdisplaygeometry)
icon_x=$((width - 11)) icon_y=$((height - 11))

# The meter is on show: a captionless dialog. The tray icon is added just before it shows, so
# this is also the moment the program answers its icon. Starting takes seconds longer where
# 32-bit programs run under an emulator, so the scripts wait for it instead of sleeping.
meter_shown() { probe windows | grep -q '^#32770 0x[0-9a-f]* 0x[0-9a-f]* [0-9a-fx]* ""$'; }
wait_meter() { wait_for 30 meter_shown; }

# Starts the simulated laptop's program ($program: its process) and waits until it runs.
start_sim() {
  program=$(start "$bin/vantrel-sim.exe")
  wait_for 30 grep -qs GlobalPolicy "$ini" || fail "the simulated machine did not write its state file"
  wait_meter || fail "the meter did not show"
  sleep 0.5
  alive "$program" || fail "the program ended"
}

# A double click on the tray icon opens the main window on the Control page. A program still
# busy starting may miss the first one.
open_main_window() {
  local try
  for try in 1 2 3; do
    xdotool mousemove $icon_x $icon_y click --repeat 2 --delay 100 1
    probe window "Vantrel - Control" 5000 >/dev/null && return 0
  done
  fail "a double click did not open the main window"
}

# Presses entry $1 (0 Control, 1 Schemes, 2 Batteries, 3 Policy) of the page list on its icon,
# the pointer coming to rest first, and waits for the window caption $2.
open_page() {
  local left top right bottom spacing_x spacing_y
  read -r left top right bottom spacing_x spacing_y < <(probe list-layout "Vantrel - Control" 1001)
  local x=$(((left + right) / 2)) y=$((top + $1 * spacing_y + 18))
  xdotool mousemove $x $((y - 2)); sleep 0.3
  xdotool mousemove $x $y; sleep 0.3
  xdotool click 1
  probe window "$2" 5000 >/dev/null || fail "the page list did not switch to \"$2\""
  sleep 0.5
}

# Clicks the middle of control $2 of the window captioned $1.
click_control() {
  local left top right bottom
  read -r left top right bottom < <(probe control-rect "$1" "$2") || fail "no control $2 in \"$1\""
  xdotool mousemove $(((left + right) / 2)) $(((top + bottom) / 2)); sleep 0.2
  xdotool click 1
}

# Popup menus on show, one "left top right bottom" line each; the newest one that is not
# already known is the submenu that just opened.
menus() { probe menu-rects; }
new_menu() {  # known-lines...
  local line known
  while read -r line; do
    for known in "$@"; do [ "$line" = "$known" ] && continue 2; done
    echo "$line"
    return 0
  done < <(menus)
  return 1
}
# Items are 20 pixels high and separators 6, below a 3-pixel border; the side bar has a column
# of its own at the left.
item_y() { echo $(($1 + 3 + $2)); }   # menu top, offset of the item's centre
# The pointer comes to rest on a menu item, so that its submenu opens.
hover() { xdotool mousemove "$1" "$2"; sleep 0.2; xdotool mousemove "$1" $(($2 + 1)); sleep 0.8; }

# A number the program stored under its key (4 little-endian bytes of REG_BINARY).
stored() {
  local hex
  hex=$(run reg query "$key" /v "$1" 2>/dev/null | tr -d '\r' | awk -v n="$1" '$1 == n { print $3 }')
  [ ${#hex} -eq 8 ] || return 1
  echo $((16#${hex:6:2}${hex:4:2}${hex:2:2}${hex:0:2}))
}

# Sets a key of one section of the simulated machine's state file (Windows line ends), while
# the program is not running.
set_ini() {  # section key value
  awk -v sec="[$1]" -v key="$2" -v value="$3" '{ line = $0; sub(/\r$/, "", line) }
       line ~ /^\[/ { s = (line == sec) }
       s && index(line, key "=") == 1 { $0 = key "=" value "\r" } { print }' "$ini" >"$ini.new"
  mv "$ini.new" "$ini"
  grep -q "^$2=$3" "$ini" || fail "could not set $2 in [$1]"
}

# Exit, the tray menu's last item, chosen with the mouse; waits for the program to end.
exit_from_tray() {
  xdotool mousemove $icon_x $icon_y click 3
  probe menu-open 5000 >/dev/null || fail "the tray menu did not open for Exit"
  local m_left m_top m_right m_bottom
  read -r m_left m_top m_right m_bottom < <(probe menu-rects | head -1)
  xdotool mousemove $(((m_left + m_right) / 2 + 10)) $((m_bottom - 13)); sleep 0.2
  xdotool mousemove $(((m_left + m_right) / 2 + 10)) $((m_bottom - 12)); sleep 0.8
  xdotool click 1
  for _ in $(seq 1 50); do alive "$program" || break; sleep 0.1; done
  alive "$program" && fail "Exit did not end the program"
  return 0
}

# In the Save As dialog just opened: types the name $1 once its field has the focus (under load
# that can lag the window), checks it, takes screenshot $2 if given, and presses Enter.
save_as_name() {
  local name=$1
  probe window "Save As..." 5000 >/dev/null || fail "Save As... opened no dialog"
  save_as_focused() { [ "$(probe focus)" = "1114 Edit" ]; }
  wait_for 10 save_as_focused || fail "the name field has no focus: $(probe focus)"
  xdotool type --delay 50 "$name"
  save_as_holds() { [ "$(probe control "Save As..." 1114 | cut -d' ' -f6-)" = "$name" ]; }
  wait_for 5 save_as_holds || fail "the name field holds $(probe control "Save As..." 1114)"
  [ -z "${2:-}" ] || screenshot "$2"
  xdotool key Return
  probe no-window "Save As..." 3000 >/dev/null || fail "Enter did not close the Save As dialog"
}

# Opens the tray menu and its "Power Schemes" submenu (right after "Main Dialog..."); leaves
# the submenu's rectangle in s_left s_top s_right s_bottom.
open_tray_schemes() {
  xdotool mousemove $icon_x $icon_y click 3
  probe menu-open 5000 || fail "a right click on the tray icon opened no menu"
  sleep 0.5
  top_menu=$(menus | sed -n 1p)
  read -r m_left m_top m_right m_bottom <<<"$top_menu"
  # The pointer comes to rest on the item; the submenu opens after the menu's own delay.
  local x=$(((m_left + m_right) / 2 + 10)) y; y=$(item_y "$m_top" 30)
  xdotool mousemove "$x" "$y"; sleep 0.2; xdotool mousemove "$x" $((y + 1))
  schemes_menu=$(wait_for 5 new_menu "$top_menu") || fail "\"Power Schemes\" opened no submenu"
  read -r s_left s_top s_right s_bottom <<<"$schemes_menu"
}
