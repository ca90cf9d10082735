#!/usr/bin/env bash
# memory_limits.sh ICETOOL
# `icetool compile` of a menu of 20,000 buttons (localized texts, references)
# under address-space limits from where the program starts to where the
# conversion succeeds, in steps of 128 KiB: every run ends with exit status 0
# or 1 and no assertion; the Ice, hash and language files are missing or
# complete; the Juice text is the author's or the complete re-saved one; no
# temporary file is left.
set -u
icetool=$(readlink -f "${1:?usage: memory_limits.sh ICETOOL}")
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
fail() { echo "FAIL: $*" >&2; exit 1; }
cd "$work" || exit 1

printf 'CLASS Button\r\n{\r\n\tTEXT myCaption\r\n\tLOCTEXT myText\r\n\tButton* myNext\r\n}\r\n\r\nSCRIPTCLASS List\r\n{\r\n\tButton\r\n}\r\n' >menu.fruit
awk 'BEGIN {
  printf "INCLUDE menu.fruit\r\n\r\nList myList\r\n{\r\n"
  for (i = 0; i < 20000; i++)
    printf "\tButton b%d\r\n\t{\r\n\t\tmyCaption x%d\r\n\t\tmyText \"t %d\"\r\n\t\tmyNext myList.b%d\r\n\t}\r\n", i, i, i, (i + 1) % 20000
  printf "}\r\n"
}' >text.juice

# The files of a conversion without a limit.
mkdir whole
cp menu.fruit whole/ && cp text.juice whole/autorun.juice
(cd whole && "$icetool" compile autorun.ice >/dev/null 2>&1) || fail "the conversion without a limit failed"

lay() { rm -f autorun.*; cp text.juice autorun.juice; }
# Missing or the same as in whole/.
whole_or_none() { [ ! -e "$1" ] || cmp -s "$1" "whole/$1"; }

started=0 converted=0 failed=0
for ((limit = 4096; limit <= 262144 && converted < 3; limit += 128)); do
  lay
  output=$( (ulimit -v "$limit"; exec "$icetool" compile autorun.ice) 2>&1 )
  status=$?
  # Too little room to load the program and its run-time library at all.
  if [ "$started" = 0 ] && ! echo "$output" | grep -q '^LOG: '; then
    continue
  fi
  started=1
  case "$status" in
    0) converted=$((converted + 1)) ;;
    1) failed=$((failed + 1)) ;;
    *) fail "exit status $status at $limit KiB: $(echo "$output" | tail -1)" ;;
  esac
  if echo "$output" | grep -q 'FatalError\|Assertion ('; then
    fail "an assertion at $limit KiB: $(echo "$output" | grep 'FatalError\|Assertion (' | head -1)"
  fi
  for name in autorun.ice autorun.hash autorun.loc autorun.juice.orig; do
    whole_or_none "$name" || fail "$name is cut at $limit KiB"
  done
  cmp -s autorun.juice text.juice || cmp -s autorun.juice whole/autorun.juice || fail "autorun.juice is cut at $limit KiB"
  leftover=$(ls | grep 'tmp$')
  [ -z "$leftover" ] || fail "$leftover left at $limit KiB"
  if [ "$status" = 0 ]; then
    for name in autorun.ice autorun.hash autorun.loc; do
      cmp -s "$name" "whole/$name" || fail "$name differs after a conversion at $limit KiB"
    done
  fi
done
[ "$converted" -gt 0 ] || fail "no limit let the conversion succeed"
[ "$failed" -gt 0 ] || fail "no limit made the conversion fail"
echo "$failed failed and $converted succeeded cleanly"
