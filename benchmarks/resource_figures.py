#!/usr/bin/env python3
"""Prints the resource figures of the real game running in a pseudo-terminal.

Figures, not assertions: the time from start to the title screen, the processor time used over
a stretch of play, the peak resident memory, and the frame periods seen on the terminal.

Usage: benchmarks/resource_figures.py [path/to/brickstorm] [seconds of play, default 20] [level file]...
"""
import fcntl
import os
import pty
import select
import signal
import statistics
import struct
import sys
import termios
import time

COLUMNS, LINES = 91, 61
FRAME_START = b"\x1b[?2026h"  # every picture the game sends opens with this marker
TITLE_PROMPT = b"- Press any key to continue -"
TICKS_PER_SECOND = os.sysconf("SC_CLK_TCK")


def spawn(binary, levels):
    """Starts the game on a new pseudo-terminal of the game's size; returns (pid, master fd)."""
    pid, master = pty.fork()
    if pid == 0:
        os.execv(binary, [binary, *levels])
    fcntl.ioctl(master, termios.TIOCSWINSZ, struct.pack("HHHH", LINES, COLUMNS, 0, 0))
    return pid, master


def read_until(master, needle, deadline, log):
    """Reads output, with arrival times, until `needle` has appeared or the deadline passes."""
    seen = b""
    while time.monotonic() < deadline:
        ready, _, _ = select.select([master], [], [], 0.05)
        if not ready:
            continue
        chunk = os.read(master, 65536)
        log.append((time.monotonic(), chunk))
        seen += chunk
        if needle in seen:
            return True
    return False


def processor_seconds(pid):
    with open(f"/proc/{pid}/stat") as stat:
        fields = stat.read().rsplit(")", 1)[1].split()
    return (int(fields[11]) + int(fields[12])) / TICKS_PER_SECOND  # utime + stime


def peak_resident_kib(pid):
    with open(f"/proc/{pid}/status") as status:
        for line in status:
            if line.startswith("VmHWM:"):
                return int(line.split()[1])
    return 0


def frame_times(log):
    times = []
    for arrival, chunk in log:
        times.extend([arrival] * chunk.count(FRAME_START))
    return times


def deviation_figures(times, period):
    deviations = sorted(abs((b - a) - period) * 1000 for a, b in zip(times, times[1:]))
    if not deviations:
        return "no periods seen"
    p99 = deviations[min(len(deviations) - 1, int(len(deviations) * 0.99))]
    return f"median {statistics.median(deviations):.2f} ms, p99 {p99:.2f} ms over {len(deviations)} periods"


def main():
    binary = sys.argv[1] if len(sys.argv) > 1 else "build/release/brickstorm"
    seconds = float(sys.argv[2]) if len(sys.argv) > 2 else 20.0
    levels = sys.argv[3:]
    started = time.monotonic()
    pid, master = spawn(binary, levels)
    log = []
    try:
        if not read_until(master, TITLE_PROMPT, started + 10, log):
            print("the title screen did not appear within 10 s")
            return 1
        print(f"start to title screen: {(time.monotonic() - started) * 1000:.1f} ms")

        os.write(master, b"x")
        read_until(master, b"LEVEL 1", time.monotonic() + 5, log)
        os.write(master, b"x")
        log.clear()
        cpu_before = processor_seconds(pid)
        play_started = time.monotonic()
        # A player who turns and steps now and then; a death only leads back to the level.
        moves = b"awdwswdasxx"
        next_key = 0
        while time.monotonic() - play_started < seconds:
            read_until(master, b"\x00never", time.monotonic() + 0.25, log)
            os.write(master, moves[next_key:next_key + 1])
            next_key = (next_key + 1) % len(moves)
        elapsed = time.monotonic() - play_started
        cpu = processor_seconds(pid) - cpu_before
        print(f"processor time over {elapsed:.1f} s of play: {cpu:.2f} s ({cpu / elapsed * 100:.2f} % of one core)")
        print(f"peak resident memory: {peak_resident_kib(pid) / 1024:.2f} MiB")
        print(f"frame period deviation from 100 ms on the terminal: {deviation_figures(frame_times(log), 0.1)}")
    finally:
        os.kill(pid, signal.SIGTERM)
        os.waitpid(pid, 0)
        os.close(master)
    return 0


if __name__ == "__main__":
    sys.exit(main())
