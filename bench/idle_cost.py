#!/usr/bin/env python3
"""What the running program costs while nobody touches it: CPU, wake-ups, file-system calls and
the modem-line calls of the real driver, with and without eight outputs strobing.

Runs the application itself (windowed on the offscreen platform), once on the simulated board
and once on the real driver over a pseudo-terminal whose modem lines the shim answers, each
under perf stat (context switches = wake-ups, task clock = CPU) and then under strace (the
calls counted by the kernel, so the figures do not depend on how loaded the machine is).

    bench/idle_cost.py BUILD/app/kestrum BUILD/tests/libkestrum_modem_lines_shim.so [seconds]

Several binaries may be given as a comma-separated list, to measure before and after in one run.
"""
import os
import pty
import re
import subprocess
import sys
import tempfile
import threading
import time

WARM_UP_SECONDS = 4

FILE_CALLS = "newfstatat,statx,stat,lstat,openat,unlink,unlinkat,fsync,fdatasync,write,rename"


def make_home(folder, binary, device, strobing):
    for sub in ("cfg", "data", "run"):
        os.makedirs(os.path.join(folder, sub), mode=0o700, exist_ok=True)
    env = {
        **os.environ,
        "XDG_CONFIG_HOME": os.path.join(folder, "cfg"),
        "XDG_DATA_HOME": os.path.join(folder, "data"),
        "XDG_RUNTIME_DIR": os.path.join(folder, "run"),
        "QT_QPA_PLATFORM": "offscreen",
    }
    # A first start completes the settings (headless, so no question waits for an answer); the
    # measured start then finds a store of a program in use.
    subprocess.run(["timeout", "-s", "TERM", "2", binary, "--headless", "--simulate"], env=env,
                   stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL, check=False)
    ini = os.path.join(folder, "cfg", "KaugVool", "KaugVool.ini")
    text = open(ini, encoding="utf-8").read()
    for n in range(1, 9):
        text = text.replace("Mode%%20%d=0" % n, "Mode%%20%d=%d" % (n, 1 if strobing else 0))
        text = re.sub(r"StroboSees%%20%d=\d+" % n, "StroboSees%%20%d=%d" % (n, 100 + 10 * n), text)
    if device:
        text += "\n[Pordid]\nPort%201=" + device + "\n"
    with open(ini, "w", encoding="utf-8") as out:
        out.write(text)
    return env


def drain(master, stop):
    while not stop.is_set():
        try:
            os.read(master, 4096)
        except OSError:
            return


def run_once(binary, shim, seconds, real, strobing, tool):
    with tempfile.TemporaryDirectory(prefix="kestrum-idle-") as folder:
        master = None
        device = None
        if real:
            master, slave = pty.openpty()
            device = os.path.join(folder, "port")
            os.symlink(os.ttyname(slave), device)
            os.close(slave)
        env = make_home(folder, binary, device, strobing)
        report = os.path.join(folder, "lines.txt")
        if real:
            env = {**env, "LD_PRELOAD": shim}
            env["KESTRUM_MODEM_LINES_DEVICE"] = device
            env["KESTRUM_MODEM_LINES_REPORT"] = report
        out = os.path.join(folder, "tool.txt")
        stop = threading.Event()
        reader = threading.Thread(target=drain, args=(master, stop)) if real else None
        if reader:
            reader.start()
        program = subprocess.Popen([binary] + ([] if real else ["--simulate"]), env=env,
                                   stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        # Measured from a few seconds after the start, so that the start's own work is left out.
        time.sleep(WARM_UP_SECONDS)
        if tool == "perf":
            command = ["perf", "stat", "-x,", "-o", out, "-e", "context-switches,task-clock"]
        else:
            command = ["strace", "-f", "-c", "-o", out, "-e", "trace=" + FILE_CALLS + ",ioctl"]
        # The modem-line shim answers from inside the process; strace counts the kernel's calls.
        subprocess.run(["timeout", "-s", "INT", str(seconds)] + command +
                       ["-p", str(program.pid)], stdout=subprocess.DEVNULL,
                       stderr=subprocess.DEVNULL, check=False)
        program.terminate()
        program.wait()
        stop.set()
        if master is not None:
            os.close(master)
        if reader:
            reader.join()
        figures = {}
        text = open(out, encoding="utf-8").read()
        if tool == "perf":
            for line in text.splitlines():
                fields = line.split(",")
                if len(fields) > 2 and fields[2] == "context-switches":
                    figures["wake-ups/s"] = float(fields[0]) / seconds
                if len(fields) > 2 and fields[2] == "task-clock":
                    figures["% of a core"] = float(fields[0]) / (seconds * 10.0)
        else:
            for line in text.splitlines():
                match = re.match(r"\s*[\d.]+\s+[\d.]+\s+\d+\s+(\d+)\s+(?:\d+\s+)?(\w+)$", line)
                if match and match.group(2) != "total":
                    figures[match.group(2) + "/min"] = int(match.group(1)) * 60.0 / seconds
        if real and os.path.exists(report):
            counts = dict(l.split() for l in open(report).read().splitlines()[:3])
            opens = max(1, int(counts["opens"]))
            calls = int(counts["reads"]) + int(counts["writes"])
            figures["modem-line calls per open"] = calls / opens
            figures["line changes"] = sum(1 for l in open(report) if l.startswith("l "))
        return figures


def main():
    binaries = sys.argv[1].split(",")
    shim = os.path.abspath(sys.argv[2])
    seconds = int(sys.argv[3]) if len(sys.argv) > 3 else 60
    for real in (False, True):
        for strobing in (False, True):
            title = ("real driver on a pty" if real else "simulated board") + (
                ", eight outputs strobing" if strobing else ", idle")
            print("==", title, "(%d s)" % seconds)
            for binary in binaries:
                figures = {}
                for tool in ("perf", "strace"):
                    figures.update(run_once(binary, shim, seconds, real, strobing, tool))
                print("  " + binary)
                for key in sorted(figures):
                    print("    %-28s %10.1f" % (key, figures[key]))
            sys.stdout.flush()


if __name__ == "__main__":
    main()
