#!/usr/bin/env bash
# CPU time and wake-ups of the notes program while it rests: starts it on the
# notebook folder given (run under tests/with-x), waits for its window, then
# samples every thread's CPU ticks and context switches (each switch a
# wake-up) for SECONDS. Prints one line per second and the totals after the
# first 2 s. With "damage", one row of the search index is deleted first, so
# the start finds the damage and rebuilds the index, and the window's longest
# busy stretch meanwhile is measured too (tw_ping_probe, beside PROGRAM; its
# pings are wake-ups of their own, so only in this mode).
#   Usage: idle.sh PROGRAM FOLDER [SECONDS=60] [damage]
set -u
prog=$(readlink -f "$1"); folder=$2; seconds=${3:-60}; mode=${4:-}
probe=$(dirname "$prog")/tw_ping_probe
cd "$folder" || exit 2
if [ "$mode" = damage ]; then
  python3 -c 'import sqlite3; d = sqlite3.connect("data.mdb"); d.execute("delete from tw_notes_fts_docsize where id = (select min(id) from tw_notes_fts_docsize)"); d.commit()' || exit 2
fi
"$prog" >/dev/null 2>&1 &
pid=$!
wid=""
for _ in $(seq 600); do
  wid=$(xdotool search --onlyvisible --pid "$pid" 2>/dev/null | head -1)
  [ -n "$wid" ] && break
  sleep 0.05
done
pings=$(mktemp)
if [ "$mode" = damage ] && [ -x "$probe" ] && [ -n "$wid" ]; then
  sleep "$seconds" | "$probe" "$wid" >"$pings" &
fi
hz=$(getconf CLK_TCK)
declare -A seen  # switches of each thread at the last sample: a thread that ends takes none away
sample() {  # T: cpu ticks of the process (ended threads included); S: switches so far
  local switches=0 tid v k
  read -r -a f < "/proc/$pid/stat"
  for t in /proc/$pid/task/*; do
    tid=${t##*/}; v=0
    while read -r k n; do
      case $k in voluntary_ctxt_switches:|nonvoluntary_ctxt_switches:) v=$((v + n)) ;; esac
    done < "$t/status" 2>/dev/null
    switches=$((switches + v - ${seen[$tid]:-0}))
    seen[$tid]=$v
  done
  total=$((total + switches))
  T=$((f[13] + f[14])); S=$total
}
total=0
sample; t0=$T; s0=$S
for i in $(seq "$seconds"); do
  sleep 1
  sample; t=$T; s=$S
  echo "second $i: cpu_ms=$(( (t - t0) * 1000 / hz )) wakeups=$((s - s0)) threads=$(ls /proc/$pid/task | wc -l)"
  [ "$i" -eq 2 ] && { t2=$t; s2=$s; }
  t0=$t; s0=$s
done
sample; t=$T; s=$S
echo "after 2 s: cpu_ms=$(( (t - t2) * 1000 / hz )) wakeups=$((s - s2)) over $((seconds - 2)) s"
[ "$mode" = damage ] && sort -k2 -n -r "$pings" | awk -v t0="$(head -1 "$pings" | cut -d" " -f1)" 'NR <= 5 { printf "window: busy %.1f ms, %.1f s after the window showed\n", $2, ($1 - $2 - t0) / 1000 }'
rm -f "$pings"
kill "$pid"; wait "$pid" 2>/dev/null
