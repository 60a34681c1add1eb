#!/usr/bin/env bash
# Installs the Debian packages that a task needs and are missing; does nothing
# (and needs no network) when all are present. Used by `make run`,
# `make test` and `.ci/run`.
#   usage: tools/setup.sh run     what building and running the engine needs
#          tools/setup.sh test    that, and what the tests need and drive
set -euo pipefail

# One line per package: the Debian package, then how to tell it is present
# (command:NAME is a program on PATH, file:PATH a file). A tool that a test
# drives goes into the test list.
run_packages=(
  "cmake        command:cmake"
  "g++          command:g++"
  "make         command:make"
)
test_packages=(
  "libgtest-dev file:/usr/include/gtest/gtest.h"
  "polyglot     file:/usr/games/polyglot"
)

present() {
  case $1 in
    command:*) command -v "${1#command:}" >/dev/null 2>&1 ;;
    file:*) [ -e "${1#file:}" ] ;;
    *) echo "setup: unknown check '$1'" >&2; return 1 ;;
  esac
}

case ${1:-test} in
  run) wanted=("${run_packages[@]}") ;;
  test) wanted=("${run_packages[@]}" "${test_packages[@]}") ;;
  *) echo "usage: $0 run|test" >&2; exit 2 ;;
esac

missing=()
for entry in "${wanted[@]}"; do
  read -r package check <<<"$entry"
  present "$check" || missing+=("$package")
done
[ ${#missing[@]} -eq 0 ] && exit 0

echo "setup: installing ${missing[*]}" >&2
sudo=()
if [ "$(id -u)" -ne 0 ]; then
  command -v sudo >/dev/null || { echo "setup: need root or sudo to install ${missing[*]}" >&2; exit 1; }
  sudo=(sudo)
fi
"${sudo[@]}" apt-get update -qq
"${sudo[@]}" env DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends "${missing[@]}"
