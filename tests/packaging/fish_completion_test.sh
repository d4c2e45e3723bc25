#!/usr/bin/env bash
# kesta-cli's fish completion: fish sources the built completion file and completes a table of partial
# command lines (complete -C), compared with what each must offer.
# Usage: fish_completion_test.sh COMPLETION_FILE
set -uo pipefail
completion=$1

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
mkdir -p "$work/game/conf.d"
touch "$work/game/config.lua"
game=$work/game
failures=0

# LINE, then what fish offers for it (the completions without their descriptions), one a word.
cases=(
  "kesta-cli |apply delete find get help history open-config prefixes save-config set show undo"
  "kesta-cli sa|save-config"
  "kesta-cli --v|--version"
  "kesta-cli help op|open-config"
  "kesta-cli get $game/co|$game/conf.d/ $game/config.lua"
  "kesta-cli show $game/co|$game/conf.d/"
  "kesta-cli apply $game/co|$game/conf.d/"
  "kesta-cli find shadow --lang |DE EN FR HR RU SP"
  "kesta-cli apply Graphics.SpecialSliderTex|Graphics.SpecialSliderTextureLevel="
  "kesta-cli apply $game Graphics.SliderLo|Graphics.SliderLod["
  "kesta-cli apply Cockpit.CheckboxRussianHUD=|Cockpit.CheckboxRussianHUD=0 Cockpit.CheckboxRussianHUD=1"
  "kesta-cli apply Producer.RadioGroupFFB=N|Producer.RadioGroupFFB=No"
  "kesta-cli apply Network.ComboBoxInterface=Lan\\ |Network.ComboBoxInterface=Lan_&_Internet"
  "kesta-cli apply Network.EditServerName=|"
  "kesta-cli apply --d|--diff"
)
for entry in "${cases[@]}"; do
  line=${entry%%|*}
  expected=$(tr ' ' '\n' <<<"${entry#*|}" | tr '_' ' ' | sed '/^$/d' | sort)
  actual=$(LINE=$line fish --no-config -c "source '$completion'; complete -C \"\$LINE\"" 2>&1 | cut -f1 | sort)
  if [ "$actual" != "$expected" ]; then
    echo "FAIL: '$line'" >&2
    echo "  expected: $(echo $expected)" >&2
    echo "  got:      $(echo $actual)" >&2
    failures=$((failures + 1))
  fi
done
# A name takes what --help says, shown beside it.
description=$(LINE="kesta-cli apply Graphics.SpecialSliderTextureL" fish --no-config -c \
  "source '$completion'; complete -C \"\$LINE\"" | cut -f2)
[ "$description" = "a position from 0 to 2" ] || { echo "FAIL: description '$description'" >&2; failures=$((failures + 1)); }
[ "$failures" -eq 0 ] || { echo "$failures fish completion cases failed" >&2; exit 1; }
echo "fish completion test passed"
