#!/usr/bin/env bash
# CPU time and wake-ups of the notes program while it rests: starts it on the
# notebook folder given (run under tests/with-x), waits for its window, then
# samples every thread's CPU ticks and context switches (each switch a
# wake-up) for SECONDS. Prints one line per second and the totals after the
# first 2 s.   Usage: idle.sh PROGRAM FOLDER [SECONDS=60]
set -u
prog=$(readlink -f "$1"); folder=$2; seconds=${3:-60}
cd "$folder" || exit 2
"$prog" >/dev/null 2>&1 &
pid=$!
for _ in $(seq 600); do xdotool search --pid "$pid" >/dev/null 2>&1 && break; sleep 0.05; done
hz=$(getconf CLK_TCK)
sample() {  # cpu ticks and switches over all threads
  local ticks=0 switches=0
  for t in /proc/$pid/task/*; do
    read -r -a f < "$t/stat" 2>/dev/null || continue
    ticks=$((ticks + f[13] + f[14]))
    while read -r k v; do
      case $k in voluntary_ctxt_switches:|nonvoluntary_ctxt_switches:) switches=$((switches + v)) ;; esac
    done < "$t/status"
  done
  echo "$ticks $switches"
}
read -r t0 s0 < <(sample)
for i in $(seq "$seconds"); do
  sleep 1
  read -r t s < <(sample)
  echo "second $i: cpu_ms=$(( (t - t0) * 1000 / hz )) wakeups=$((s - s0)) threads=$(ls /proc/$pid/task | wc -l)"
  [ "$i" -eq 2 ] && { t2=$t; s2=$s; }
  t0=$t; s0=$s
done
read -r t s < <(sample)
echo "after 2 s: cpu_ms=$(( (t - t2) * 1000 / hz )) wakeups=$((s - s2)) over $((seconds - 2)) s"
kill "$pid"; wait "$pid" 2>/dev/null
