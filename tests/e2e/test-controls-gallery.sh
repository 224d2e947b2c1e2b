# Every custom control in one window, with the tray-style menu and its wake-up submenus open,
# then with the time edit's preset popup open; the screenshots are kept as artefacts.
source "$(dirname "$0")/lib.sh" "$@"

# Pixels of an exact colour in a picture.
count_colour() { convert "$1" -fill black +opaque "$2" -fill white -opaque "$2" -format '%[fx:round(mean*w*h)]' info:; }

cleanup_programs+=(controls-gallery.exe)
stop_program controls-gallery.exe
for mode in tray presets; do
  args=(--exit-after 3000)
  [ "$mode" = presets ] && args+=(--presets)
  gallery=$(start "$bin/controls-gallery.exe" "${args[@]}")
  probe window "Vantrel controls" 30000 >/dev/null || fail "the gallery ($mode) did not open its menus"
  sleep 0.5  # the last submenu's own painting
  alive "$gallery" || fail "the gallery ($mode) ended early"
  shot="controls-gallery"
  [ "$mode" = presets ] && shot="controls-gallery-presets"
  screenshot "$shot"
  for i in $(seq 1 100); do alive "$gallery" || break; sleep 0.1; done
  alive "$gallery" && fail "the gallery ($mode) did not end by itself"
done

# The three side bars end in their start colours at the bottom.
picture="$artefacts/controls-gallery.png"
for colour in '#0000C0' '#00FF00' '#FF0000'; do
  n=$(count_colour "$picture" "$colour")
  [ "$n" -ge 10 ] || fail "no side bar in $colour in the screenshot ($n pixels)"
done
echo "PASS"
