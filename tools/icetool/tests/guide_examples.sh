#!/usr/bin/env bash
# guide_examples.sh ICETOOL GUIDE TYPES PICTURES
# Compiles every ```juice example of the disc author's guide, with the guide's
# ```lang block as the language file, the type file TYPES and the pictures of
# the folder PICTURES, as a disc author would: each example goes into a fresh
# folder as autorun.juice (CR LF line ends), where `icetool check` must report
# no error and no warning and `icetool compile` must succeed. An example that is
# a whole file (it includes the types) is compiled as it stands; a MenuButton
# goes into the button list of a small menu; a requirement into the requirement
# list of a button of that menu. The two reports of `icetool check` that the
# guide shows must be what it prints.
set -u
icetool=$(readlink -f "${1:?usage: guide_examples.sh ICETOOL GUIDE TYPES PICTURES}")
guide=$(readlink -f "${2:?}")
types=$(readlink -f "${3:?}")
pictures=$(readlink -f "${4:?}")
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
fail() { echo "FAIL: $*" >&2; exit 1; }

# The fenced blocks, one file each: juice.N, lang.N and, for a plain block that
# shows what icetool reports on autorun.juice, report.N; numbered in order.
awk -v dir="$work" '
  /^```/ {
    if (inside) { inside = 0; file = ""; next }
    inside = 1; n++; kind = substr($0, 4); sub(/[ \t]*$/, "", kind); file = ""; probe = kind == ""
    if (kind == "juice" || kind == "lang") file = dir "/" kind "." n
    next
  }
  probe { probe = 0; if ($0 ~ /^autorun\.juice/) file = dir "/report." n }
  file != "" { print > file }
' "$guide"
# In the guide's order (the number after the dot; the folder's name may hold dots too).
examples=$(cd "$work" && ls juice.* 2>/dev/null | sort -t. -k2 -n | sed "s|^|$work/|")
langs=$(ls "$work"/lang.* 2>/dev/null)
[ "$(echo "$langs" | grep -c .)" -eq 1 ] || fail "the guide should have exactly one lang block"
count=$(echo "$examples" | grep -c .)
[ "$count" -ge 9 ] || fail "only $count juice examples found in $guide"

crlf() { sed 's/\r$//; s/$/\r/'; }

button_head='MenuButton wrapper
{
	myButtonType EXIT
	myBitmap pictures/secondary_normal.tga
	myPressedBitmap pictures/secondary_pressed.tga
	myHoverBitmap pictures/secondary_hover.tga
	myDisabledBitmap pictures/secondary_disabled.tga
	myRequirementsToBeEnabled
	{'
button_tail='	}
}'
menu() {
  printf 'INCLUDE autorun.fruit\nGui myGui\n{\n\tmyBackgroundBitmap pictures/background.tga\n\tmyButtons\n\t{\n'
  cat
  printf '\t}\n}\n'
}

for example in $examples; do
  name=$(basename "$example")
  first=$(grep -v '^[[:space:]]*\(//.*\)\{0,1\}$' "$example" | head -1 | awk '{ print $1 }')
  dir=$work/run.$name
  mkdir -p "$dir"
  cp "$types" "$dir/autorun.fruit"
  cp -r "$pictures" "$dir/pictures"
  crlf <"$langs" >"$dir/autorun.lang"
  case "$first" in
    INCLUDE) crlf <"$example" >"$dir/autorun.juice" ;;
    MenuButton) menu <"$example" | crlf >"$dir/autorun.juice" ;;
    *Requirement) { echo "$button_head"; cat "$example"; echo "$button_tail"; } | menu | crlf >"$dir/autorun.juice" ;;
    *) fail "$name: an example that begins with '$first' is neither a file, a MenuButton nor a requirement" ;;
  esac
  (cd "$dir" && "$icetool" check autorun.juice) >"$dir/check.txt" 2>&1 ||
    fail "$name: icetool check failed:$(printf '\n'; cat "$dir/check.txt"; cat "$example")"
  if grep -q 'warning:' "$dir/check.txt"; then
    fail "$name: icetool check warned:$(printf '\n'; cat "$dir/check.txt")"
  fi
  (cd "$dir" && "$icetool" compile autorun.ice) >"$dir/compile.txt" 2>&1 ||
    fail "$name: icetool compile failed:$(printf '\n'; tail -20 "$dir/compile.txt")"
  echo "$name ($first): ok"
done
# The reports shown in the guide are what icetool says: on the first example cut
# after its twelfth line, and on it with a misspelt background.
reports=$(cd "$work" && ls report.* 2>/dev/null | sort -t. -k2 -n | sed "s|^|$work/|")
[ "$(echo "$reports" | grep -c .)" -eq 2 ] || fail "the guide should show two reports of icetool check"
first_example=$(echo "$examples" | head -1)
dir=$work/reports
mkdir -p "$dir"
cp "$types" "$dir/autorun.fruit"
cp -r "$pictures" "$dir/pictures"
crlf <"$langs" >"$dir/autorun.lang"
head -12 "$first_example" | crlf >"$dir/autorun.juice"
(cd "$dir" && "$icetool" check autorun.juice) >"$dir/report.txt" 2>&1
diff -u "$(echo "$reports" | sed -n 1p)" "$dir/report.txt" || fail "the guide's first report differs from icetool's"
sed 's|pictures/background.tga|pictures/backgrund.tga|' "$first_example" | crlf >"$dir/autorun.juice"
(cd "$dir" && "$icetool" check autorun.juice) >"$dir/report.txt" 2>&1
diff -u "$(echo "$reports" | sed -n 2p)" "$dir/report.txt" || fail "the guide's second report differs from icetool's"
echo "all $count examples of $(basename "$guide") compile, and its reports are icetool's"
