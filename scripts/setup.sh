#!/usr/bin/env bash
# Installs from Debian's packages whatever the build and the tests need and
# this machine lacks. Safe to run again: it installs nothing that is there.
set -euo pipefail

packages=(cmake g++ make qt6-base-dev libgtest-dev
          # the window's translations: lupdate and lrelease, and Qt's own
          # translations of its standard dialogs
          qt6-tools-dev qt6-l10n-tools qt6-translations-l10n
          # the fuzz targets: clang with its sanitizer and libFuzzer runtimes;
          # scripts/lint.sh: clang-tidy
          clang libclang-rt-dev clang-tidy
          # the fault tests: chattr for a folder even root cannot write,
          # and a Turkish locale for the upper-casing test
          e2fsprogs locales
          # the manual pages' lint, and the shells whose completions are tested
          mandoc bash-completion zsh fish)

sudo=""
if [ "$(id -u)" -ne 0 ] && command -v sudo >/dev/null; then sudo="sudo"; fi
ensure_locale() {
  locale -a 2>/dev/null | grep -qi '^tr_TR.utf8$' && return 0
  $sudo localedef -i tr_TR -f UTF-8 tr_TR.UTF-8 2>/dev/null || echo "setup: no tr_TR.UTF-8 locale; its test will skip"
}

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if [ ${#missing[@]} -eq 0 ]; then
  ensure_locale
  exit 0
fi

if [ "$(id -u)" -ne 0 ]; then
  command -v sudo >/dev/null || { echo "setup: need root or sudo to install: ${missing[*]}" >&2; exit 1; }
  sudo="sudo"
fi
echo "setup: installing ${missing[*]}"
$sudo env DEBIAN_FRONTEND=noninteractive apt-get update -qq
$sudo env DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends "${missing[@]}"
ensure_locale
