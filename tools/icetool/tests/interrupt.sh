#!/usr/bin/env bash
# interrupt.sh ICETOOL
# `icetool check` of a menu of 20,000 buttons, interrupted (SIGINT, as Ctrl+C
# sends it) once its scratch folder exists: the process ends by the signal and
# leaves no scratch folder and nothing beside the definition.
set -u
# Job control: a background job takes SIGINT as a foreground one does.
set -m
icetool=$(readlink -f "${1:?usage: interrupt.sh ICETOOL}")
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
fail() { echo "FAIL: $*" >&2; exit 1; }
cd "$work" || exit 1
mkdir scratch disc
printf 'CLASS Button\r\n{\r\n\tTEXT myCaption\r\n\tButton* myNext\r\n}\r\n\r\nSCRIPTCLASS List\r\n{\r\n\tButton\r\n}\r\n' >disc/menu.fruit
awk 'BEGIN {
  printf "INCLUDE menu.fruit\r\n\r\nList myList\r\n{\r\n"
  for (i = 0; i < 20000; i++)
    printf "\tButton b%d\r\n\t{\r\n\t\tmyCaption x%d\r\n\t\tmyNext myList.b%d\r\n\t}\r\n", i, i, (i + 1) % 20000
  printf "}\r\n"
}' >disc/autorun.juice

interrupted=0
for try in 1 2 3 4 5; do
  TMPDIR=$work/scratch "$icetool" check disc/autorun.juice >out.txt 2>&1 &
  pid=$!
  # At most 20 s for the compilation before the trial conversion starts.
  for ((n = 0; n < 2000; n++)); do
    [ -n "$(ls scratch)" ] && break
    kill -0 "$pid" 2>/dev/null || break
    sleep 0.01
  done
  kill -INT "$pid" 2>/dev/null
  wait "$pid"
  status=$?
  [ -z "$(ls scratch)" ] || fail "left in the temporary folder after exit status $status: $(ls -R scratch)"
  [ "$(ls disc | LC_ALL=C sort | tr '\n' ' ')" = "autorun.juice menu.fruit " ] || fail "written beside the definition: $(ls disc)"
  if [ "$status" -eq 130 ]; then
    interrupted=1
    break
  fi
done
[ "$interrupted" = 1 ] || fail "every check ended before it was interrupted"
echo "interrupted after $try tries, nothing left"
