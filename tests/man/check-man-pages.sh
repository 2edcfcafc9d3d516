#!/usr/bin/env bash
# The manual pages and the programs' --help cannot drift apart: every option
# one names, the other names too, in English and in Japanese, and every
# verselet-tool command of the help has its entry in the pages.
# Usage: check-man-pages.sh BIN_DIR MAN_DIR
set -euo pipefail
bin_dir="$1"
man_dir="$2"
status=0

# Options as they stand in text: a word that starts with - or --.
options_in() { { grep -oE -- '(^|[][ ,("|])--?[a-z][a-z0-9-]*' || true; } | sed -E 's/^[][ ,("|]//' | sort -u; }

# The text of one section of a page, with roff's \- written as -.
section_of() {
  local page="$1" heading="$2"
  sed 's/\\-/-/g' "$page" | awk -v h="$heading" '/^\.SH/ { on = ($0 ~ "^\\.SH \"?" h) ; next } on'
}

compare() {
  local what="$1" from_help="$2" from_page="$3"
  local missing extra
  missing="$(comm -23 <(printf '%s\n' "$from_help") <(printf '%s\n' "$from_page"))"
  extra="$(comm -13 <(printf '%s\n' "$from_help") <(printf '%s\n' "$from_page"))"
  if [ -n "$missing" ]; then
    echo "$what: in --help but not in the page: $(echo $missing)" >&2
    status=1
  fi
  if [ -n "$extra" ]; then
    echo "$what: in the page but not in --help: $(echo $extra)" >&2
    status=1
  fi
}

for program in verselet verselet-tool verselet-script; do
  if [ ! -x "$bin_dir/$program" ]; then
    echo "SKIPPED: $program is not built"
    continue
  fi
  help="$("$bin_dir/$program" --help)"
  help_options="$(printf '%s\n' "$help" | options_in)"
  for lang in en ja; do
    if [ "$lang" = en ]; then page="$man_dir/$program.1" options=OPTIONS commands=COMMANDS
    else page="$man_dir/ja/$program.1" options=オプション commands=コマンド; fi
    if [ ! -f "$page" ]; then
      echo "$program: no manual page $page" >&2
      status=1
      continue
    fi
    compare "$program ($lang) options" "$help_options" "$(section_of "$page" "$options" | options_in)"
    if [ "$program" = verselet-tool ]; then
      help_commands="$(printf '%s\n' "$help" | awk '/^コマンド:/ { on = 1; next } /^$/ { on = 0 } on && /^  [a-z]/ { print $1 }' | sort -u)"
      page_commands="$(section_of "$page" "$commands" | awk '/^\.B [a-z]/ { print $2 }' | sort -u)"
      compare "$program ($lang) commands" "$help_commands" "$page_commands"
    fi
  done
done
[ "$status" -eq 0 ] && echo "manual pages match --help"
exit "$status"
