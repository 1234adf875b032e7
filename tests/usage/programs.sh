#!/bin/sh
# The installed programs answer --help and --version without a display and without
# opening anything, with exit status 0; a stream that cannot take the text gives 1.
# usage: programs.sh VANTEL VANTEL_SIM VANTEL_CLI   (VANTEL may be "-" when the window is not
# built)
set -u
vantel=$1 sim=$2 cli=$3
fail=0
check() { # WHAT STATUS WANTED OUTPUT PATTERN
  if [ "$2" != "$3" ] || ! printf '%s' "$4" | grep -q -- "$5"; then
    echo "FAIL: $1: status $2 (wanted $3)"; printf '%s\n' "$4" | head -5; fail=1
  else
    echo "ok: $1"
  fi
}
run() { out=$(env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM "$@" 2>&1); status=$?; }

if [ "$vantel" != "-" ]; then
  run "$vantel" --help;            check "vantel --help" $status 0 "$out" "^Usage: vantel "
  run "$vantel" DEUTSCH --help;    check "vantel DEUTSCH --help" $status 0 "$out" "VANTEL_COM1"
  run "$vantel" --version;         check "vantel --version" $status 0 "$out" "GPL-3.0-or-later"
  run "$vantel" -h;                check "vantel -h" $status 0 "$out" "Exit status:"
  run sh -c "'$vantel' --help >/dev/full"; check "vantel --help >/dev/full" $status 1 "x" "x"
fi
run "$sim" --help;                 check "vantel-sim --help" $status 0 "$out" "^Usage: vantel-sim "
run "$sim" --version;              check "vantel-sim --version" $status 0 "$out" "(VANTEL-9 Setup)"
run "$sim" --no-such-option;       check "vantel-sim --no-such-option" $status 2 "$out" "Try 'vantel-sim --help'"
run "$sim" --version 66;           check "vantel-sim --version 66" $status 0 "$out" "(VANTEL-9 Setup)"
run "$sim" --layout-version 300;   check "vantel-sim --layout-version 300" $status 2 "$out" "0..255"
run "$cli" --help;                 check "vantel-cli --help" $status 0 "$out" "^Usage: vantel-cli "
run "$cli" --version;              check "vantel-cli --version" $status 0 "$out" "(VANTEL-9 Setup)"
run "$cli" -p 1 --help read;       check "vantel-cli -p 1 --help read" $status 0 "$out" "Exit status:"
run sh -c "'$cli' --help >/dev/full"; check "vantel-cli --help >/dev/full" $status 1 "x" "x"

[ $fail -eq 0 ] && echo "all passed"
exit $fail
