# Export and Import on the Schemes page of the default laptop (a plan machine), as a user
# meets them: Save As "Road Trip" with the battery column's video timeout at 0:20:00, Export it
# through the standard save dialog, Delete it, Import the file through the open dialog: the
# plan is back with its edit. Then a file with a setting this machine lacks: the import says
# which in one message. Screenshots of each step are kept as artefacts.
source "$(dirname "$0")/lib.sh" "$@"

fresh_program
fresh_sim_state scheme-files-sim.ini

new_name="Road Trip"
video_dc=1019 apply=1088 combo=1027 save_as=1026 delete=1029 export=1160 import=1161
video_setting=3c0bc021-c8a8-4e07-a973-6b14cbcb2b7e
unknown_setting=0b2d69d7-a2a1-449c-9680-f91c70521c60
file=road-trip.vps foreign=foreign.vps
rm -f "$artefacts/$file" "$artefacts/$foreign"
folder=$(winepath -w "$artefacts")

click() { click_control "Vantrel - Schemes" "$1"; }
text_of() { probe control "Vantrel - Schemes" "$1" | cut -d' ' -f6-; }
items() { probe combo-items "Vantrel - Schemes" $combo; }
new_listed() { [ "$(items | tail -1)" = "*$new_name" ]; }
stored_video() {
  local section
  section=$(plan_section "$new_name")
  [ -n "$section" ] && [ "$(ini_value "$section" $video_setting | cut -d, -f2)" = 1200 ]
}

# The standard file dialog captioned $1: the file name $2 typed into its name field, then Enter.
file_dialog() {
  probe window "$1" 10000 >/dev/null || fail "no \"$1\" dialog opened"
  name_focused() { probe focus | grep -q 'Edit$'; }
  wait_for 10 name_focused || fail "the \"$1\" dialog's name field has no focus: $(probe focus)"
  xdotool type --delay 30 "$2"
  sleep 0.2
  xdotool key Return
  probe no-window "$1" 3000 >/dev/null && return
  # The name field's completion list can take the first Enter: a user presses it again.
  xdotool key Return
  probe no-window "$1" 5000 >/dev/null || fail "Enter did not close the \"$1\" dialog"
}

start_sim
open_main_window
open_page 1 "Vantrel - Schemes"
ini_has_line 'PowerBackend=plans' || fail "the default laptop is not a plan machine"

# A plan of the user's own, with an edit.
click $save_as
save_as_name "$new_name"
wait_for 5 new_listed || fail "Save As did not add the plan: $(items)"
click $video_dc
xdotool key Home; sleep 0.2
xdotool type --delay 80 02000
sleep 0.3
[ "$(text_of $video_dc)" = "0:20:00" ] || fail "typing gave $(text_of $video_dc)"
click $apply
wait_for 5 stored_video || fail "Apply did not store the battery video timeout"

# Export...: the file holds the plan.
click $export
file_dialog "Save As" "$folder\\$file"
wait_for 10 test -s "$artefacts/$file" || fail "Export wrote no file"
head -1 "$artefacts/$file" | grep -qx 'vantrel-scheme 1' || fail "the file is not a scheme file: $(head -3 "$artefacts/$file")"
grep -qx "name = $new_name" "$artefacts/$file" || fail "the file does not name the plan"
grep -q "\.$video_setting = [0-9]* 1200$" "$artefacts/$file" || fail "the file lacks the edit: $(grep $video_setting "$artefacts/$file")"

# Delete it, then Import... the file: it is back, selected, with its edit.
click $delete
probe messagebox "Delete power scheme" >/dev/null || fail "Delete asked nothing"
gone() { ! items | grep -q "$new_name"; }
wait_for 5 gone || fail "Delete left the plan: $(items)"
ini_has_line "Name=$new_name" && fail "the machine still holds the plan"
click $import
file_dialog "Open" "$folder\\$file"
wait_for 10 new_listed || fail "Import did not bring the plan back: $(items)"
wait_for 5 stored_video || fail "the imported plan lacks its edit: $(ini_value "$(plan_section "$new_name")" $video_setting)"
[ "$(text_of $video_dc)" = "0:20:00" ] || fail "the page shows $(text_of $video_dc) for the imported plan"
probe no-window "Vantrel" 1000 >/dev/null || fail "a plain import said something"
screenshot scheme-files-imported

# A file with a setting this machine does not have: imported, and the setting named.
printf '%s\r\n' 'vantrel-scheme 1' 'backend = plan' 'name = Foreign' 'description = From elsewhere' \
  'personality = a1841308-3541-4fab-bc81-f71556f20b4a' \
  "setting.7516b95f-f776-4464-8c53-06167f40cc99.$video_setting = 300 60" \
  "setting.fea3413e-7e05-4911-9a71-700331f1c294.$unknown_setting = 1 1" 'end' >"$artefacts/$foreign"
click $import
file_dialog "Open" "$folder\\$foreign"
said=$(probe read-messagebox "Vantrel" 10000) || fail "the import with a setting left out said nothing"
screenshot scheme-files-not-taken
echo "$said" | grep -q "$unknown_setting" || fail "the message does not name the setting: $said"
probe messagebox "Vantrel" >/dev/null
foreign_listed() { items | grep -qx '\*Foreign'; }
wait_for 5 foreign_listed || fail "the foreign plan is not listed and selected: $(items)"
forget_settings
echo "PASS"
