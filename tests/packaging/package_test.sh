#!/usr/bin/env bash
# Builds the Debian package with scripts/package.sh (its own optimised build, incremental) and checks it as
# a distribution would: its control fields and file list, lintian, the AppStream metainfo, the manual
# pages' lint; then unpacks it into a temporary root and runs the programs from there.
# Usage: package_test.sh SOURCE_DIR
set -euo pipefail
source_dir=$1

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
fail() { echo "FAIL: $*" >&2; exit 1; }

deb=$(bash "$source_dir/scripts/package.sh" --no-setup | tail -n 1)
[ -f "$deb" ] || fail "scripts/package.sh made no package ($deb)"
version=$(dpkg-deb -f "$deb" Version)
[ "$(basename "$deb")" = "kesta_${version}_amd64.deb" ] || fail "package file name $(basename "$deb")"

# Control fields: section, maintainer, the libraries dpkg-shlibdeps found and what it cannot see.
field() { dpkg-deb -f "$deb" "$1"; }
[ "$(field Section)" = games ] || fail "Section: $(field Section)"
[[ "$(field Maintainer)" =~ ^.+\ \<.+@.+\>$ ]] || fail "Maintainer: $(field Maintainer)"
for needed in qt6-qpa-plugins libqt6widgets6 libqt6core6 libjpeg62-turbo libsodium23 libc6; do
  [[ ", $(field Depends)," == *", $needed"[\ ,]* ]] || fail "Depends lacks $needed: $(field Depends)"
done
[ "$(field Recommends)" = wine ] || fail "Recommends: $(field Recommends)"

# The file list: the program folder, the launchers, and what the desktop and man find; nothing else.
dpkg-deb -c "$deb" >"$work/contents"
dpkg-deb -x "$deb" "$work/root"
root=$work/root
awk '$2 != "root/root" { print }' "$work/contents" | grep . && fail "files not owned by root"
awk '$1 ~ /^d/ && $1 != "drwxr-xr-x" { print }' "$work/contents" | grep . && fail "folders not 0755"
awk '$1 ~ /^-/ && $1 != "-rw-r--r--" && $1 != "-rwxr-xr-x" { print }' "$work/contents" | grep . &&
  fail "files neither 0644 nor 0755"
(cd "$root" && find . -type f -o -type l | sed 's|^\./||' | sort) >"$work/files"
expected=(
  usr/games/kesta usr/games/kesta-cli
  usr/lib/kesta/kesta usr/lib/kesta/kesta-cli usr/lib/kesta/luascripts.ini usr/lib/kesta/installed-by-package
  usr/lib/kesta/Default/Graphics.cfg
  usr/lib/kesta/Languages/de-DE.xml usr/lib/kesta/Languages/en-EN.xml usr/lib/kesta/Languages/fr-FR.xml
  usr/lib/kesta/Languages/hr-HR.xml usr/lib/kesta/Languages/ru-RU.xml usr/lib/kesta/Languages/sp-SP.xml
  usr/share/applications/kesta.desktop
  usr/share/icons/hicolor/256x256/apps/kesta.png
  usr/share/man/man1/kesta.1.gz usr/share/man/man1/kesta-cli.1.gz
  usr/share/bash-completion/completions/kesta-cli usr/share/fish/vendor_completions.d/kesta-cli.fish
  usr/share/doc/kesta/copyright usr/share/doc/kesta/changelog.gz
)
for file in "${expected[@]}"; do grep -qxF "$file" "$work/files" || fail "the package lacks $file"; done
[ "$(grep -c '^usr/share/metainfo/.*\.metainfo\.xml$' "$work/files")" = 1 ] || fail "not one metainfo file"
grep -q '^usr/lib/kesta/Images/.*\.jpg$' "$work/files" || fail "no pictures in usr/lib/kesta/Images"
for folder in Backup ServerList; do [ -d "$root/usr/lib/kesta/$folder" ] || fail "no usr/lib/kesta/$folder"; done
unexpected=$(grep -Ev '^usr/(games/kesta(-cli)?|lib/kesta/.*|share/(applications/kesta\.desktop|icons/hicolor/[0-9]+x[0-9]+/apps/kesta\.png|man/man1/kesta(-cli)?\.1\.gz|bash-completion/completions/kesta-cli|fish/vendor_completions\.d/kesta-cli\.fish|metainfo/[^/]+\.metainfo\.xml|doc/kesta/(copyright|changelog\.gz)))$' \
  "$work/files" || true)
[ -z "$unexpected" ] || fail "unexpected files: $unexpected"
grep -E '^usr/lib/kesta/(kesta\.ini|lastfile\.ini|Backup/.|ServerList/.|Journal)' "$work/files" &&
  fail "the package holds a player's file"
for program in kesta kesta-cli; do
  [ "$(readlink "$root/usr/games/$program")" = "../lib/kesta/$program" ] || fail "usr/games/$program is no relative link"
  sections=$(readelf -S "$root/usr/lib/kesta/$program") || fail "readelf $program"
  ! grep -qE '\.(symtab|debug_info) ' <<<"$sections" || fail "$program is not stripped"
done
changelog=$(zcat "$root/usr/share/doc/kesta/changelog.gz") || fail "changelog.gz is no gzip file"
[[ $changelog == "kesta ($version) "* ]] || fail "the changelog does not begin with $version"

# lintian: no error and no warning; the informational tags are the ones the package notes explain.
lintian --info "$deb" >"$work/lintian" 2>&1 || fail "lintian failed: $(cat "$work/lintian")"
grep -E '^[EW]: ' "$work/lintian" && fail "lintian reports errors or warnings"
explained='^I: kesta: (binary-has-unneeded-section \.comment|package-contains-empty-directory|spelling-error-in-binary [Dd]eveloppe?r)'
grep -E '^[A-Z]: ' "$work/lintian" | grep -Ev "$explained" && fail "lintian reports tags not explained"

# AppStream: valid without warnings, and what it names is in the package.
metainfo=$(ls "$root"/usr/share/metainfo/*.metainfo.xml)
appstreamcli validate --no-net "$metainfo" >"$work/appstream" 2>&1 || fail "appstreamcli: $(cat "$work/appstream")"
grep -E '^[EW]: ' "$work/appstream" && fail "appstreamcli reports errors or warnings"
grep -q '<launchable type="desktop-id">kesta.desktop</launchable>' "$metainfo" || fail "no launchable kesta.desktop"
grep -q "<release version=\"$version\"" "$metainfo" || fail "the metainfo has no release $version"
for program in kesta kesta-cli; do
  grep -q "<binary>$program</binary>" "$metainfo" || fail "the metainfo does not provide $program"
done
for language in fr de es ru hr; do
  grep -q "<summary xml:lang=\"$language\">" "$metainfo" || fail "no summary in $language"
done
# The screenshots it names are the tour's pictures, made beside the package for publishing.
images=$(sed -n 's|.*<image>.*/\([^/<]*\)</image>.*|\1|p' "$metainfo")
[ -n "$images" ] || fail "the metainfo names no screenshot"
for image in $images; do
  [ "$(od -An -tx1 -N8 "$(dirname "$deb")/screenshots/$image" | tr -d ' \n')" = "89504e470d0a1a0a" ] ||
    fail "no picture $image beside the package"
done
grep -qxF 'Exec="/usr/games/kesta"' "$root/usr/share/applications/kesta.desktop" || fail "the desktop entry's Exec"

# The manual pages: no lint above style, and kesta-cli's names every command and the names show prints.
for page in kesta kesta-cli; do
  zcat "$root/usr/share/man/man1/$page.1.gz" >"$work/$page.1"
  lint=$(mandoc -T lint -W warning "$work/$page.1" 2>&1) || fail "mandoc -T lint $page.1: $lint"
  [ -z "$lint" ] || fail "mandoc -T lint $page.1: $lint"
done
MANWIDTH=200 man -l "$work/kesta-cli.1" 2>/dev/null >"$work/kesta-cli.txt"
for command in get set delete show find apply save-config open-config history undo prefixes help; do
  grep -qE "^ +$command( |$)" "$work/kesta-cli.txt" || fail "kesta-cli(1) does not document $command"
done
grep -qE '^ +Graphics\.SpecialSliderTextureLevel$' "$work/kesta-cli.txt" || fail "kesta-cli(1) lists no names"
grep -q 'EXIT STATUS' "$work/kesta-cli.txt" || fail "kesta-cli(1) has no exit statuses"

# The programs from the unpacked package: no display, no settings written.
export HOME="$work/home" XDG_CONFIG_HOME="$work/config" XDG_DATA_HOME="$work/data" XDG_RUNTIME_DIR="$work/runtime"
mkdir -m 0700 "$HOME" "$XDG_RUNTIME_DIR"
unset DISPLAY WAYLAND_DISPLAY
export QT_QPA_PLATFORM=xcb  # any window would fail at once without a display
[ "$("$root/usr/games/kesta-cli" --version)" = "kesta-cli $version" ] || fail "kesta-cli --version"
[ "$("$root/usr/games/kesta" --version)" = "kesta $version" ] || fail "kesta --version"
"$root/usr/games/kesta" --help >"$work/help" || fail "kesta --help failed"
grep -q '^usage: kesta ' "$work/help" || fail "kesta --help: $(cat "$work/help")"
"$root/usr/games/kesta-cli" help apply >"$work/help-apply" || fail "kesta-cli help apply failed"
grep -q '^  Graphics\.SpecialSliderTextureLevel ' "$work/help-apply" || fail "kesta-cli help apply lists no names"
[ -z "$(ls -A "$XDG_RUNTIME_DIR")" ] && [ ! -e "$XDG_CONFIG_HOME" ] && [ ! -e "$XDG_DATA_HOME" ] ||
  fail "--help or --version wrote a player's file"
[ ! -e "$root/usr/lib/kesta/kesta.ini" ] || fail "--help or --version wrote a settings file"

# The program folder stays as the package left it, whoever runs the programs (root too): the player's
# files go to the per-user folders.
listing() { (cd "$root/usr/lib/kesta" && find . -printf '%p %s %T@\n' | sort); }
before=$(listing)
cp -r "$source_dir/build/package/sample-game" "$work/game"
"$root/usr/games/kesta-cli" show "$work/game/" >"$work/show" || fail "kesta-cli show from the package failed"
grep -q '^Graphics\.SpecialSliderTextureLevel = ' "$work/show" || fail "kesta-cli show printed no values"
"$root/usr/games/kesta-cli" apply "$work/game/" Graphics.SpecialSliderTextureLevel=1 || fail "kesta-cli apply failed"
[ "$(listing)" = "$before" ] || fail "running the programs changed the program folder"
grep -q '^Graphics=' "$XDG_CONFIG_HOME/kesta/kesta.ini" || fail "no per-user settings"
[ -d "$XDG_DATA_HOME/kesta/Journal" ] || fail "no per-user journal of Applies"
echo "package test passed: $deb"
