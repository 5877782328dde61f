#!/bin/sh
# The package as a user gets it: `cmake --install` and the .deb both install into temporary roots,
# hold the same files, and what they install works: the viewer checks the example document, the
# manual pages render without a warning, the bash completion completes, and lintian (when it is
# installed) reports neither an error nor a warning.
# Usage: check_package.sh BUILD_FOLDER
set -eu
build=$1
root=$(mktemp -d)
trap 'rm -rf "$root"' EXIT
fail() {
  echo "check_package: $*" >&2
  exit 1
}

DESTDIR="$root/install" cmake --install "$build" --prefix /usr >/dev/null
cpack --config "$build/CPackConfig.cmake" -B "$root/package" >/dev/null 2>&1 ||
  fail "cpack could not make the package"
set -- "$root"/package/quillmesh-terminal_*.deb
[ $# -eq 1 ] && [ -f "$1" ] || fail "cpack made no single .deb"
deb=$1

depends=$(dpkg-deb --field "$deb" Depends)
for library in libfmt libsimdjson libutf8proc libstdc++6; do
  case $depends in
    *"$library"*) ;;
    *) fail "the package does not depend on $library: $depends" ;;
  esac
done
dpkg-deb -x "$deb" "$root/deb"

if command -v lintian >/dev/null; then
  # Run as root, lintian says so on standard error; that is not a finding.
  findings=$(lintian --fail-on error,warning "$deb" 2>/dev/null) ||
    fail "lintian rejects the package: $findings"
  case $findings in
    E:* | W:* | *"
"[EW]:*) fail "lintian reports: $findings" ;;
  esac
fi

listing() { (cd "$1" && find . -type f | sort); }
[ "$(listing "$root/deb")" = "$(listing "$root/install")" ] ||
  fail "the .deb and cmake --install hold different files"

usr="$root/deb/usr"
example="$usr/share/doc/quillmesh-terminal/examples/demo-session.json"
output=$("$usr/bin/quillmesh-terminal" --check-session "$example" 2>&1) ||
  fail "the installed viewer refused the example: $output"
output=$("$usr/bin/quillmesh-terminal" --session "$example" --print health 2>&1) ||
  fail "the installed viewer cannot print the example: $output"
case $output in
  "Health "*) ;;
  *) fail "the installed viewer printed no Health view: $output" ;;
esac
"$usr/bin/quillmesh-demo-backend" --help >/dev/null || fail "the installed demo backend fails --help"

for page in quillmesh-terminal quillmesh-demo-backend; do
  warnings=$(MANWIDTH=80 man --warnings -l "$usr/share/man/man1/$page.1.gz" 2>&1 >/dev/null) ||
    fail "man cannot render $page.1"
  [ -z "$warnings" ] || fail "man warns about $page.1: $warnings"
done

completion="$usr/share/bash-completion/completions/quillmesh-terminal"
complete_words() {
  bash -c '. "$1"; shift; COMP_WORDS=("$@"); COMP_CWORD=$(($# - 1)); _quillmesh_terminal
           printf "%s\n" "${COMPREPLY[@]}"' completion "$completion" "$@"
}
[ "$(complete_words quillmesh-terminal --ses)" = "--session" ] ||
  fail "the completion does not complete --ses to --session"
[ "$(complete_words quillmesh-terminal --session x --print to)" = "topics" ] ||
  fail "the completion does not complete a view name after --print"
[ "$(complete_words quillmesh-terminal --session "${example%-session.json}")" = "$example" ] ||
  fail "the completion does not complete a path after --session"
echo "check_package: $(basename "$deb") installs and works"
