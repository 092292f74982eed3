#!/bin/sh
# Writes a skin folder for looking at masked buttons: the built-in skin whose
# "button" record gets a mask with rounded corners (picture 8).
# Usage: rounded-button-skin.sh TARNWICK_SKIN OUT_DIR
set -eu
tool=$1
out=$2
"$tool" unpack --builtin "$out"
# Pure black is inside the shape; no smoothing, so the corners stay clean.
convert -size 75x25 xc:white +antialias -fill black -draw "roundrectangle 0,0 74,24 3,3" "BMP3:$out/buttonmask.bmp"
python3 - "$out/skin.ini" <<'PY'
import sys
path = sys.argv[1]
text = open(path, 'rb').read().decode('latin-1')
text = text.replace('activepicturescount=8\r\n', 'activepicturescount=9\r\n', 1)
text = text.replace('7=sysmenumask.bmp\r\n', '7=sysmenumask.bmp\r\n8=buttonmask.bmp\r\n', 1)
head, sep, rest = text.partition('[button]\r\n')
assert sep, 'no [button] record'
text = head + sep + 'maskpictureindex=8\r\n' + rest
open(path, 'wb').write(text.encode('latin-1'))
PY
