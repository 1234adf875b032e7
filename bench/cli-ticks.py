#!/usr/bin/env python3
"""Ticks of vantel-cli's passes next to the window engine's, against vantel-sim.

Runs vantel-cli read, verify and program --json PASSES times each against one simulated
unit and vantel-bench (the window's engine) for as many passes, and prints both: ticks from
the command to the end of each pass, the least the tick rules allow, and the ticks beyond
it. The window's first send waits 1 to 4 ticks (where in its monitor cadence the command
falls), the tool's always 4 (it starts with a fresh engine); after the first send both must
take the same ticks. Figures for reading, not a test.

usage: bench/cli-ticks.py [--build DIR] [--passes N]
"""
import argparse
import json
import os
import statistics
import subprocess
import sys
import tempfile

# Block frames of each pass without resends.
FRAMES = {"read": 3, "verify": 1, "program": 3}
FIRST_SEND = 4  # ticks from the command to the first send of a fresh engine


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--build", default="build")
    parser.add_argument("--passes", type=int, default=10)
    args = parser.parse_args()
    cli = os.path.join(args.build, "tools/vantel-cli/vantel-cli")
    sim_program = os.path.join(args.build, "tools/vantel-sim/vantel-sim")
    bench = os.path.join(args.build, "bench/vantel-bench")
    for program in (cli, sim_program, bench):
        if not os.access(program, os.X_OK):
            sys.exit(f"cli-ticks: {program} is not built")

    sim = subprocess.Popen([sim_program, "--exit-on-stdin-eof"], stdin=subprocess.PIPE,
                           stdout=subprocess.PIPE, text=True)
    port = sim.stdout.readline().strip()
    figures = {name: {"ticks": [], "fail": 0} for name in FRAMES}
    store = []
    with tempfile.TemporaryDirectory() as home:
        env = dict(os.environ, VANTEL_HOME=home)
        record = os.path.join(home, "unit.ign")
        for _ in range(args.passes):
            for name, extra in (("read", ["-o", record]), ("verify", [record]),
                                ("program", [record])):
                run = subprocess.run([cli, "-p", port, "--json", name] + extra, env=env,
                                     capture_output=True, text=True)
                result = json.loads(run.stdout) if run.stdout.startswith("{") else {}
                if run.returncode != 0 or "ticks" not in result:
                    figures[name]["fail"] += 1
                    continue
                figures[name]["ticks"].append(result["ticks"])
                if name == "program":
                    store.append(result["store_ticks"])
    sim.stdin.close()
    sim.wait()

    window = subprocess.run([bench, "--passes", str(args.passes), "--sim", sim_program],
                            capture_output=True, text=True)
    rows = {}
    for line in window.stdout.splitlines():
        cells = line.split()
        if cells and cells[0] in ("Read", "Verify", "Program") and len(cells) >= 4:
            try:
                rows[cells[0].lower()] = (float(cells[2]), float(cells[3]))
            except ValueError:
                pass

    print(f"cli-ticks: {args.passes} passes each against {sim_program}, tick 55 ms")
    print(f"{'pass':8} {'who':7} {'ticks':>7} {'least':>7} {'beyond':>7} {'max':>5} {'fail':>5}")
    for name, frames in FRAMES.items():
        f = figures[name]
        least = FIRST_SEND + frames
        if f["ticks"]:
            mean = statistics.mean(f["ticks"])
            print(f"{name:8} {'cli':7} {mean:7.2f} {least:7d} {mean - least:7.2f} "
                  f"{max(f['ticks']):5d} {f['fail']:5d}")
        else:
            print(f"{name:8} {'cli':7} no pass completed ({f['fail']} failed)")
        if name in rows:
            ticks, wleast = rows[name]
            print(f"{name:8} {'window':7} {ticks:7.2f} {wleast:7.2f} {ticks - wleast:7.2f}")
    if store:
        print(f"storing  cli     {statistics.mean(store):7.2f} ticks until \"Programing: OK\"")
    print("\nThe window engine's own table (vantel-bench):")
    print(window.stdout, end="")
    return 0 if all(f["fail"] == 0 for f in figures.values()) else 1


if __name__ == "__main__":
    sys.exit(main())
