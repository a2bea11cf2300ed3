#!/usr/bin/env bash
# Installs kavor into a temporary DESTDIR the way a user or a package build would, checks
# that what was installed works (the binary, the man page), and that uninstalling removes
# every file again.
#   install_test.sh <source folder> <build folder holding kavor>
set -euo pipefail
source_dir=$1
build_dir=$2
stage=$(mktemp -d /tmp/kavor_install_XXXXXX)
trap 'rm -rf "$stage" "$stage.log"' EXIT
fail() { echo "FAIL: $*"; exit 1; }

# Run as a test under `make test`, whose jobserver this make must not try to join.
# What make and CMake print is shown only when they fail.
run_make() {
  env -u MAKEFLAGS -u MFLAGS -u MAKELEVEL make -s -C "$source_dir" BUILD="$build_dir" \
    DESTDIR="$stage" PREFIX=/opt/kavor "$@" >"$stage.log" 2>&1 || { cat "$stage.log"; fail "make $*"; }
}

run_make install
prefix=$stage/opt/kavor
for file in bin/kavor share/man/man1/kavor.1 share/vim/vimfiles/syntax/kavor.vim \
            share/vim/vimfiles/ftdetect/kavor.vim share/kavor/kavor.tmLanguage.json; do
  [ -f "$prefix/$file" ] || fail "$file was not installed"
done
[ -x "$prefix/bin/kavor" ] || fail "bin/kavor is not executable"

output=$(echo 'outl(6 * 7)' | "$prefix/bin/kavor" /dev/stdin)
[ "$output" = 42 ] || fail "the installed kavor printed '$output'"

# The man page renders without a warning and names every option the usage lists.
if command -v man >/dev/null; then
  warnings=$(MANWIDTH=80 man --warnings -l "$prefix/share/man/man1/kavor.1" 2>&1 >/dev/null)
  [ -z "$warnings" ] || fail "the man page renders with warnings: $warnings"
fi
options=$({ "$prefix/bin/kavor" || true; } | sed -n 's/^\(-[A-Za-z]*\) .*/\1/p')
[ -n "$options" ] || fail "the usage lists no options"
for option in $options; do
  grep -qE -- "^\.BI? \\\\${option}( |$)" "$prefix/share/man/man1/kavor.1" ||
    fail "the man page does not describe the option $option"
done

run_make uninstall
left=$(find "$stage" -type f)
[ -z "$left" ] || fail "uninstall left files behind: $left"
echo "installed, checked and uninstalled"
