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

# Starts a Windows program in the background; the Linux process id of the launcher is printed.
start() {
  local log="$artefacts/$(basename "$1" .exe)-$RANDOM.log"
  wine "$@" >"$log" 2>&1 &
  echo $!
}

# Ends every process of this build's private prefix that runs the named executable. Wine's
# launcher hands the program to a process of its own, and Wine's taskkill does not find
# programs started from outside the prefix, so they are found through /proc and ended by id.
stop_program() {
  local dir pid
  for dir in /proc/[0-9]*; do
    pid=${dir#/proc/}
    tr '\0' '\n' <"$dir/environ" 2>/dev/null | grep -qxF "WINEPREFIX=$WINEPREFIX" || continue
    tr '\0' ' ' <"$dir/cmdline" 2>/dev/null | grep -qiF "$1" || continue
    kill "$pid" 2>/dev/null || true
  done
  sleep 0.5
}

alive() { kill -0 "$1" 2>/dev/null; }

registry_key_exists() { run reg query "$1" >/dev/null 2>&1; }

screenshot() { import -display "$DISPLAY" -window root "$artefacts/$1.png" && echo "screenshot: $artefacts/$1.png"; }
