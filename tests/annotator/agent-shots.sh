#!/usr/bin/env bash
# Screenshots of the tray agent for a person to look at: under a private
# Xvfb with trayer as the notification area, the icon on a light and on a
# dark panel, the open menu, and the -ayb box. Needs xvfb-run, trayer,
# xdotool and ImageMagick.
#   tests/annotator/agent-shots.sh build/bin [/tmp/agent-shots]
set -euo pipefail
bin=$(cd "${1:?usage: agent-shots.sh BIN_FOLDER [OUT_FOLDER]}" && pwd)
out=${2:-/tmp/agent-shots}
mkdir -p "$out"
out=$(cd "$out" && pwd)
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
mkdir -p "$work"/{machine,config,data,run,tmp}
chmod 700 "$work/run"
export NOTAVEX_MACHINE_ROOT=$work/machine XDG_CONFIG_HOME=$work/config XDG_DATA_HOME=$work/data \
  XDG_RUNTIME_DIR=$work/run TMPDIR=$work/tmp NOTAVEX_STANDIN_LOG=$work/calls.log BIN=$bin OUT=$out
unset WAYLAND_DISPLAY QT_QPA_PLATFORM
"$bin/regsvr32" /s "$bin/notavex.dll"

xvfb-run -a -n 74 -s "-screen 0 640x480x24 -noreset" bash -euc '
  shoot() { import -window root "$OUT/$1.png"; }
  panel() {  # a panel along the bottom: colour, height
    trayer --edge bottom --align right --widthtype pixel --width 160 --height "$2" --heighttype pixel \
      --transparent true --alpha 0 --tint "$1" --SetDockType true & tray=$!
    sleep 1
  }
  panel 0xf0f0f0 24
  "$BIN/NVAgent" & agent=$!
  sleep 2
  shoot screen-light
  convert "$OUT/screen-light.png" -crop 48x24+592+456 -scale 800% "$OUT/icon-light.png"
  # Resting on the icon shows its tip.
  xdotool mousemove 628 468
  sleep 2
  shoot tip
  # Right button on the icon: the menu opens at the pointer.
  xdotool click 3
  sleep 1
  shoot menu
  # An item chosen with the mouse reaches the component (the log below).
  xdotool mousemove 490 432 click 1
  kill $tray; wait $tray 2>/dev/null || true
  panel 0x202020 24
  "$BIN/nvmsg" "Notavex Agent" WM_USER+101 0 1
  sleep 2
  shoot screen-dark
  convert "$OUT/screen-dark.png" -crop 48x24+592+456 -scale 800% "$OUT/icon-dark.png"
  # A panel of 16 pixels gives the icon its smallest size.
  for colour in 0xf0f0f0 0x202020; do
    kill $tray; wait $tray 2>/dev/null || true
    panel $colour 16
    "$BIN/nvmsg" "Notavex Agent" WM_USER+101 0 1
    sleep 2
    shoot small
    convert "$OUT/small.png" -crop 48x16+592+464 -scale 800% "$OUT/icon16-$colour.png"
  done
  rm "$OUT/small.png"
  "$BIN/NVAgent" -ayb & box=$!
  sleep 2
  shoot ayb
  # No window manager draws the title here: ask the X server for it.
  xdotool search --name "How Are You Gentlemen !!" getwindowname > "$OUT/ayb-title.txt"
  xdotool key Return
  wait $box
  "$BIN/nvmsg" "Notavex Agent" WM_USER+103
  wait $agent
  kill $tray
'
ls "$out"
echo "The stand-in's calls:"
cat "$work/calls.log"
