#!/usr/bin/env python3
"""Prints what the game's output costs, with only the changed cells sent (monochrome, and coloured
in 24-bit colour, the most bytes per colour change) and with --full-redraw.

Figures, not assertions. The game runs in tmux (the terminal that takes its output in), in a
window of 100 x 62, on level 1, through three stretches: standing still for 10 s (nothing moves
in view), a quarter turn (and back, unmeasured), and, standing still again, the 4 s in which the near enemy walks up in view (from about 21 s into the level;
it reaches the player at about 29 s). For each: the bytes per second the game writes (from
/proc/<pid>/io), and the processor time of the tmux server (the terminal) and of the game, each
as a share of one core.

Usage: benchmarks/output_figures.py [path/to/brickstorm] [seconds standing still, default 10]
"""
import os
import shutil
import subprocess
import sys
import time
from concurrent.futures import ThreadPoolExecutor

COLUMNS, LINES = 100, 62
TICKS_PER_SECOND = os.sysconf("SC_CLK_TCK")
TURN_SECONDS = 1.0  # a quarter turn takes 20 ticks of 50 ms
ENEMY_IN_VIEW = (21.0, 25.0)  # seconds into the level while the near enemy walks up in view


def tmux(socket, *arguments):
    return subprocess.run(["tmux", "-L", socket, *arguments], check=True, capture_output=True,
                          text=True).stdout.strip()


def processor_seconds(pid):
    with open(f"/proc/{pid}/stat") as stat:
        fields = stat.read().rsplit(")", 1)[1].split()
    return (int(fields[11]) + int(fields[12])) / TICKS_PER_SECOND  # utime + stime


def written_bytes(pid):
    with open(f"/proc/{pid}/io") as io:
        for line in io:
            if line.startswith("wchar:"):
                return int(line.split()[1])
    return 0


def sample(game, server):
    return time.monotonic(), written_bytes(game), processor_seconds(server), processor_seconds(game)


def rates(before, after):
    seconds = after[0] - before[0]
    return {
        "bytes": (after[1] - before[1]) / seconds,
        "terminal": (after[2] - before[2]) / seconds,
        "game": (after[3] - before[3]) / seconds,
    }


def measure(binary, options, still_seconds):
    """Plays the stretches in a tmux of its own; returns the rates while still and while turning."""
    # A server of its own for each run: the last one may still be on its way out.
    socket = f"brickstorm-figures-{os.getpid()}-{'-'.join(options) or 'plain'}"
    command = " ".join([binary, *options])
    tmux(socket, "-f", "/dev/null", "new-session", "-d", "-x", str(COLUMNS), "-y", str(LINES),
         "env", "LC_ALL=C.UTF-8", *command.split())
    try:
        server = int(tmux(socket, "display-message", "-p", "#{pid}"))
        game = int(tmux(socket, "display-message", "-p", "#{pane_pid}"))
        time.sleep(1.0)  # the title
        tmux(socket, "send-keys", "x")
        time.sleep(0.5)  # the level screen
        tmux(socket, "send-keys", "x")
        entered = time.monotonic()
        time.sleep(1.0)  # into the game
        start = sample(game, server)
        time.sleep(still_seconds)
        still = sample(game, server)
        tmux(socket, "send-keys", "a")
        time.sleep(TURN_SECONDS)
        turned = sample(game, server)
        tmux(socket, "send-keys", "d")
        time.sleep(max(0.0, entered + ENEMY_IN_VIEW[0] - time.monotonic()))
        approaching = sample(game, server)
        time.sleep(ENEMY_IN_VIEW[1] - ENEMY_IN_VIEW[0])
        approached = sample(game, server)
        return rates(start, still), rates(still, turned), rates(approaching, approached)
    finally:
        subprocess.run(["tmux", "-L", socket, "kill-server"], capture_output=True)


def main():
    binary = os.path.abspath(sys.argv[1] if len(sys.argv) > 1 else "build/release/brickstorm")
    still_seconds = float(sys.argv[2]) if len(sys.argv) > 2 else 10.0
    if shutil.which("tmux") is None:
        sys.exit("tmux is needed: scripts/install-deps tmux")
    # The three runs side by side: each waits most of its 26 s for the enemy to walk up, and
    # each measures only its own game's and tmux server's processor time and bytes.
    with ThreadPoolExecutor(max_workers=3) as pool:
        runs = [pool.submit(measure, binary, options, still_seconds)
                for options in ([], ["--color", "--color-depth", "24"], ["--full-redraw"])]
        changed, coloured, whole = (run.result() for run in runs)
    print(f"window {COLUMNS} x {LINES}, tmux {tmux_version()}")
    print(f"{'':32}{'changed cells':>16}{'--full-redraw':>16}{'ratio':>8}{'--color (24)':>16}")
    stretches = [f"standing still {still_seconds:g} s", "a quarter turn",
                 f"standing still, an enemy walking up in view ({ENEMY_IN_VIEW[1] - ENEMY_IN_VIEW[0]:g} s)"]
    for index, stretch in enumerate(stretches):
        a, b, c = changed[index], whole[index], coloured[index]
        print(f"{stretch}")
        print(f"  {'bytes per second':30}{a['bytes'] / 1000:>13.1f} KB{b['bytes'] / 1000:>13.1f} KB"
              f"{ratio(a['bytes'], b['bytes']):>8}{c['bytes'] / 1000:>13.1f} KB")
        print(f"  {'terminal (tmux) processor':30}{a['terminal'] * 100:>14.1f} %{b['terminal'] * 100:>14.1f} %"
              f"{ratio(a['terminal'], b['terminal']):>8}{c['terminal'] * 100:>14.1f} %")
        print(f"  {'game processor':30}{a['game'] * 100:>14.1f} %{b['game'] * 100:>14.1f} %"
              f"{ratio(a['game'], b['game']):>8}{c['game'] * 100:>14.1f} %")


def ratio(a, b):
    return f"{a / b:.2f}" if b > 0 else "-"


def tmux_version():
    return subprocess.run(["tmux", "-V"], capture_output=True, text=True).stdout.strip()


if __name__ == "__main__":
    main()
