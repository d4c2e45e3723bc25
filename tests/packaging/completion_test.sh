#!/usr/bin/env bash
# kesta-cli's bash completion: sources the built completion file and checks COMPREPLY for a table of
# partial command lines, once on its own and once under bash-completion, whose helpers it then uses.
# Usage: completion_test.sh COMPLETION_FILE KESTA_CLI
set -uo pipefail
completion=$1
cli=$2

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
mkdir -p "$work/game/conf.d" "$work/game/Config"
touch "$work/game/config.lua" "$work/game/other.txt"
failures=0

# Completes LINE (the cursor at its end) as bash would: words split at blanks (not at a blank escaped with a
# backslash, which stays in the word as typed) and around "=", which COMP_WORDBREAKS holds. Prints
# COMPREPLY sorted, one a line.
complete_line() {
  local line=$1 word="" char i started=""
  COMP_LINE=$line
  COMP_POINT=${#line}
  COMP_WORDS=()
  for ((i = 0; i < ${#line}; ++i)); do
    char=${line:i:1}
    if [ "$char" = "\\" ]; then
      word+="$char${line:i+1:1}"
      i=$((i + 1))
    elif [ "$char" = " " ]; then
      [ -n "$word" ] && COMP_WORDS+=("$word")
      word=""
    elif [ "$char" = "=" ]; then
      [ -n "$word" ] && COMP_WORDS+=("$word")
      COMP_WORDS+=("=")
      word=""
    else
      word+=$char
    fi
  done
  [ -n "$word" ] && COMP_WORDS+=("$word")
  # After a blank, the cursor starts a new, empty word; after "=", it stays on the "=".
  [[ $line == *" " && $line != *"\\ " ]] && COMP_WORDS+=("")
  COMP_CWORD=$((${#COMP_WORDS[@]} - 1))
  COMPREPLY=()
  _kesta_cli
  printf '%s\n' "${COMPREPLY[@]}" | sed '/^$/d' | sort
}

check() {
  local line=$1 expected actual
  expected=$(printf '%s\n' "${@:2}" | sed '/^$/d' | sort)
  actual=$(complete_line "$line")
  if [ "$actual" != "$expected" ]; then
    echo "FAIL ($mode): '$line'" >&2
    echo "  expected: $(echo $expected)" >&2
    echo "  got:      $(echo $actual)" >&2
    failures=$((failures + 1))
  fi
}

run_table() {
  local game=$work/game
  check "kesta-cli " get set delete show find apply save-config open-config history undo prefixes help
  check "kesta-cli sa" save-config
  check "kesta-cli --v" --version
  check "kesta-cli help op" open-config
  check "kesta-cli history " ""
  # Files where a file is asked, folders where a game folder is.
  check "kesta-cli get $game/co" "$game/config.lua" "$game/conf.d"
  check "kesta-cli get $game/config.lua por" ""
  check "kesta-cli set $game/config.lua port 1 --no" --no-semicolon
  check "kesta-cli show $game/co" "$game/conf.d"
  check "kesta-cli open-config $game/ot" "$game/other.txt"
  check "kesta-cli find shadow --lang " FR EN SP RU HR DE
  # apply's names, and the values of those that take one of a fixed list.
  check "kesta-cli apply Graphics.SpecialSliderTex" Graphics.SpecialSliderTextureLevel=
  check "kesta-cli apply $game Graphics.SliderLo" "Graphics.SliderLod["
  check "kesta-cli apply Graphics.SpecialSliderTextureLevel=1 Cockpit.CheckboxRussianH" Cockpit.CheckboxRussianHUD=
  check "kesta-cli apply Cockpit.CheckboxRussianHUD=" 1 0
  check "kesta-cli apply Graphics.SpecialSliderTextureLevel=" 0 1 2
  check "kesta-cli apply Producer.RadioGroupFFB=N" No
  check "kesta-cli apply Network.ComboBoxInterface=La" 'Lan\ \&\ Internet' Lan
  check "kesta-cli apply Network.ComboBoxInterface=Lan\\ " 'Lan\ \&\ Internet'
  check "kesta-cli apply Graphics.ComboBoxGameAspect=16" '16/9\ \(1.77\)' '16/10\ \(1.6\)'
  check "kesta-cli apply Network.EditServerName=" ""
  check "kesta-cli apply Unknown.Name=" ""
  check "kesta-cli apply --d" --diff
  # Every name of the table --help prints, and no other.
  local names
  names=$("$cli" --help | awk '/^Names for show/ { on = 1; next } /^usage:/ { on = 0 }
    on && /^  [A-Za-z]+\./ {
      name = substr($0, 3); name = substr(name, 1, index(name, "  ") - 1)
      if (name ~ /\[[a-z][a-z ]*\]$/) sub(/\[[^[]*\]$/, "[", name); else name = name "="
      print name
    }')
  [ "$(echo "$names" | wc -l)" -gt 100 ] || { echo "FAIL: --help lists too few names" >&2; failures=$((failures + 1)); }
  mapfile -t name_list <<<"$names"
  check "kesta-cli apply $game " "${name_list[@]}"
}

source "$completion"
mode="alone"
run_table
# Under bash-completion, as in an interactive shell of a Debian desktop.
if [ -f /usr/share/bash-completion/bash_completion ]; then
  source /usr/share/bash-completion/bash_completion
  source "$completion"
  declare -F _filedir >/dev/null || { echo "FAIL: bash-completion has no _filedir" >&2; exit 1; }
  mode="bash-completion"
  run_table
else
  echo "FAIL: bash-completion is not installed (scripts/setup.sh installs it)" >&2
  exit 1
fi
[ "$failures" -eq 0 ] || { echo "$failures completion cases failed" >&2; exit 1; }
echo "completion test passed"
