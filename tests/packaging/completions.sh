#!/usr/bin/env bash
# completions.sh SOURCE_DIR: rekoda-cli's completions offer what a user
# reaches for: the options, --family's values, folders after --from and
# --to, and after them the files of the source folder. bash and fish are
# asked as a shell would ask them; zsh's file must at least parse.
set -euo pipefail
completions=$1/packaging/completions
fail() { echo "completions: $*" >&2; exit 1; }
work=$(mktemp -d) bin=$(mktemp -d)
trap 'rm -rf "$work" "$bin"' EXIT
mkdir -p "$work/in" "$work/out"
touch "$work/in/DF1.L01" "$work/in/DF2.L01" "$work/DF9.elsewhere"
# The program as the completions call it for run IDs: two runs to undo.
printf '#!/bin/sh\n[ "$1" = --list-runs ] && printf "20261209-150102\\t2026-12-09T15:01:02\\tDF\\tK22\\t/o\\t3\\tnot undone\\n20261208-090000\\t2026-12-08T09:00:00\\tMA\\tL07\\t/o\\t1\\tundone\\n"\n' >"$bin/rekoda-cli"
chmod +x "$bin/rekoda-cli"
export PATH="$bin:$PATH"
cd "$work"
checked=0

expect() {  # expect WHAT GOT WANTED
  [ "$2" = "$3" ] || fail "$1: got [$2], wanted [$3]"
}

if [ -f /usr/share/bash-completion/bash_completion ]; then
  bash_complete() {
    bash -c '
      source /usr/share/bash-completion/bash_completion
      source "$0"
      compopt() { :; }  # no real completion in progress
      COMP_WORDS=("${@:1}"); COMP_CWORD=$(($# - 1)); COMP_LINE="$*"; COMP_LINE=${COMP_LINE// = /=}; COMP_POINT=${#COMP_LINE}
      _rekoda_cli rekoda-cli "${COMP_WORDS[-1]}" "${COMP_WORDS[-2]}"
      printf "%s\n" "${COMPREPLY[@]}" | sort | tr "\n" " "' "$completions/rekoda-cli.bash" "$@"
  }
  expect "bash: --family" "$(bash_complete rekoda-cli --family '')" "df ma "
  expect "bash: options" "$(bash_complete rekoda-cli --fr)" "--from= "
  for option in -n --dry-run -V --undo=; do
    [[ " $(bash_complete rekoda-cli -) " == *" $option "* ]] || fail "bash: $option is not offered"
  done
  expect "bash: --from" "$(bash_complete rekoda-cli --from '')" "in out "
  expect "bash: names" "$(bash_complete rekoda-cli --from in --to out DF)" "DF1.L01 DF2.L01 "
  touch in/-DFdash.L01
  expect "bash: a name like an option" "$(bash_complete rekoda-cli --from in --to out '')" "./-DFdash.L01 DF1.L01 DF2.L01 "
  expect "bash: after --" "$(bash_complete rekoda-cli --from in --to out -- '')" "-DFdash.L01 DF1.L01 DF2.L01 "
  rm in/-DFdash.L01
  expect "bash: --undo=" "$(bash_complete rekoda-cli --undo = '')" "20261208-090000 20261209-150102 "
  expect "bash: --locations" "$(bash_complete rekoda-cli --locations DF9)" "DF9.elsewhere "
  checked=$((checked + 1))
fi

if command -v fish >/dev/null; then
  fish_complete() {
    fish -N -c "source '$completions/rekoda-cli.fish'; complete -C '$1'" | cut -f1 | sort | tr '\n' ' '
  }
  expect "fish: --family" "$(fish_complete 'rekoda-cli --family ')" "df ma "
  expect "fish: names" "$(fish_complete 'rekoda-cli --from in --to out DF')" "DF1.L01 DF2.L01 "
  touch in/-DFdash.L01
  expect "fish: a name like an option" "$(fish_complete 'rekoda-cli --from in --to out ./-')" "./-DFdash.L01 "
  rm in/-DFdash.L01
  expect "fish: --undo " "$(fish_complete 'rekoda-cli --undo ')" "20261208-090000 20261209-150102 "
  expect "fish: --undo=" "$(fish_complete 'rekoda-cli --undo=')" "--undo=20261208-090000 --undo=20261209-150102 "
  for option in -n --dry-run -V; do
    [[ " $(fish_complete 'rekoda-cli -') " == *" $option "* ]] || fail "fish: $option is not offered"
  done
  checked=$((checked + 1))
fi

if command -v zsh >/dev/null; then
  zsh -n "$completions/_rekoda-cli" || fail "zsh: the completion does not parse"
  checked=$((checked + 1))
fi

[ "$checked" -gt 0 ] || { echo "completions: no bash-completion, fish or zsh here"; exit 77; }
echo "completions: $checked shells offer what they should"
