#!/usr/bin/env bash
# The installed game: installed into a temporary prefix and unpacked from its Debian package into a
# temporary root, each run headless from another working folder with a script. It must start, compile its
# worlds into the player's folder, play a level and save there, and leave its installed data untouched.
#   installed_game_test.sh <build folder> <source folder>
set -euo pipefail
build=$1
source=$2
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

fail() {
  echo "FAIL: $*" >&2
  exit 1
}

# Enter the game, type a name in place of the one it offers, open world 1's first level, take two steps,
# leave it, and quit from the main menu, which writes the save file. The closing request only comes if a
# step went wrong, so that the game never waits for real input.
cat >"$work/play.script" <<'SCRIPT'
wait 5
press Return
wait 5
press Backspace
press Backspace
press Backspace
press Backspace
press Backspace
press Backspace
press Backspace
press Backspace
type Tester
press Return
wait 5
press Return
wait 5
press Return
wait 30
press Right
wait 10
press Down
wait 10
press Escape
wait 5
press Escape
wait 5
press Escape
wait 5
press Escape
wait 5
close
SCRIPT

validate_desktop_files() {
  local share=$1
  desktop-file-validate "$share/applications/org.duskmarrow.Duskmarrow.desktop" ||
    fail "the desktop entry does not validate"
  appstreamcli validate --no-net "$share/metainfo/org.duskmarrow.Duskmarrow.metainfo.xml" >"$work/appstream.log" 2>&1 ||
    { cat "$work/appstream.log"; fail "the metainfo does not validate"; }
  for size in 16 32 48 64 128 256; do
    [[ -f "$share/icons/hicolor/${size}x${size}/apps/org.duskmarrow.Duskmarrow.png" ]] ||
      fail "no ${size} pixel icon"
  done
}

# Runs the installed executable with the script and checks the player's folder it leaves.
run_installed_game() {
  local executable=$1 data=$2 name=$3
  local home="$work/$name-home" elsewhere="$work/$name-elsewhere"
  mkdir -p "$home" "$elsewhere"
  (cd "$data" && find . -type f -print0 | sort -z | xargs -0 sha256sum) >"$work/$name-before.sums"

  (cd "$elsewhere" && HOME="$home" XDG_DATA_HOME="$home/data" timeout 120 \
    "$executable" --script "$work/play.script" --fast) >"$work/$name.log" 2>&1 ||
    { cat "$work/$name.log"; fail "$name: the game did not end cleanly"; }

  local player="$home/data/duskmarrow"
  [[ -f "$player/save.dat" ]] || fail "$name: no save file in the player's folder"
  [[ -f "$player/leveldata/world 1/1w.wdt" ]] || fail "$name: the worlds were not compiled into the player's folder"
  grep -q Tester "$player/save.dat" || fail "$name: the save file does not hold the name typed"
  [[ -z "$(ls -A "$elsewhere")" ]] || fail "$name: the game wrote into its working folder: $(ls -A "$elsewhere")"
  (cd "$data" && find . -type f -print0 | sort -z | xargs -0 sha256sum) >"$work/$name-after.sums"
  cmp -s "$work/$name-before.sums" "$work/$name-after.sums" || fail "$name: the installed data changed"
  echo "$name: ok"
}

cmake --install "$build" --prefix "$work/prefix" >"$work/install.log" 2>&1 ||
  { cat "$work/install.log"; fail "cmake --install failed"; }
validate_desktop_files "$work/prefix/share"
run_installed_game "$work/prefix/bin/duskmarrow" "$work/prefix/share/duskmarrow" prefix

(cd "$build" && cpack -G DEB -B "$work/package") >"$work/cpack.log" 2>&1 ||
  { cat "$work/cpack.log"; fail "cpack failed"; }
deb=$(ls "$work"/package/duskmarrow_*.deb)
dpkg-deb -f "$deb" Depends | grep -q libsdl2 || fail "the package does not depend on SDL2: $(dpkg-deb -f "$deb" Depends)"
dpkg-deb -x "$deb" "$work/root"
validate_desktop_files "$work/root/usr/share"
run_installed_game "$work/root/usr/bin/duskmarrow" "$work/root/usr/share/duskmarrow" package
