#!/usr/bin/env bash
# Installs what is missing, builds the program and starts it connected to the simulated
# unit on every Com item (1 to 10), so it finds the unit whichever item was chosen last.
# Closing the program ends the simulator.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/setup.sh
build=${VANTEL_RUN_BUILD:-build}
cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build "$build" -j "$(nproc)" --target vantel vantel-sim vantel-manuals

# The simulator prints its pseudo-terminal and lives as long as its standard input.
sim_out=$(mktemp)
exec 3> >("$build/tools/vantel-sim/vantel-sim" --exit-on-stdin-eof > "$sim_out")
for _ in $(seq 50); do [ -s "$sim_out" ] && break; sleep 0.1; done
port=$(head -n 1 "$sim_out")
rm -f "$sim_out"
echo "Simulated unit on $port (every Com item)"
for n in $(seq 1 10); do export "VANTEL_COM$n=$port"; done

launch=()
if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ]; then
  echo "No display found: starting under xvfb-run."
  launch=(xvfb-run -a -s "-screen 0 1280x1024x24")
fi
status=0
"${launch[@]}" "$build/src/app/vantel" "$@" || status=$?
exec 3>&-
exit $status
