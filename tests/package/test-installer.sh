# The per-user installer under Wine, in a fresh prefix of its own build folder: a silent
# install, the program it installed starting, installing over a running copy (silently, and
# with its window: Cancel, then Retry once the copy is closed), and silent uninstalls with and
# without the user's settings.
#   test-installer.sh <source-dir> <build-dir> <installer.exe> <installer_probe.exe>
set -euo pipefail
src=$1 build=$2 installer=$3 probe=$4
[ -f "$installer" ] || { echo "FAIL: no installer $installer"; exit 1; }

# A fresh prefix: whatever an earlier run left is gone before the first install.
"$src/scripts/wine-run" "$build" --stop
rm -rf "$build/wine/prefix"
source "$src/tests/e2e/lib.sh" "$src" "$build"

win_env() { run cmd /c echo "%$1%" | tr -d '\r' | tail -1; }
local_appdata=$(win_env LOCALAPPDATA)
appdata=$(win_env APPDATA)
[ -n "$local_appdata" ] && [ -n "$appdata" ] || fail "the prefix has no user folders"
dir_w="$local_appdata\\Programs\\Vantrel"
dir=$(winepath -u "$dir_w")
shortcut=$(winepath -u "$appdata\\Microsoft\\Windows\\Start Menu\\Programs\\Vantrel.lnk")
uninstall_key='HKCU\Software\Microsoft\Windows\CurrentVersion\Uninstall\Vantrel'
run_key='HKCU\Software\Microsoft\Windows\CurrentVersion\Run'
settings_key='HKCU\Software\Vantrel'
expected_files="LICENSE.txt Languages/Deutsch.lng Languages/Francais.lng Languages/Russkiy.lng README.txt
uninstall.exe vantrel.chm vantrel.exe"

installed_pids() { ps -eo pid=,args= | D="$dir/vantrel.exe" awk 'index($0, ENVIRON["D"]) { print $1 }'; }
running() { [ -n "$(installed_pids)" ]; }
stopped() { ! running; }
stop_installed() {
  local pids; pids=$(installed_pids)
  [ -n "$pids" ] || return 0
  kill $pids 2>/dev/null || true
  wait_for 5 stopped || kill -9 $(installed_pids) 2>/dev/null || true
}
installer_pids() { ps -eo pid=,args= | I="$(basename "$installer")" awk 'index($0, ENVIRON["I"]) && !/test-installer/ { print $1 }'; }
# A failed step may leave an installer window open: it goes too.
cleanup() { stop_installed; local p; p=$(installer_pids); [ -z "$p" ] || kill $p 2>/dev/null || true; }
value_of() {  # key value: the data of a REG_SZ value, or nothing
  run reg query "$1" /v "$2" 2>/dev/null | tr -d '\r' | sed -n "s/^ *$2 *REG_[A-Z_]* *//p"
}
file_list() { (cd "$1" && find . -type f | sed 's|^\./||' | sort | tr '\n' ' '); }
gone() { [ ! -e "$dir" ] && ! registry_key_exists "$uninstall_key"; }

echo "== silent install with auto-start"
run "$installer" /S /AUTOSTART || fail "the silent install ended with $?"
[ "$(file_list "$dir")" = "$(echo $expected_files) " ] || fail "installed files: $(file_list "$dir")"
cmp "$dir/vantrel.exe" "$bin/vantrel.exe" || fail "the installed program is not the one built"
cmp "$dir/vantrel.chm" "$bin/vantrel.chm" || fail "the installed help is not the one built"
for lng in "$src"/languages/*.lng; do
  cmp "$lng" "$dir/Languages/$(basename "$lng")" || fail "$(basename "$lng") differs from the source"
done
[ -f "$shortcut" ] || fail "no Start-menu shortcut at $shortcut"
python3 - "$shortcut" "$dir_w\\vantrel.exe" <<'PY' || fail "the shortcut does not point to the installed program"
import sys
data, target = open(sys.argv[1], "rb").read().lower(), sys.argv[2].lower()
sys.exit(0 if target.encode("latin-1") in data or target.encode("utf-16-le") in data else 1)
PY
registry_key_exists "$uninstall_key" || fail "no uninstall entry"
[ "$(value_of "$uninstall_key" DisplayName)" = "Vantrel" ] || fail "DisplayName: $(value_of "$uninstall_key" DisplayName)"
version=$(basename "$installer" | sed -n 's/^Vantrel-\(.*\)-win32-installer\.exe$/\1/p')
[ "$(value_of "$uninstall_key" DisplayVersion)" = "$version" ] || fail "DisplayVersion is not $version"
[ "$(value_of "$uninstall_key" UninstallString)" = "\"$dir_w\\uninstall.exe\"" ] ||
  fail "UninstallString: $(value_of "$uninstall_key" UninstallString)"
[ "$(value_of "$uninstall_key" InstallLocation)" = "$dir_w" ] || fail "InstallLocation: $(value_of "$uninstall_key" InstallLocation)"
[ "$(value_of "$run_key" Corvane)" = "\"$dir_w\\vantrel.exe\"" ] || fail "the Run value is $(value_of "$run_key" Corvane)"
echo "installed into $dir_w: $(file_list "$dir")"

echo "== the installed program starts and creates its settings key"
registry_key_exists "$settings_key" && fail "the fresh prefix already has $settings_key"
start "$dir/vantrel.exe" >/dev/null
wait_for 30 registry_key_exists "$settings_key" || fail "the installed program did not create $settings_key"
sleep 1
running || fail "the installed program did not keep running"

echo "== installing over the running copy fails and changes nothing"
printf 'left-by-the-test\r\n' >>"$dir/README.txt"
before=$(cd "$dir" && sha256sum $expected_files)
status=0; run "$installer" /S || status=$?
[ $status -eq 2 ] || fail "the install over a running copy ended with $status, not 2"
[ "$(cd "$dir" && sha256sum $expected_files)" = "$before" ] || fail "the install over a running copy changed files"
running || fail "the install over a running copy ended the program"
echo "== with its window, the installer asks to close the running copy; Cancel ends it"
caption="Vantrel $version Setup"
gui_install() { local status=0; run "$installer" >/dev/null 2>&1 || status=$?; echo $status >"$artefacts/gui-status"; }
rm -f "$artefacts/gui-status"; gui_install & gui=$!
answer=$(run "$probe" box "$caption" cancel) || fail "no question from the installer: $answer"
echo "$answer"
[[ "$answer" == *"Vantrel is running"*"Retry"* ]] || fail "unexpected question: $answer"
wait $gui
[ "$(cat "$artefacts/gui-status")" = 2 ] || fail "Cancel ended the installer with $(cat "$artefacts/gui-status"), not 2"
[ "$(cd "$dir" && sha256sum $expected_files)" = "$before" ] || fail "the cancelled install changed files"
echo "== Retry after closing the copy goes on to the installer's first page"
rm -f "$artefacts/gui-status"; gui_install & gui=$!
run "$probe" box "$caption" read >/dev/null || fail "no question from the second installer"
stop_installed
run "$probe" box "$caption" retry >/dev/null || fail "the question went away before Retry"
run "$probe" page "$caption" || fail "Retry did not go on to the installer's window"
wait $gui
[ "$(cd "$dir" && sha256sum $expected_files)" = "$before" ] || fail "the install cancelled on its first page changed files"
start "$dir/vantrel.exe" >/dev/null
wait_for 30 running || fail "the installed program did not start again"
sleep 1

echo "== uninstalling while it runs fails and changes nothing"
status=0; run "$dir/uninstall.exe" /S "_?=$dir_w" || status=$?
[ $status -eq 2 ] || fail "the uninstall of a running copy ended with $status, not 2"
[ "$(cd "$dir" && sha256sum $expected_files)" = "$before" ] || fail "the uninstall of a running copy changed files"
registry_key_exists "$uninstall_key" || fail "the uninstall of a running copy removed its entry"
stop_installed

echo "== installing again once it is closed"
run "$installer" /S || fail "the install after closing the program ended with $?"
grep -q left-by-the-test "$dir/README.txt" && fail "the second install did not replace the files"
run reg add "$settings_key" /v Language /d Deutsch /f >/dev/null

echo "== silent uninstall keeps the settings"
run "$dir/uninstall.exe" /S || fail "the silent uninstall ended with $?"
# The uninstaller goes on from a copy of itself; its entry goes last.
wait_for 60 gone || fail "after the uninstall: $(file_list "$dir" 2>/dev/null) left, entry present: $(registry_key_exists "$uninstall_key" && echo yes || echo no)"
[ ! -e "$shortcut" ] || fail "the shortcut is left"
[ -z "$(value_of "$run_key" Corvane)" ] || fail "the Run value is left: $(value_of "$run_key" Corvane)"
[ "$(value_of "$settings_key" Language)" = "Deutsch" ] || fail "the settings were not kept"

echo "== /REMOVESETTINGS removes them; another copy's auto-start stays"
run "$installer" /S || fail "the third install ended with $?"
run reg add "$run_key" /v Corvane /d '"C:\Other\vantrel.exe"' /f >/dev/null
run "$dir/uninstall.exe" /S /REMOVESETTINGS || fail "the uninstall with /REMOVESETTINGS ended with $?"
wait_for 60 gone || fail "the uninstall with /REMOVESETTINGS left files or its entry"
registry_key_exists "$settings_key" && fail "/REMOVESETTINGS kept $settings_key"
[ "$(value_of "$run_key" Corvane)" = '"C:\Other\vantrel.exe"' ] || fail "another copy's Run value was removed"
run reg delete "$run_key" /v Corvane /f >/dev/null
echo "PASS"
