#!/usr/bin/env python3
"""Start-up cost of the program against a bare Qt main window of the same size.

Starts its own X server (Xvfb, no window manager) and the simulated unit, then starts the
program and bench/bare-window alternately, each time measuring the time from the start of
the process to the mapping of its first window, and the process's peak memory (VmHWM)
shortly after. Prints the medians and their ratios. Figures for information; run by hand:

    bench/startup.py [--runs N] [--build DIR]
"""
import argparse
import ctypes
import ctypes.util
import os
import select
import shutil
import statistics
import subprocess
import sys
import tempfile
import time

HERE = os.path.dirname(os.path.abspath(__file__))
SOURCE = os.path.dirname(HERE)

SUBSTRUCTURE_NOTIFY_MASK = 1 << 19
MAP_NOTIFY = 19


class XServer:
    """A private Xvfb and a connection that sees every top-level window being mapped."""

    def __init__(self):
        read_end, write_end = os.pipe()
        self.process = subprocess.Popen(
            ["Xvfb", "-displayfd", str(write_end), "-screen", "0", "1920x1080x24", "-nolisten", "tcp"],
            pass_fds=[write_end], stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        os.close(write_end)
        number = b""
        while not number.endswith(b"\n"):
            chunk = os.read(read_end, 16)
            if not chunk:
                raise SystemExit("Xvfb did not start")
            number += chunk
        os.close(read_end)
        self.display_name = ":" + number.decode().strip()
        x11 = ctypes.CDLL(ctypes.util.find_library("X11"))
        x11.XOpenDisplay.restype = ctypes.c_void_p
        x11.XOpenDisplay.argtypes = [ctypes.c_char_p]
        x11.XDefaultRootWindow.restype = ctypes.c_ulong
        x11.XDefaultRootWindow.argtypes = [ctypes.c_void_p]
        x11.XSelectInput.argtypes = [ctypes.c_void_p, ctypes.c_ulong, ctypes.c_long]
        x11.XPending.argtypes = [ctypes.c_void_p]
        x11.XNextEvent.argtypes = [ctypes.c_void_p, ctypes.c_void_p]
        x11.XConnectionNumber.argtypes = [ctypes.c_void_p]
        x11.XFlush.argtypes = [ctypes.c_void_p]
        x11.XGetGeometry.argtypes = [ctypes.c_void_p, ctypes.c_ulong] + [ctypes.c_void_p] * 7
        self.x11 = x11
        self.display = x11.XOpenDisplay(self.display_name.encode())
        if not self.display:
            raise SystemExit("cannot connect to " + self.display_name)
        x11.XSelectInput(self.display, x11.XDefaultRootWindow(self.display), SUBSTRUCTURE_NOTIFY_MASK)
        x11.XFlush(self.display)
        self.fd = x11.XConnectionNumber(self.display)
        self.event = ctypes.create_string_buffer(192)

    def drain(self):
        while self.x11.XPending(self.display):
            self.x11.XNextEvent(self.display, self.event)

    def wait_for_map(self, timeout):
        """Seconds on the monotonic clock when a top-level window was mapped, and its size."""
        deadline = time.monotonic() + timeout
        while True:
            while self.x11.XPending(self.display):
                self.x11.XNextEvent(self.display, self.event)
                raw = self.event.raw
                kind = int.from_bytes(raw[0:4], "little")
                override_redirect = int.from_bytes(raw[48:52], "little")
                if kind == MAP_NOTIFY and not override_redirect:
                    mapped = time.monotonic()
                    window = int.from_bytes(raw[40:48], "little")
                    return mapped, self.size_of(window)
            left = deadline - time.monotonic()
            if left <= 0:
                return None, None
            select.select([self.fd], [], [], left)

    def size_of(self, window):
        root = ctypes.c_ulong()
        x, y = ctypes.c_int(), ctypes.c_int()
        width, height, border, depth = (ctypes.c_uint() for _ in range(4))
        self.x11.XGetGeometry(self.display, window, ctypes.byref(root), ctypes.byref(x), ctypes.byref(y),
                              ctypes.byref(width), ctypes.byref(height), ctypes.byref(border),
                              ctypes.byref(depth))
        return width.value, height.value

    def close(self):
        self.process.terminate()
        self.process.wait()


def peak_memory_kib(pid):
    with open(f"/proc/{pid}/status") as status:
        for line in status:
            if line.startswith("VmHWM:"):
                return int(line.split()[1])
    return 0


def measure(server, command, environment, settle):
    server.drain()
    started = time.monotonic()
    process = subprocess.Popen(command, env=environment, stdout=subprocess.DEVNULL,
                               stderr=subprocess.DEVNULL)
    mapped, size = server.wait_for_map(20)
    try:
        if mapped is None:
            raise SystemExit("no window from " + " ".join(command))
        time.sleep(settle)
        return (mapped - started) * 1000.0, peak_memory_kib(process.pid), size
    finally:
        process.terminate()
        process.wait()


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--runs", type=int, default=15, help="starts of each (default 15)")
    parser.add_argument("--build", default=os.path.join(SOURCE, "build-bench"),
                        help="build directory, configured as Release when new (default build-bench)")
    parser.add_argument("--settle", type=float, default=0.5,
                        help="seconds after the window appears before the memory is read")
    parser.add_argument("--window-manager", default="",
                        help="a window manager to run on the server, for example openbox")
    options = parser.parse_args()
    for tool in ("Xvfb", "cmake"):
        if shutil.which(tool) is None:
            raise SystemExit(tool + " is needed")

    if not os.path.exists(os.path.join(options.build, "CMakeCache.txt")):
        subprocess.run(["cmake", "-S", SOURCE, "-B", options.build, "-G", "Ninja",
                        "-DCMAKE_BUILD_TYPE=Release"], check=True, stdout=subprocess.DEVNULL)
    subprocess.run(["cmake", "--build", options.build, "--target", "vantel", "vantel-sim", "bare-window"],
                   check=True, stdout=subprocess.DEVNULL)
    program = os.path.join(options.build, "src", "app", "vantel")
    bare = os.path.join(options.build, "bench", "bare-window")
    simulator = os.path.join(options.build, "tools", "vantel-sim", "vantel-sim")

    server = XServer()
    manager = None
    if options.window_manager:
        manager = subprocess.Popen([options.window_manager], env=dict(os.environ, DISPLAY=server.display_name),
                                   stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        time.sleep(1.0)
    home = tempfile.mkdtemp(prefix="vantel-bench-")
    sim = subprocess.Popen([simulator, "--exit-on-stdin-eof"], stdin=subprocess.PIPE,
                           stdout=subprocess.PIPE, text=True)
    try:
        port = sim.stdout.readline().strip()
        environment = dict(os.environ, DISPLAY=server.display_name, QT_QPA_PLATFORM="xcb",
                           VANTEL_HOME=home, VANTEL_COM1=port)
        environment.pop("WAYLAND_DISPLAY", None)
        # One start of each first: caches warm, and the bare window takes the program's size.
        _, _, size = measure(server, [program], environment, options.settle)
        bare_command = [bare, str(size[0]), str(size[1])]
        measure(server, bare_command, environment, options.settle)
        figures = {"program": ([], []), "bare": ([], [])}
        for _ in range(options.runs):
            for name, command in (("program", [program]), ("bare", bare_command)):
                milliseconds, kib, _ = measure(server, command, environment, options.settle)
                figures[name][0].append(milliseconds)
                figures[name][1].append(kib)
    finally:
        sim.stdin.close()
        sim.wait()
        if manager is not None:
            manager.terminate()
            manager.wait()
        server.close()
        shutil.rmtree(home, ignore_errors=True)

    print(f"window {size[0]} x {size[1]}, {options.runs} starts of each, alternately")
    medians = {}
    for name, (times, memories) in figures.items():
        medians[name] = (statistics.median(times), statistics.median(memories))
        print(f"{name:8} first window after {medians[name][0]:7.1f} ms (min {min(times):.1f}, "
              f"max {max(times):.1f}), peak memory {medians[name][1] / 1024:6.1f} MiB")
    print(f"ratio    time {medians['program'][0] / medians['bare'][0]:.2f}, "
          f"memory {medians['program'][1] / medians['bare'][1]:.2f}")


if __name__ == "__main__":
    sys.exit(main())
