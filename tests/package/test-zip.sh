# One release zip: its list of files is the one the README gives, its files are the ones the
# build made, its program is of the right machine, imports nothing the oldest Windows lacks,
# carries the version of the zip's name and stays within its size budget (32-bit: at most
# 600 KB; 64-bit: under 560 KB), and packing the same files again gives the same bytes.
#   test-zip.sh <source-dir> <build-dir> <zip> <win32|win64> <objdump>
set -euo pipefail
src=$1 build=$2 zip=$3 arch=$4 objdump=$5
fail() { echo "FAIL: $*"; exit 1; }
[ -f "$zip" ] || fail "no zip $zip"
work=$(mktemp -d); trap 'rm -rf "$work"' EXIT

echo "== the list of files is the README's"
# The README lists the archive in the code block after its marker line.
readme_list=$(awk '/<!-- zip contents -->/ { marked = 1; next }
  marked && /^```/ { if (inside) exit; inside = 1; next }
  inside && NF { print $1 }' "$src/README.md")
[ -n "$readme_list" ] || fail "the README lists no zip contents"
zip_list=$(python3 -c 'import sys, zipfile; print("\n".join(zipfile.ZipFile(sys.argv[1]).namelist()))' "$zip")
if [ "$zip_list" != "$readme_list" ]; then
  diff <(echo "$readme_list") <(echo "$zip_list") || true
  fail "the zip's files (right) are not the README's (left)"
fi
echo "$zip_list" | tr '\n' ' '; echo

echo "== the files are the ones built"
python3 -c 'import sys, zipfile; zipfile.ZipFile(sys.argv[1]).extractall(sys.argv[2])' "$zip" "$work/x"
top="$work/x/Vantrel"
cmp "$top/vantrel.exe" "$build/bin/vantrel.exe" || fail "vantrel.exe is not the one built"
cmp "$top/vantrel.chm" "$build/bin/vantrel.chm" || fail "vantrel.chm is not the one built"
for lng in "$src"/languages/*.lng; do
  cmp "$lng" "$top/Languages/$(basename "$lng")" || fail "$(basename "$lng") differs from the source"
done
for text in README.txt LICENSE.txt; do
  lf=$(tr -cd '\n' <"$top/$text" | wc -c); crlf=$(grep -c $'\r$' "$top/$text" || true)
  [ "$lf" -gt 0 ] && [ "$lf" -eq "$crlf" ] || fail "$text has $lf lines, $crlf of them with Windows line ends"
done
cmp <(tr -d '\r' <"$top/LICENSE.txt") "$src/LICENSE" || fail "LICENSE.txt is not the project's licence"

echo "== the program's machine, imports and version"
format=$("$objdump" -f "$top/vantrel.exe" | sed -n 's/.*file format //p')
case "$arch" in
  win32) [ "$format" = pei-i386 ] || fail "the 32-bit zip holds a $format program"; oldest=xp ;;
  win64) [ "$format" = pei-x86-64 ] || fail "the 64-bit zip holds a $format program"; oldest=win7 ;;
  *) fail "unknown architecture $arch" ;;
esac
bash "$src/tests/e2e/check-imports.sh" "$objdump" "$top/vantrel.exe" "$oldest"
# The shipped program stays small.
size=$(stat -c %s "$top/vantrel.exe")
echo "vantrel.exe: $size bytes"
case "$arch" in
  win32) [ "$size" -le $((600 * 1024)) ] || fail "the 32-bit vantrel.exe has $size bytes, more than 600 KB" ;;
  win64) [ "$size" -lt $((560 * 1024)) ] || fail "the 64-bit vantrel.exe has $size bytes, 560 KB or more" ;;
esac
version=$(basename "$zip" | sed -n "s/^Vantrel-\(.*\)-$arch\.zip\$/\1/p")
[[ "$version" =~ ^([0-9]+)\.([0-9][0-9])$ ]] || fail "the zip's name carries no version: $(basename "$zip")"
major=${BASH_REMATCH[1]} minor=$((10#${BASH_REMATCH[2]}))
windres=${objdump%objdump}windres
resources=$("$windres" -i "$top/vantrel.exe" -O rc)
grep -q "FILEVERSION $major, $minor, 0, 0" <<<"$resources" || fail "FILEVERSION is not $major,$minor,0,0"
grep -q "PRODUCTVERSION $major, $minor, 0, 0" <<<"$resources" || fail "PRODUCTVERSION is not $major,$minor,0,0"
grep -q "VALUE \"ProductVersion\", \"$version\"" <<<"$resources" || fail "ProductVersion is not $version"
grep -q "VALUE \"FileVersion\", \"$version\"" <<<"$resources" || fail "FileVersion is not $version"
head -1 "$top/README.txt" | grep -q "^Vantrel $version ($arch)" || fail "README.txt does not begin with Vantrel $version ($arch)"
echo "version $version in the name, the version resource and README.txt"

echo "== packing the same files again gives the same bytes"
epoch=$(python3 -c '
import calendar, sys, zipfile
print(calendar.timegm(zipfile.ZipFile(sys.argv[1]).infolist()[0].date_time + (0, 0, 0)))' "$zip")
pairs=()
while read -r name; do
  case "$name" in */) ;; *) pairs+=("${name#Vantrel/}=$top/${name#Vantrel/}") ;; esac
done <<<"$zip_list"
# Given in reverse order: the archive's order must not depend on it.
reversed=(); for ((i=${#pairs[@]}-1; i>=0; i--)); do reversed+=("${pairs[i]}"); done
SOURCE_DATE_EPOCH=$epoch python3 "$src/packaging/make_zip.py" "$work/again.zip" Vantrel "$src" "${reversed[@]}"
cmp "$zip" "$work/again.zip" || fail "the same files packed again give other bytes"
sha256sum "$zip"
echo "PASS"
