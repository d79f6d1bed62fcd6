#!/bin/sh
# control-centre.sh <control>: where a control of the Framewright window
# sits, as "x y" in pixels from the window's top-left corner, read from the
# window's layout (art/FrmMainLayout.h, in twips, 15 to a pixel). For the
# scripts that click the real window with xdotool.
set -eu
layout="$(dirname "$0")/../art/FrmMainLayout.h"
set -- $(sed -n "s/.*TwipRect $1{\([0-9]*\), \([0-9]*\), \([0-9]*\), \([0-9]*\)}.*/\1 \2 \3 \4/p" "$layout")
[ $# -eq 4 ] || { echo "control-centre: no such control in $layout" >&2; exit 1; }
echo "$((($1 + $3 / 2) / 15)) $((($2 + $4 / 2) / 15))"
