#!/usr/bin/env bash
# Build-time generation of the files that describe the program to the system: the manual pages, the shell
# completion and the AppStream metainfo. The names and values come from kesta-cli's own --help table and
# the texts from the language files, so that none of them is kept twice.
#   generate.sh man SOURCE.1.in OUTPUT.1.gz VERSION DATE [KESTA_CLI]
#   generate.sh completion bash|fish KESTA_CLI TEMPLATE OUTPUT
#   generate.sh metainfo TEMPLATE LANGUAGES_FOLDER VERSION DATE ID HOMEPAGE SCREENSHOT_URL OUTPUT
set -euo pipefail

# The rows of the names table of kesta-cli --help: "NAME<TAB>WHAT IT TAKES", one a line.
name_rows() {
  "$1" --help | awk '
    /^Names for show and apply/ { on = 1; next }
    /^usage:/ { on = 0 }
    # "  NAME  WHAT IT TAKES": the name ends at the first two blanks (a profile name in brackets has one).
    on && /^  [A-Za-z]+\./ {
      line = substr($0, 3)
      end = index(line, "  ")
      if (end == 0) next
      takes = substr(line, end)
      sub(/^ +/, "", takes)
      print substr(line, 1, end - 1) "\t" takes
    }'
}

# Writes OUTPUT from the temporary file beside it in one rename, so that a failed step leaves no half file.
finish() { mv -f "$1.tmp" "$1"; }

case "$1" in
man)
  source=$2 output=$3 version=$4 date=$5 cli=${6:-}
  names=""
  if [ -n "$cli" ]; then
    # One tagged paragraph a name; roff's escape character and a leading dot or quote made plain text.
    names=$(name_rows "$cli" | awk -F '\t' '
      function plain(text) { gsub(/\\/, "\\e", text); if (text ~ /^[.\047]/) text = "\\&" text; return text }
      { printf ".TP\n\\fB%s\\fR\n%s\n", plain($1), plain($2) }')
    [ -n "$names" ] || { echo "kesta-cli --help listed no names" >&2; exit 1; }
  fi
  # Texts reach awk through the environment: -v would take their backslashes as escapes.
  NAMES="$names" VERSION="$version" DATE="$date" awk '
    $0 == "@NAMES@" { print ENVIRON["NAMES"]; next }
    /^\.TH / { sub(/@DATE@/, ENVIRON["DATE"]); sub(/@VERSION@/, ENVIRON["VERSION"]) }
    { print }' "$source" | gzip -9n >"$output.tmp"
  finish "$output"
  ;;
completion)
  shell=$2 cli=$3 template=$4 output=$5
  rows=$(name_rows "$cli")
  [ -n "$rows" ] || { echo "kesta-cli --help listed no names" >&2; exit 1; }
  # "NAME<TAB>START<TAB>WHAT IT TAKES": what apply's words start with, NAME= , or NAME[ where a placeholder
  # in brackets (a profile, an entry number) follows.
  starts=$(awk -F '\t' '{
      start = $1
      if (start ~ /\[[a-z][a-z ]*\]$/) sub(/\[[^[]*\]$/, "[", start)
      else start = start "="
      print $1 "\t" start "\t" $2
    }' <<<"$rows")
  # "NAME<TAB>VALUE" for the names that take one of a fixed list: check boxes, choices, short slider ranges.
  values=$(awk -F '\t' '{
      if ($2 == "1 (checked) or 0 (not checked)") { print $1 "\t1"; print $1 "\t0" }
      else if ($2 ~ /^one of: /) {
        n = split(substr($2, 9), choice, ", ")
        for (i = 1; i <= n; ++i) if (choice[i] != "\"\" (none)") print $1 "\t" choice[i]
      } else if ($2 ~ /^a position from -?[0-9]+ to -?[0-9]+$/) {
        split($2, word, " ")
        if (word[6] - word[4] <= 10) for (i = word[4] + 0; i <= word[6] + 0; ++i) print $1 "\t" i
      }
    }' <<<"$rows")
  if [ "$shell" = bash ]; then
    quote='function quote(text) { gsub(/\047/, "\047\\\047\047", text); return "\047" text "\047" }'
    names=$(awk -F '\t' "$quote"'{ printf "  %s\n", quote($2) }' <<<"$starts")
    # One entry a name: its values, one a line.
    values=$(awk -F '\t' "$quote"'
      function flush() { if (name != "") printf "  [%s]=%s\n", quote(name), quote(list) }
      $1 != name { flush(); name = $1; list = $2; next }
      { list = list "\n" $2 }
      END { flush() }' <<<"$values")
  else
    # fish: single-quoted arguments of complete, whose -a words are then split at blanks unless escaped.
    escape='function escape(text) { gsub(/[][ \\\047"$*?~#(){};|&<>]/, "\\\\&", text); return text }
      function quote(text) { gsub(/[\\\047]/, "\\\\&", text); return "\047" text "\047" }'
    names=$(awk -F '\t' "$escape"'{
        printf "complete -c kesta-cli -n __kesta_cli_naming -a %s -d %s\n", quote(escape($2)), quote($3)
      }' <<<"$starts")
    values=$(awk -F '\t' "$escape"'{
        condition = quote("__kesta_cli_value_of " escape($1))
        printf "complete -c kesta-cli -n %s -a %s\n", condition, quote(escape($1 "=" $2))
      }' <<<"$values")
  fi
  NAMES="$names" VALUES="$values" awk '
    $0 == "@NAMES@" { print ENVIRON["NAMES"]; next }
    $0 == "@VALUES@" { print ENVIRON["VALUES"]; next }
    { print }' "$template" >"$output.tmp"
  finish "$output"
  ;;
metainfo)
  template=$2 languages=$3 version=$4 date=$5 id=$6 homepage=$7 screenshots=$8 output=$9
  # The string of message KEY in a language file, as it is written there (entities stay entities).
  message() {
    awk -v key="<name>$2</name>" '
      index($0, key) { found = 1; next }
      found && /<string>/ { sub(/^.*<string>/, ""); sub(/<\/string>.*$/, ""); print; exit }' "$1"
  }
  # One element per language: the untranslated one from the English file, the others with xml:lang.
  translated() {
    local element=$1 key=$2 indent=$3 file code text
    for file in en-EN fr-FR de-DE sp-SP ru-RU hr-HR; do
      code=${file%%-*}
      [ "$code" = sp ] && code=es
      text=$(message "$languages/$file.xml" "$key")
      [ -n "$text" ] || { echo "no message $key in $file.xml" >&2; exit 1; }
      if [ "$file" = en-EN ]; then
        printf '%s<%s>%s</%s>\n' "$indent" "$element" "$text" "$element"
      else
        printf '%s<%s xml:lang="%s">%s</%s>\n' "$indent" "$element" "$code" "$text" "$element"
      fi
    done
  }
  name=$(translated name ProgramName "  ")
  summary=$(translated summary ProgramSummary "  ")
  shots=""
  for page in GraphicsStandard MultiClient View Backup; do
    type=""
    [ -n "$shots" ] || type=' type="default"'
    shots+="    <screenshot$type>"$'\n'
    shots+="$(translated caption "dxButton$page" "      ")"$'\n'
    shots+="      <image>$screenshots/EN-$page.png</image>"$'\n'
    shots+="    </screenshot>"$'\n'
  done
  NAME="$name" SUMMARY="$summary" SHOTS="${shots%$'\n'}" VERSION="$version" DATE="$date" ID="$id" \
    HOMEPAGE="$homepage" awk '
    $0 == "@NAME@" { print ENVIRON["NAME"]; next }
    $0 == "@SUMMARY@" { print ENVIRON["SUMMARY"]; next }
    $0 == "@SCREENSHOTS@" { print ENVIRON["SHOTS"]; next }
    {
      # index and substr: gsub would take the & of a replacement for the matched text.
      n = split("VERSION DATE ID HOMEPAGE", key, " ")
      for (k = 1; k <= n; ++k)
        while ((at = index($0, "@" key[k] "@")) > 0)
          $0 = substr($0, 1, at - 1) ENVIRON[key[k]] substr($0, at + length(key[k]) + 2)
      print
    }' "$template" >"$output.tmp"
  finish "$output"
  ;;
*)
  echo "usage: generate.sh man|completion|metainfo ..." >&2
  exit 2
  ;;
esac
