#!/usr/bin/env bash
# man_examples.sh REKODA-CLI MANPAGE: runs the EXAMPLES of the manual page
# as typed, in a home and on a "stick" of their own, and checks what they
# wrote; with mandoc at hand, the page must also lint clean.
set -euo pipefail
cli=$1 page=$2
fail() { echo "man_examples: $*" >&2; exit 1; }

if command -v mandoc >/dev/null; then
  mandoc -Tlint -W all "$page" || fail "mandoc -Tlint finds fault with $page"
fi

work=$(mktemp -d)
trap "rm -rf \"$work\"" EXIT
export HOME=$work/home USER=tech XDG_DATA_HOME=$work/home/.local/share
stick=$work/media/tech/STICK
mkdir -p "$work/bin"
ln -s "$(realpath "$cli")" "$work/bin/rekoda-cli"
export PATH=$work/bin:$PATH
# A fresh home (nothing but the folder) and a stick of the day's files.
fresh() {
  rm -rf "$HOME" "$stick" && mkdir -p "$HOME" "$stick/sub"
  for n in 1 2; do printf 'L01,MINI,LOGGER\r\n"01-01-05",12.5\r\n' > "$stick/DF$n.L01"; done
  printf '1,2,3,L01\r\n' > "$stick/MA1.L01"
  printf '1,2,3,L01\r\n' > "$stick/sub/MA9.L01"  # a subfolder's: no example may take it
  touch -d '2 days ago' "$stick"/* && touch "$stick/MA1.L01"
}

# The examples between .EX and .EE, with roff's escapes undone; the stick
# is the one place that differs from a technician's machine. Blocks are
# separated by a line "#--".
examples=$(awk '/^\.SH EXAMPLES/ {on = 1; next} /^\.SH/ {on = 0}
                on && /^\.EX/ {ex = 1; next} on && /^\.EE/ {ex = 0; print "#--"; next} on && ex' "$page" |
           sed -e 's/\\-/-/g' -e 's/\\e/\\/g' -e "s|/media/\$USER/STICK|$stick|g")
[ -n "$examples" ] || fail "no examples in $page"

# Each example as it is typed the first time, from a fresh home, and again.
blocks=0
while IFS= read -r -d $'\x1e' block; do
  [ -n "${block//[$'\n']/}" ] || continue
  fresh
  for round in first second; do
    (cd "$work" && bash -euo pipefail -c "$block") > "$work/out" 2> "$work/err" ||
      { cat "$work/err" >&2; fail "an example failed the $round time from a fresh home: $block"; }
  done
  blocks=$((blocks + 1))
done < <(awk 'BEGIN {RS = "#--\n"; ORS = "\x1e"} {print}' <<<"$examples")
[ "$blocks" -ge 3 ] || fail "only $blocks examples ran"
echo "man_examples: $blocks examples ran twice each from a fresh home"

# All of them in order, from a fresh home: what they wrote.
fresh
script=$(grep -v '^#--$' <<<"$examples")
(cd "$work" && bash -euo pipefail -c "$script") > "$work/out" 2> "$work/err" ||
  { cat "$work/err" >&2; fail "an example failed"; }

# The dry run wrote nothing, the run wrote both DF files, the find example
# only the new MA file of the stick's own folder, and the undo removed it.
[ -f "$HOME/archive/L07/DF1.L07" ] && [ -f "$HOME/archive/L07/DF2.L07" ] || fail "the DF files were not written"
grep -q '"file":"MA1.L01","output":"MA1.L07","result":"OK"' "$work/out" || fail "the find example did not convert MA1.L01"
grep -q 'MA9' "$work/out" && fail "the find example walked into a subfolder"
[ ! -e "$HOME/archive/L07/MA1.L07" ] || fail "the undo example left MA1.L07"
[ ! -e "$work/~" ] || fail "an example made a folder named ~"

# The scheduled example again, with nothing newer than the stamp: nothing
# may be converted (an empty list is no list of every file).
again=$(awk '/^\.EX/ {ex = 1; block = ""; next} /^\.EE/ {if (block ~ /-newer/) print block; ex = 0; next}
             ex {block = block $0 "\n"}' "$page" |
        sed -e 's/\\-/-/g' -e 's/\\e/\\/g' -e "s|/media/\$USER/STICK|$stick|g")
[ -n "$again" ] || fail "no -newer example in $page"
(cd "$work" && bash -euo pipefail -c "$again") > "$work/again" 2>&1 || { cat "$work/again" >&2; fail "the example failed again"; }
grep -q '"result"' "$work/again" && fail "the find example converted files with nothing newer than the stamp"
[ ! -e "$HOME/archive/L07/MA1.L07" ] || fail "the find example converted MA1.L01 again"
echo "man_examples: every example of $(basename "$page") ran as typed"
