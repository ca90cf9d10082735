#!/usr/bin/env bash
# guide_examples.sh ICETOOL GUIDE TYPES PICTURES
# Compiles every ```juice example of the disc author's guide, with the guide's
# ```lang block as the language file, the type file TYPES and the pictures of
# the folder PICTURES, as a disc author would: each example goes into a fresh
# folder as autorun.juice (CR LF line ends), where `icetool check` must report
# no error and no warning and `icetool compile` must succeed. An example that is
# a whole file (it includes the types) is compiled as it stands; a MenuButton
# goes into the button list of a small menu; a requirement into the requirement
# list of a button of that menu.
set -u
icetool=$(readlink -f "${1:?usage: guide_examples.sh ICETOOL GUIDE TYPES PICTURES}")
guide=$(readlink -f "${2:?}")
types=$(readlink -f "${3:?}")
pictures=$(readlink -f "${4:?}")
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
fail() { echo "FAIL: $*" >&2; exit 1; }

# The fenced blocks, one file each: juice.N and lang.N, numbered in order.
awk -v dir="$work" '
  /^```(juice|lang)[ \t]*$/ { kind = substr($0, 4); sub(/[ \t]*$/, "", kind); n++; file = dir "/" kind "." n; next }
  /^```/ { file = ""; next }
  file != "" { print > file }
' "$guide"
examples=$(ls "$work"/juice.* 2>/dev/null | sort -t. -k2 -n)
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
echo "all $count examples of $(basename "$guide") compile"
