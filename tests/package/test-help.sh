# The help project and the compiled help file: the check run before compiling passes on the
# project and fails when a topic of the table of contents is missing or left out of the
# project; the compiled file names its table of contents and holds every topic, a topic for
# each page of the main window, the meter, the tray menu and the languages among them; and
# the file check fails on a compiled file that lacks a topic.
#   test-help.sh <source-dir> <build-dir> <chmcmd>
set -euo pipefail
src=$1 build=$2 chmcmd=$3
fail() { echo "FAIL: $*"; exit 1; }
work=$(mktemp -d); trap 'rm -rf "$work"' EXIT
check_help() { python3 "$src/packaging/check_help.py" "$1"; }
chm() { python3 "$src/packaging/chm.py" "$@"; }
topics="index.html meter.html tray.html control.html schemes.html batteries.html policy.html languages.html"

echo "== the project passes its check"
check_help "$src/help" || fail "the help project fails its check"

echo "== the check fails for a missing topic"
cp -r "$src/help" "$work/missing" && rm "$work/missing/schemes.html"
check_help "$work/missing" && fail "the check passed without schemes.html"
echo "== the check fails for a topic the project does not list"
cp -r "$src/help" "$work/unlisted" && sed -i '/^batteries\.html$/d' "$work/unlisted/vantrel.hhp"
check_help "$work/unlisted" && fail "the check passed with batteries.html left out of the project"
echo "== the check fails for a broken link"
cp -r "$src/help" "$work/link" && sed -i 's|href="policy.html"|href="policies.html"|' "$work/link/index.html"
check_help "$work/link" && fail "the check passed with a link to a missing page"

echo "== the compiled help file holds every topic"
chm check "$build/bin/vantrel.chm" "$src/help/toc.hhc" $topics || fail "the built help file is incomplete"
[ "$(chm system "$build/bin/vantrel.chm" | sed -n 's/^0 //p')" = "b'toc.hhc'" ] || fail "the file does not open toc.hhc"

echo "== the file check fails on a compiled file that lacks a topic"
# The table of contents names one more topic than the project compiles.
cp -r "$src/help" "$work/short"
sed -i 's|</UL>|<LI><OBJECT type="text/sitemap"><param name="Name" value="Extra"><param name="Local" value="extra.html"></OBJECT>\n</UL>|' \
  "$work/short/toc.hhc"
(cd "$work/short" && "$chmcmd" vantrel.hhp >/dev/null 2>&1) || true
[ -f "$work/short/vantrel.chm" ] || fail "chmcmd made no file from the shortened project"
chm check "$work/short/vantrel.chm" "$work/short/toc.hhc" $topics && fail "the file check passed without extra.html"
echo "== the file check fails when the table of contents lacks a page's topic"
chm check "$build/bin/vantrel.chm" "$src/help/toc.hhc" $topics wakeup.html && fail "the file check passed with a topic the table lacks"
echo "PASS"
