#!/usr/bin/env bash
# A notebook of 10,000 notes and one of 200 MB, driven through the real
# program as a user would (xdotool clicks and keys) under Xvfb: run it through
# tests/with-x. tw_ping_probe pings the main window every 5 ms from outside;
# a ping's delay is how long the window's thread was busy. Prints, for each
# step, the longest delay of the pings sent while it ran, and a screenshot of
# each step to OUT (default: a temporary folder).
#   Usage: tests/with-x bench/bignote/bignote.sh BUILD/bin [MB=200] [OUT]
set -u
bin=$(readlink -f "$1"); mb=${2:-200}
here=$(dirname "$(readlink -f "$0")")
dir=$(mktemp -d); out=${3:-$dir/shots}; mkdir -p "$out"
trap 'rm -f "$dir/data.mdb"*; rm -rf "$dir/backups"' EXIT
"$bin/tarnwick-db" init "$dir/data.mdb" >/dev/null || exit 2
python3 "$here/make_notebook.py" "$dir/data.mdb" 10000 "$mb" || exit 2
now() { date +%s%3N; }
cd "$dir" || exit 2

t0=$(now)
"$bin/tarnwick" >/dev/null 2>"$dir/stderr.txt" &
pid=$!
wid=""
for _ in $(seq 1500); do
  wid=$(xdotool search --onlyvisible --pid "$pid" 2>/dev/null | head -1)
  [ -n "$wid" ] && break
  sleep 0.02
done
[ -n "$wid" ] || { echo "no window"; kill "$pid"; exit 1; }
tw=$(now)
mkfifo "$dir/ctl"
"$bin/tw_ping_probe" "$wid" <"$dir/ctl" >"$dir/pings.txt" &
probe=$!
exec 3>"$dir/ctl"
eval "$(xdotool getwindowgeometry --shell "$wid")"  # X, Y: the window's top left
# Where things are in the main window, which opens maximised on with-x's
# 1600x1200 screen: the first category's title, its first two children once
# expanded ("A large note" sorts first), the keyword box, Modify and Delete.
TREE_X=80 CAT_Y=87 NOTE_X=110 LARGE_Y=113 OTHER_Y=139 KEY_X=592 KEY_Y=39 MODIFY_X=218 MODIFY_Y=82 DELETE_X=323
steps=()
step() {  # NAME SECONDS: the step's actions already sent; wait and record
  local begin=$1 name=$2 wait=$3
  sleep "$wait"
  steps+=("$name $begin $(now)")
  import -window root "$out/$name.png" 2>/dev/null
}
click() { xdotool mousemove $((X + $1)) $((Y + $2)) click "${3:-1}"; }

step "$t0" start 3
b=$(now); click "$TREE_X" "$CAT_Y"; xdotool key Right; step "$b" tree-expand 1.5
b=$(now); click "$NOTE_X" "$OTHER_Y"; step "$b" select-other-note 1.5
b=$(now); click "$NOTE_X" "$LARGE_Y"; step "$b" select-large-note 3
b=$(now); click "$NOTE_X" "$OTHER_Y"; step "$b" select-other-again 3
for keyword in nowhere 会议 travel; do
  b=$(now); click "$KEY_X" "$KEY_Y"; xdotool type --delay 150 "$keyword"; xdotool key Return; step "$b" "find-$keyword" 3
done
# Modify on the large note, unchanged: the whole body is written again, on
# the writer's thread; the window only locks and unlocks its controls.
xdotool key Escape 2>/dev/null; xdotool windowactivate --sync "$wid" 2>/dev/null
click "$NOTE_X" "$LARGE_Y"; sleep 3
b=$(now); click "$MODIFY_X" "$MODIFY_Y"; step "$b" modify-large-note 8
# Delete it, answering Yes: the saved note's tree is folded again first.
click "$TREE_X" "$CAT_Y"; xdotool key Right; sleep 1
click "$NOTE_X" "$LARGE_Y"; sleep 3
b=$(now); click "$DELETE_X" "$MODIFY_Y"; sleep 1; xdotool key Return; step "$b" delete-large-note 8
exec 3>&-
wait "$probe"
kill "$pid" 2>/dev/null; wait "$pid" 2>/dev/null

echo "window shown $((tw - t0)) ms after start; pings answered: $(wc -l <"$dir/pings.txt")"
for s in "${steps[@]}"; do
  read -r name begin end <<<"$s"
  # A ping answered at t after d ms was sent at t - d.
  awk -v b="$begin" -v e="$end" -v n="$name" '
    { sent = $1 - $2; if (sent >= b && sent <= e) { if ($2 > m) { m = $2; at = sent - b } ; c++ } }
    END { printf "%-22s longest busy %6.1f ms (ping sent %5.0f ms into the step), %d pings\n", n, m, at, c }' \
    "$dir/pings.txt"
done
echo "screenshots: $out"
