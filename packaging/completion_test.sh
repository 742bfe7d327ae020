#!/bin/bash
# The bash completion of marvolen-report: what it offers after each word, as
# bash calls it (COMP_WORDS split at the equals sign or not).
# usage: completion_test.sh COMPLETION_FILE MARVOLEN_REPORT
set -u
source "$1"
failed=0
expect() {  # expect "WANTED" WORD...: the last word is completed
  local wanted=$1
  shift
  COMP_WORDS=(marvolen-report "$@")
  COMP_CWORD=$#
  COMPREPLY=()
  _marvolen_report
  if [[ "${COMPREPLY[*]}" != "$wanted" ]]; then
    echo "after '$*': got '${COMPREPLY[*]}', wanted '$wanted'"
    failed=1
  fi
}
expect "--engine=chart --engine=literal" --eng
expect "--engine=literal" --engine=l
expect "literal" --engine = l
expect "chart literal" --engine = ""
expect "--csv --csv-parses --compare-rules --changes" --c
expect "--compare-rules" --co
expect "" --parse n
# Every option of --help is offered after "-".
COMP_WORDS=(marvolen-report -)
COMP_CWORD=1
_marvolen_report
offered=" ${COMPREPLY[*]} "
for option in $("$2" --help | grep -o '^  -[-a-zA-Z]*\|, --[a-z-]*' | sed 's/^[ ,]*//'); do
  [[ $offered == *" $option"[\ =]* ]] || { echo "$option is not offered"; failed=1; }
done
# Folders after -C.
dir=$(mktemp -d)
mkdir "$dir/data"
cd "$dir" && expect "data" -C d
rm -rf "$dir"
exit $failed
