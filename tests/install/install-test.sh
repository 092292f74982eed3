#!/usr/bin/env bash
# Installs a build into a temporary prefix and checks it as a desktop sees it:
# exactly the expected files, a valid desktop entry and AppStream metadata, and
# a launcher that makes the notebook in an empty home and starts the program,
# on X11 even when a Wayland session asks for another platform, with fonts
# for its Chinese text. Runs on an X display (tests/with-x).
# Usage: install-test.sh BUILD_DIR WM_CLOSE GLYPH_CHECK
set -u
build=$1
wm_close=$2
glyph_check=$3
app_id=org.tarnwick.Tarnwick
work=$(mktemp -d)
pids=()
cleanup() {
  for p in "${pids[@]}"; do kill -9 "$p" 2>/dev/null; done
  rm -rf "$work"
}
trap cleanup EXIT

failed=0
pass() { echo "ok: $1"; }
fail() { echo "FAIL: $1"; failed=$((failed + 1)); }
expect() {  # expect WHAT COMMAND...: one named check
  local what=$1
  shift
  if "$@"; then pass "$what"; else fail "$what"; fi
}

prefix=$work/prefix
if ! cmake --install "$build" --prefix "$prefix" >"$work/install.log" 2>&1; then
  cat "$work/install.log"
  echo "FAIL: cmake --install"
  exit 1
fi

# --- The files: all of them and nothing else (no test program, no library).
expected=(
  bin/tarnwick bin/tarnwick-db bin/tarnwick-skin libexec/tarnwick/tarnwick
  share/applications/$app_id.desktop share/metainfo/$app_id.metainfo.xml
  share/icons/hicolor/scalable/apps/$app_id.svg
  share/doc/tarnwick/copyright share/doc/tarnwick/changelog.gz
  share/man/man1/tarnwick.1.gz share/man/man1/tarnwick-db.1.gz share/man/man1/tarnwick-skin.1.gz)
sizes=(16 24 32 48 64 128 256)
for s in "${sizes[@]}"; do expected+=("share/icons/hicolor/${s}x$s/apps/$app_id.png"); done
diff <(printf '%s\n' "${expected[@]}" | sort) <(cd "$prefix" && find . -type f -o -type l | sed 's|^\./||' | sort) \
  >"$work/files.diff"
expect "installs exactly the expected files" [ ! -s "$work/files.diff" ]
sed 's/^/  /' "$work/files.diff"
for f in bin/tarnwick bin/tarnwick-db bin/tarnwick-skin libexec/tarnwick/tarnwick; do
  expect "$f is executable" [ -x "$prefix/$f" ]
done
for s in "${sizes[@]}"; do
  got=$(identify -format '%wx%h' "$prefix/share/icons/hicolor/${s}x$s/apps/$app_id.png" 2>&1)
  expect "the ${s} px icon is ${s}x$s" [ "$got" = "${s}x$s" ]
done

# --- The desktop entry and the metadata, as the desktop's own tools read them.
desktop=$prefix/share/applications/$app_id.desktop
expect "desktop-file-validate accepts the entry" desktop-file-validate "$desktop"
expect "appstreamcli accepts the metadata" \
  appstreamcli validate --no-net "$prefix/share/metainfo/$app_id.metainfo.xml"
icon=$(sed -n 's/^Icon=//p' "$desktop")
expect "the entry's icon is installed" [ -e "$prefix/share/icons/hicolor/48x48/apps/$icon.png" ]
exec_line=$(sed -n 's/^Exec=//p' "$desktop")
expect "the entry's Exec line runs the launcher on the PATH" [ "$exec_line" = tarnwick ]

# --- The launcher's answers that start nothing.
launcher=$prefix/bin/tarnwick
"$launcher" --version >"$work/out" 2>&1
expect "--version names the program" grep -qx 'tarnwick [0-9.]*' "$work/out"
"$launcher" --help >"$work/out" 2>&1
expect "--help shows the usage" grep -q '^Usage: tarnwick' "$work/out"
"$launcher" --bogus >/dev/null 2>"$work/err"
rc=$?
expect "an unknown option exits with 2 and the usage" [ $rc -eq 2 -a "$(grep -c '^Usage:' "$work/err")" = 1 ]
touch "$work/not-a-folder"
XDG_DATA_HOME=$work/not-a-folder HOME=$work "$launcher" 2>"$work/err"
rc=$?
expect "an unusable data folder is reported, nothing started" \
  [ $rc -eq 1 -a "$(grep -c 'cannot create the notebook folder' "$work/err")" = 1 ]
# A relative XDG_DATA_HOME does not count: the home's default is used instead.
XDG_DATA_HOME=relative HOME=$work/not-a-folder "$launcher" 2>"$work/err"
expect "a relative XDG_DATA_HOME is ignored" grep -q "folder $work/not-a-folder/.local/share/tarnwick\$" "$work/err"

# --- Starting from the desktop entry on an empty home.
mkdir -p "$work/run" && chmod 700 "$work/run"

# start HOME [XDG_DATA_HOME [VAR=VALUE...]]: runs the Exec line in a desktop's
# bare environment, with a runtime folder of its own so no other test's copy
# answers. Sanitizer settings pass through, so a sanitized build keeps its leak rules.
start() {
  local home=$1 xdg=${2:-}
  shift $(($# < 2 ? $# : 2))
  env -i HOME="$home" ${xdg:+XDG_DATA_HOME="$xdg"} "$@" PATH="$prefix/bin:/usr/bin:/bin" DISPLAY="$DISPLAY" \
    XDG_RUNTIME_DIR="$work/run" ${ASAN_OPTIONS:+ASAN_OPTIONS="$ASAN_OPTIONS"} \
    ${UBSAN_OPTIONS:+UBSAN_OPTIONS="$UBSAN_OPTIONS"} sh -c "exec $exec_line" >>"$work/program.log" 2>&1 &
  pid=$!
  pids+=("$pid")
  window=""
}

# wait_for SECONDS COMMAND...
wait_for() {
  local end=$((SECONDS + $1))
  shift
  until "$@"; do
    [ $SECONDS -ge $end ] && return 1
    sleep 0.1
  done
}

main_window() { window=$(xdotool search --all --onlyvisible --pid "$pid" --name '^Tarnwick' 2>/dev/null | head -1); [ -n "$window" ]; }

# A child that has ended stays a zombie until it is waited for.
ended() { local s; s=$(ps -o stat= -p "$pid"); [ -z "$s" ] || [ "${s#Z}" != "$s" ]; }

# Ends the program as a user does: the window's close, then OK in " Confirm quit？".
# A loaded machine may take long to answer; the close is sent again only when
# none came, since a window still settling (the skinned frame may recreate
# it) can miss one.
quit() {
  local dialog=""
  find_dialog() { dialog=$(xdotool search --all --onlyvisible --pid "$pid" --name '^Tips$' 2>/dev/null | head -1); [ -n "$dialog" ]; }
  for _ in 1 2 3 4; do
    main_window && "$wm_close" "$window"
    wait_for 20 find_dialog && break
  done
  if [ -z "$dialog" ]; then
    fail "closing asks before quitting"
    for w in $(xdotool search --all --onlyvisible --pid "$pid" '' 2>/dev/null); do echo "  shown: $w \"$(xdotool getwindowname "$w")\""; done
    return
  fi
  sleep 0.5
  xdotool windowfocus --sync "$dialog" 2>/dev/null
  # Cancel is the default button; Tab moves to OK and Space presses it.
  xdotool key --clearmodifiers Tab space
  if wait_for 60 ended; then
    wait "$pid"
    expect "the program ends with status 0" [ $? -eq 0 ]
  else
    fail "the program ends after OK"
  fi
  # The guard's lock file stays by design; a socket left behind would not.
  expect "the program leaves no instance socket behind" [ -z "$(find "$work/run" -type s)" ]
}

home=$work/home
mkdir "$home"
start "$home"
notebook=$home/.local/share/tarnwick
expect "the launcher creates the notebook" wait_for 60 test -s "$notebook/data.mdb"
expect "the main window shows" wait_for 60 main_window
if [ -n "${window:-}" ]; then
  expect "the program runs in the notebook folder" [ "$(readlink "/proc/$pid/cwd")" = "$notebook" ]
  expect "the notebook folder is private" [ "$(stat -c %a "$notebook")" = 700 ]
  expect "the notebook is an SQLite database" [ "$(head -c 15 "$notebook/data.mdb")" = "SQLite format 3" ]
  expect "a new notebook has the one category \"Notes\"" \
    [ "$(sqlite3 "$notebook/data.mdb" 'select "类别" from "类别"')" = Notes ]
  backup=$notebook/backups/data-$(date +%F).mdb
  expect "the first start backs the notebook up" wait_for 60 test -s "$backup"
  expect "the backup is private" [ "$(stat -c %a "$notebook/backups") $(stat -c %a "$backup")" = "700 600" ]
  expect "the backup passes its check" [ "$(sqlite3 "$backup" 'pragma quick_check')" = ok ]
  quit
fi
expect "nothing but the notebook and its backup is made in the home" \
  [ "$(cd "$home" && find . -mindepth 1 | sed 's/[0-9]\{4\}-[0-9][0-9]-[0-9][0-9]/DATE/' | sort | tr '\n' ' ')" = \
    "./.local ./.local/share ./.local/share/tarnwick ./.local/share/tarnwick/backups ./.local/share/tarnwick/backups/data-DATE.mdb ./.local/share/tarnwick/data.mdb " ]

# An existing notebook in XDG_DATA_HOME is used as it is, never replaced.
xdg=$work/xdg
mkdir -p "$xdg/tarnwick"
"$prefix/bin/tarnwick-db" init --demo "$xdg/tarnwick/data.mdb" >/dev/null
# The program may add its search index in place, so the notes are compared,
# not the file's bytes.
notes() { sqlite3 "$1" 'select "类别", "日期", "标题", "内容" from "笔记" order by rowid' | md5sum; }
before=$(notes "$xdg/tarnwick/data.mdb")
# As a Wayland session starts it: the program goes to XWayland instead of
# aborting for want of the Wayland plugin, and says so once.
start "$work/home2" "$xdg" QT_QPA_PLATFORM=wayland
expect "the main window shows over an existing notebook, on X11 though Wayland was asked for" wait_for 60 main_window
if [ -n "${window:-}" ]; then
  expect "the program runs in \$XDG_DATA_HOME/tarnwick" [ "$(readlink "/proc/$pid/cwd")" = "$xdg/tarnwick" ]
  quit
fi
expect "the override of QT_QPA_PLATFORM=wayland is said once" \
  [ "$(grep -c 'instead of QT_QPA_PLATFORM=wayland' "$work/program.log")" = 1 ]
expect "the existing notebook keeps every note as it was" [ "$(notes "$xdg/tarnwick/data.mdb")" = "$before" ]
expect "no notebook is made in the home" [ ! -e "$work/home2/.local" ]

# --- Chinese text: the count in the status bar and a Chinese notebook's
# categories come out in a real font, not as boxes. The status bar's skin
# font is Arial; Qt falls back per character as in the window.
count_text="现共有记录: $(sqlite3 "$xdg/tarnwick/data.mdb" 'select count(*) from "笔记"') 个"
QT_QPA_PLATFORM=offscreen "$glyph_check" Arial "$count_text" $(sqlite3 "$xdg/tarnwick/data.mdb" 'select "类别" from "类别"') \
  >"$work/glyphs" 2>&1
expect "the count text and the categories render with no missing glyph" [ $? -eq 0 ]
sed 's/^/  /' "$work/glyphs"

if [ $failed -ne 0 ]; then
  echo "--- program output"
  cat "$work/program.log"
fi
echo "install test: $failed failed"
[ $failed -eq 0 ]
