#!/usr/bin/env bash
# Installs the built tree into a temporary prefix (as `cmake --install BUILD --prefix ~/.local` does) and
# checks what a desktop and a player get: launchers that work, a valid desktop entry, the icon, and an
# installation that the program does not write to when it may not.
# Usage: install_test.sh BUILD_DIR SAMPLE_GAME
set -euo pipefail
build=$1
sample_game=$2

work=$(mktemp -d)
prefix="$work/pre fix"  # a space, as a home folder may have
immutable=""
cleanup() {
  [ -z "$immutable" ] || chattr -i "$immutable" 2>/dev/null || true
  chmod -R u+w "$work" 2>/dev/null || true
  rm -rf "$work"
}
trap cleanup EXIT
fail() { echo "FAIL: $*" >&2; exit 1; }

cmake --install "$build" --prefix "$prefix" >/dev/null
program="$prefix/lib/kesta"

# The program folder, with what the program ships and nothing that running it from the build left.
for file in kesta kesta-cli; do [ -x "$program/$file" ] || fail "$program/$file is not an executable"; done
for entry in Default/Graphics.cfg Languages/en-EN.xml Languages/ru-RU.xml Images luascripts.ini Backup ServerList; do
  [ -e "$program/$entry" ] || fail "missing $program/$entry"
done
ls "$program"/Images/*.jpg >/dev/null || fail "no pictures in $program/Images"
for left in kesta.ini lastfile.ini; do [ ! -e "$program/$left" ] || fail "$program/$left was installed"; done
[ -z "$(find "$program/Backup" "$program/ServerList" -mindepth 1)" ] || fail "Backup/ or ServerList/ installed with files"

# Launchers: relative links to the program folder.
for file in kesta kesta-cli; do
  [ -L "$prefix/bin/$file" ] || fail "$prefix/bin/$file is not a link"
  [ "$(readlink -f "$prefix/bin/$file")" = "$(readlink -f "$program/$file")" ] || fail "$prefix/bin/$file points elsewhere"
  case "$(readlink "$prefix/bin/$file")" in /*) fail "$prefix/bin/$file is an absolute link" ;; esac
done

# The desktop entry starts the installed launcher and names the installed icon.
entry="$prefix/share/applications/kesta.desktop"
validation=$(desktop-file-validate "$entry" 2>&1) || fail "desktop-file-validate refused $entry: $validation"
[ -z "$validation" ] || fail "desktop-file-validate: $validation"
grep -qxF "Exec=\"$prefix/bin/kesta\"" "$entry" || fail "Exec does not name the launcher: $(grep ^Exec= "$entry")"
grep -qx "Icon=kesta" "$entry" || fail "no Icon=kesta in $entry"
for size in 16 32 48 64 128 256; do
  icon="$prefix/share/icons/hicolor/${size}x${size}/apps/kesta.png"
  [ -f "$icon" ] || fail "missing $icon"
  # PNG signature, then the width and height of the IHDR chunk.
  [ "$(od -An -tx1 -N8 "$icon" | tr -d ' \n')" = "89504e470d0a1a0a" ] || fail "$icon is not a PNG"
  [ "$(od -An -tu1 -j16 -N8 "$icon" | tr -s ' ' | sed 's/^ //;s/ $//')" = "0 0 $((size / 256)) $((size % 256)) 0 0 $((size / 256)) $((size % 256))" ] ||
    fail "$icon is not ${size}x${size}"
done

# What the system finds beside the menu entry: manual pages, kesta-cli's completion, the AppStream metainfo.
for file in share/man/man1/kesta.1.gz share/man/man1/kesta-cli.1.gz share/bash-completion/completions/kesta-cli \
  share/fish/vendor_completions.d/kesta-cli.fish; do
  [ -s "$prefix/$file" ] || fail "missing $prefix/$file"
done
ls "$prefix"/share/metainfo/*.metainfo.xml >/dev/null || fail "no metainfo in $prefix/share/metainfo"

# The installed kesta-cli runs through its launcher.
"$prefix/bin/kesta-cli" --help >"$work/help.txt" || fail "kesta-cli --help failed"
grep -q "Graphics.SpecialSliderTextureLevel" "$work/help.txt" || fail "kesta-cli --help lists no value names"

cp -r "$sample_game" "$work/game"
listing() { (cd "$program" && find . -printf '%p %s %T@\n' | sort); }

# Read-only installation (as under /usr): settings go to $XDG_CONFIG_HOME/kesta, nothing beside the program.
before=$(listing)
if [ "$(id -u)" -eq 0 ]; then
  chattr +i "$program" || fail "cannot make $program read-only for root (chattr +i)"
  immutable=$program
else
  chmod a-w "$program"
fi
export XDG_CONFIG_HOME="$work/config" XDG_DATA_HOME="$work/data" HOME="$work/home"
# Help and version make no per-user folder.
"$prefix/bin/kesta-cli" --version >/dev/null || fail "kesta-cli --version failed"
"$prefix/bin/kesta-cli" help apply >/dev/null || fail "kesta-cli help apply failed"
[ ! -e "$work/config" ] && [ ! -e "$work/data" ] || fail "kesta-cli --version or help made per-user folders"
"$prefix/bin/kesta-cli" show "$work/game/" >"$work/show.txt" || fail "kesta-cli show failed in a read-only installation"
grep -q "^Graphics.SpecialSliderTextureLevel = " "$work/show.txt" || fail "kesta-cli show printed no values"
[ -f "$work/config/kesta/kesta.ini" ] || fail "no settings in $work/config/kesta"
grep -q "^Graphics=" "$work/config/kesta/kesta.ini" || fail "the per-user settings hold no file names"
[ -d "$work/data/kesta/ServerList" ] || fail "no per-user ServerList folder"
# Without a game folder on its command line it takes the one the per-user settings name, as the window does.
printf '[Config]\nLockOnPath=%s/\n' "$work/game" >"$work/config/kesta/kesta.ini"
"$prefix/bin/kesta-cli" show >"$work/show-default.txt" || fail "kesta-cli show found no game folder in the per-user settings"
cmp -s "$work/show.txt" "$work/show-default.txt" || fail "kesta-cli show read another game folder"
[ "$(listing)" = "$before" ] || fail "the read-only installation changed"

# Writable installation (a folder the player owns): the files stay beside the program, as in the build.
if [ -n "$immutable" ]; then chattr -i "$program"; immutable=""; else chmod u+w "$program"; fi
rm -rf "$work/config" "$work/data"
"$prefix/bin/kesta-cli" show "$work/game/" >/dev/null || fail "kesta-cli show failed in a writable installation"
grep -q "^Graphics=" "$program/kesta.ini" || fail "no settings beside the writable installation's program"
[ ! -e "$work/config" ] || fail "a writable installation wrote to $work/config"

