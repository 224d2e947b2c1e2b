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

# Ends every process that runs the named executable of this build (Wine's own taskkill does
# not see them all).
stop_program() {
  local path pids
  path=$(winepath -w "$bin/$1" 2>/dev/null) || return 0
  # 64-bit Wine shows the program's Windows path in its arguments, 32-bit Wine the Unix one.
  program_pids() {
    ps -eo pid=,args= | P="$path" U="$bin/$1" awk 'index($0, ENVIRON["P"]) || index($0, ENVIRON["U"]) { print $1 }'
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
# Linux path, VANTREL_SIM_INI (exported) its Windows path.
fresh_sim_state() {
  export VANTREL_SIM_INI
  ini="$artefacts/$1"
  VANTREL_SIM_INI="$(winepath -w "$artefacts")\\$1"
  rm -f "$ini"
}

# Waits up to 5 seconds for the state file to hold a whole line: the simulated machine rewrites
# the file at each change, so one read can catch it half-written.
ini_has_line() { wait_for 5 sh -c 'tr -d "\r" <"$1" | grep -qxF -- "$2"' _ "$ini" "$1"; }

cleanup() { for exe in "${cleanup_programs[@]}"; do stop_program "$exe"; done; }
trap cleanup EXIT
