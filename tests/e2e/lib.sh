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

# Ends every process of the prefix that runs the named executable.
stop_program() { wine taskkill /f /im "$1" >/dev/null 2>&1 || true; sleep 0.5; }

alive() { kill -0 "$1" 2>/dev/null; }

registry_key_exists() { run reg query "$1" >/dev/null 2>&1; }

screenshot() { import -display "$DISPLAY" -window root "$artefacts/$1.png" && echo "screenshot: $artefacts/$1.png"; }
