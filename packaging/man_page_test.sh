#!/bin/sh
# Every option a program's --help lists is in its manual page.
# usage: man_page_test.sh MAN_PAGE PROGRAM
set -u
page=$(sed 's/\\-/-/g' "$1")
failed=0
for option in $("$2" --help | grep -o '^  -[-a-zA-Z]*\|, --[a-z-]*' | sed 's/^[ ,]*//'); do
  case "$page" in
    *"$option"*) ;;
    *) echo "$option is not in $1"; failed=1 ;;
  esac
done
exit $failed
