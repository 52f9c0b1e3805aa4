#!/usr/bin/env python3
"""Writes the campaign's level files (levels/NN-name.lvl) from the maps below.

    tools/campaign.py [LEVELS-FOLDER]

Most levels are drawn as two maps seen from above, the far row (highest z) first: a height map
(a digit, or a letter from A = 10 on, is how many blocks stand in that column, 0 a hole down to
nothing) and a map of what stands on top ('p' the start, 'e' an enemy, 'E' the exit, '.'
nothing). A few levels with floors over floors are drawn layer by layer instead, and the large
open ones are made by a function. The first five levels of the pack are drawn by hand and are
not written here.

Each file opens with its name and a one-line hint, which the game shows on the level's screen.
Every level is proved by a run in levels/runs (tools/make-runs writes them from their routes).
"""

import os
import random
import sys


def height_of(char):
    if char.isdigit():
        return int(char)
    return 10 + ord(char) - ord("A")


class Grid:
    def __init__(self, sx, sy, sz):
        self.sx, self.sy, self.sz = sx, sy, sz
        self.cells = [[["0"] * sx for _ in range(sz)] for _ in range(sy)]

    def set(self, x, y, z, letter):
        self.cells[y][z][x] = letter

    def get(self, x, y, z):
        return self.cells[y][z][x]

    def column(self, x, z, height):
        for y in range(height):
            self.cells[y][z][x] = "b"

    def box(self, x0, y0, z0, x1, y1, z1, letter="b"):
        for y in range(min(y0, y1), max(y0, y1) + 1):
            for z in range(min(z0, z1), max(z0, z1) + 1):
                for x in range(min(x0, x1), max(x0, x1) + 1):
                    self.cells[y][z][x] = letter

    def text(self, name, hint, notes):
        lines = ["# " + name, "# " + hint]
        lines += ["# " + note for note in notes]
        lines.append("# Sizes x, y, z; then the layers from the floor up, each from its far row")
        lines.append("# (z = %d) to its near row (z = 0), each row from x = 0 on the left." % (self.sz - 1))
        lines.append("%03d %03d %03d" % (self.sx, self.sy, self.sz))
        for y in range(self.sy):
            lines.append("")
            lines.append("# Layer %d" % y)
            for z in range(self.sz - 1, -1, -1):
                lines.append("".join(self.cells[y][z]))
        return "\n".join(lines) + "\n"


def from_maps(heights, things, headroom=3):
    """A level from a height map and a map of what stands on it, both far row first."""
    rows = [row.strip() for row in heights.strip().splitlines()]
    marks = [row.strip() for row in things.strip().splitlines()]
    assert len(rows) == len(marks), "the maps differ in rows"
    sz = len(rows)
    sx = len(rows[0])
    top = max(height_of(c) for row in rows for c in row)
    grid = Grid(sx, top + headroom, sz)
    for r, (row, mark) in enumerate(zip(rows, marks)):
        assert len(row) == sx and len(mark) == sx, "row %d is %d and %d wide, not %d" % (r, len(row), len(mark), sx)
        z = sz - 1 - r
        for x, (c, m) in enumerate(zip(row, mark)):
            h = height_of(c)
            grid.column(x, z, h)
            if m != ".":
                grid.set(x, h, z, m)
    return grid


def from_layers(layers):
    """A level from its layers, each far row first, the floor first."""
    parsed = [[row.strip() for row in layer.strip().splitlines()] for layer in layers]
    sz = len(parsed[0])
    sx = len(parsed[0][0])
    grid = Grid(sx, len(parsed), sz)
    for y, layer in enumerate(parsed):
        assert len(layer) == sz, "layer %d has %d rows, not %d" % (y, len(layer), sz)
        for r, row in enumerate(layer):
            assert len(row) == sx, "layer %d row %d is %d wide" % (y, r, len(row))
            for x, c in enumerate(row):
                grid.set(x, y, sz - 1 - r, c)
    return grid




# --- Routes ---------------------------------------------------------------------------------
# A route is what tools/make_run.cpp plays (see there). Where a level has no enemy in the way, the
# way is found here: the quickest moves from the start to a cell, as the rules move the player.

FACINGS = [(0, 1), (1, 0), (0, -1), (-1, 0)]  # +z, +x, -z, -x
STEP, TURN, CLIMB, FALL = 20, 20, 60, 5


class Planner:
    def __init__(self, grid):
        self.g = grid

    def cell(self, x, y, z):
        g = self.g
        if x < 0 or y < 0 or z < 0 or x >= g.sx or y >= g.sy or z >= g.sz:
            return "0"
        c = g.get(x, y, z)
        return "0" if c in "pe" else c

    def land(self, x, y, z):
        """Where a player at (x, y, z) comes to rest, and the ticks the fall takes; None if it kills."""
        fallen = 0
        while self.cell(x, y - 1, z) == "0":
            if y - 1 < 0:
                return None
            y -= 1
            fallen += 1
            if fallen >= 4:
                return None
        return (x, y, z), fallen * FALL

    def moves(self, state):
        x, y, z, f = state
        yield "a", (x, y, z, (f + 3) % 4), TURN
        yield "d", (x, y, z, (f + 1) % 4), TURN
        for key, turn in (("w", 0), ("s", 2), ("<", 3), (">", 1)):
            dx, dz = FACINGS[(f + turn) % 4]
            if self.cell(x + dx, y, z + dz) in "0E":
                if self.cell(x + dx, y, z + dz) == "E":
                    yield key, (x + dx, y, z + dz, f), STEP
                    continue
                landed = self.land(x + dx, y, z + dz)
                if landed:
                    (nx, ny, nz), ticks = landed
                    yield key, (nx, ny, nz, f), STEP + ticks
        dx, dz = FACINGS[f]
        if (self.cell(x + dx, y, z + dz) == "b" and self.cell(x, y + 1, z) == "0"
                and self.cell(x + dx, y + 1, z + dz) == "0"):
            yield "c", (x + dx, y + 1, z + dz, f), CLIMB

    def route(self, start, goal):
        """The quickest moves from `start` (x, y, z, facing) to a state that `goal` accepts."""
        import heapq
        best = {start: 0}
        came = {}
        queue = [(0, start)]
        while queue:
            ticks, state = heapq.heappop(queue)
            if ticks > best[state]:
                continue
            if goal(state):
                keys = []
                reached = state
                while state != start:
                    state, key = came[state]
                    keys.append(key)
                return "".join(reversed(keys)), reached
            if self.cell(state[0], state[1], state[2]) == "E":
                continue
            for key, nxt, cost in self.moves(state):
                if ticks + cost < best.get(nxt, 1 << 60):
                    best[nxt] = ticks + cost
                    came[nxt] = (state, key)
                    heapq.heappush(queue, (ticks + cost, nxt))
        raise ValueError("no way from %s" % (start,))


def find(grid, letter):
    for y in range(grid.sy):
        for z in range(grid.sz):
            for x in range(grid.sx):
                if grid.get(x, y, z) == letter:
                    yield (x, y, z)


def plan(grid, steps):
    """The route of `steps`: strings are played as they stand (they must not move the player),
    ("to", x, z) goes to the cell (x, z) at whatever height, ("face", f) turns to facing f,
    ("exit",) goes to the exit."""
    planner = Planner(grid)
    start = next(find(grid, "p"))
    state = (start[0], start[1], start[2], 0)
    route = []
    for step in steps:
        if isinstance(step, str):
            # Played as it stands; the moves in it move the planned player too.
            for key in step:
                moved = dict((k, n) for k, n, _ in planner.moves(state))
                if key in moved:
                    state = moved[key]
                elif key not in "!*.r":
                    raise ValueError("move %r cannot be made from %s" % (key, state))
            route.append(step)
            continue
        if step[0] == "to":
            goal = lambda s, t=step: (s[0], s[2]) == (t[1], t[2])
        elif step[0] == "face":
            goal = lambda s, t=step: s[3] == t[1]
        else:
            goal = lambda s: planner.cell(s[0], s[1], s[2]) == "E"
        keys, state = planner.route(state, goal)
        route.append(keys)
    return " ".join(route)


LEVELS = []


def level(file, name, hint, notes=(), route=None):
    """A level, and the route that proves it when it is not just the way to the exit."""
    def add(make):
        LEVELS.append((file, name, hint, list(notes), make, route or [("exit",)]))
        return make

    return add


# ---------------------------------------------------------------------------------------------


@level("06-the-way-down.lvl", "The way down",
       "A drop of four blocks kills, three is safe: find the steps down.")
def the_way_down():
    return from_maps(
        """
        1111111
        1111111
        1111121
        1111141
        1111161
        8888888
        8888888
        8888888
        """,
        """
        .E.....
        .......
        .......
        .......
        .......
        .......
        .......
        ..p....
        """)


@level("07-the-guard.lvl", "The guard",
       "A guard walks the corridor. Face him and shoot (r) before he reaches you.",
       route=[("to", 3, 3), "!", ("exit",)])
def the_guard():
    return from_maps(
        """
        3333333
        3311133
        3331333
        3331333
        3331333
        3331333
        3331333
        3331333
        3331333
        3331333
        3331333
        3331333
        3331333
        3331333
        3331333
        3311133
        3333333
        """,
        """
        .......
        ...E...
        .......
        ...e...
        .......
        .......
        .......
        .......
        .......
        .......
        .......
        .......
        .......
        .......
        .......
        ...p...
        .......
        """)


@level("08-one-shot.lvl", "One shot",
       "A shot flies down the whole row: let them come down the corridor in a line.",
       route=[("to", 4, 6), "!!!", ("exit",)])
def one_shot():
    return from_maps(
        """
        444444444
        411111114
        411111114
        411111114
        411111114
        411111114
        444414444
        444414444
        444414444
        444414444
        444414444
        444414444
        444414444
        444111444
        444444444
        """,
        """
        .........
        .e.e.e.e.
        .........
        .........
        .........
        .......E.
        .........
        .........
        .........
        .........
        .........
        .........
        .........
        ....p....
        .........
        """)


@level("09-sidestep.lvl", "Sidestep",
       "The arrows step to the side without turning: keep your eyes on the path.")
def sidestep():
    return from_maps(
        """
        0001000
        0001000
        0011000
        0010000
        0011100
        0000100
        0000110
        0000010
        0001110
        0001000
        0011000
        0010000
        0010000
        """,
        """
        ...E...
        .......
        .......
        .......
        .......
        .......
        .......
        .......
        .......
        .......
        .......
        .......
        ..p....
        """)


@level("10-out-of-reach.lvl", "Out of reach",
       "Guards never climb: get up the blocks before they get to you.")
def out_of_reach():
    return from_maps(
        """
        1111111111111
        1111111111111
        1111111111111
        1111111111111
        1111111111111
        1111111111111
        1111112311111
        1111111411111
        1111111511111
        1111111511111
        1111111111111
        1111111111111
        """,
        """
        .e....e.....e
        .............
        .............
        .............
        .............
        .............
        .....p.......
        .............
        .............
        .......E.....
        .............
        .............
        """)


@level("11-crossroads.lvl", "Crossroads",
       "They come from three sides: shoot, turn, shoot. A turn takes a second.",
       route=["!", "d", "!", "dd", "!", ("exit",)])
def crossroads():
    return from_maps(
        """
        33333333333333333
        33333333133333333
        33333333133333333
        33333333133333333
        33333333133333333
        33333333133333333
        33333333133333333
        33333333133333333
        31111111111111113
        33333333133333333
        33333333133333333
        33333333133333333
        33333333133333333
        33333333333333333
        """,
        """
        .................
        ........e........
        .................
        .................
        .................
        .................
        .................
        .................
        .e......p......e.
        .................
        .................
        .................
        ........E........
        .................
        """)


@level("12-the-tower.lvl", "The tower",
       "Round and up, one block at a time. Do not look down.")
def the_tower():
    return from_maps(
        """
        1111111
        1EDCBA1
        1FHHH91
        1GHHH81
        1HHHH71
        1234561
        1111111
        """,
        """
        .......
        .......
        .......
        ...E...
        .......
        .......
        .p.....
        """)


@level("13-the-pit.lvl", "The pit",
       "The exit is at the bottom. Go down by the ledges, three blocks at a time.")
def the_pit():
    return from_maps(
        """
        CCCCCCCCCCC
        CCCCCCCCCCC
        CC6666669CC
        CC3000009CC
        CC3000009CC
        CC3111009CC
        CC0111009CC
        CC0111009CC
        CC0000009CC
        CCCCCCCCCCC
        CCCCCCCCCCC
        """,
        """
        ...........
        ...........
        ...........
        ...........
        ...........
        ...........
        .....E.....
        ...........
        ...........
        ........p..
        ...........
        """)


@level("14-two-floors.lvl", "Two floors",
       "A maze above a maze: find the way down, then the way out.")
def two_floors():
    upper = """
        bbbbbbbbb
        b000b000b
        b0b0b0b0b
        b0b000b0b
        b0bbbbb0b
        b0000000b
        bbb0bbb0b
        bp00b0H0b
        bbbbbbbbb
        """
    lower = """
        bbbbbbbbb
        bE00b000b
        bbb0b0b0b
        b000b0b0b
        b0bbb0b0b
        b0000000b
        b0bbbbb0b
        b000b000b
        bbbbbbbbb
        """
    slab_rows = ["bbbbbbbbb"] * 9
    slab_rows[7] = "bbbbbb0bb"
    floor = "\n".join(["bbbbbbbbb"] * 9)
    return from_layers([floor, lower.replace("H", "0"), lower.replace("E", "0"), "\n".join(slab_rows),
                        upper.replace("H", "0"), upper.replace("H", "0").replace("p", "0")])


@level("15-draw-them-out.lvl", "Draw them out",
       "The guards keep the exit's pen. Come near the gate and they come out to you.",
       route=[("to", 9, 3), ("face", 0), "!!!", ("exit",)])
def draw_them_out():
    return from_maps(
        """
        33333333333
        31111111113
        31111111113
        31111111113
        31111111113
        33333333313
        33333333313
        33333333313
        31111111113
        31111111113
        31111111113
        31111111113
        31111111113
        33333333333
        """,
        """
        ...........
        .E.........
        ..e..e..e..
        ...........
        ...........
        ...........
        ...........
        ...........
        ...........
        ...........
        ...........
        ...........
        ..p........
        ...........
        """)


@level("16-bridges.lvl", "Bridges",
       "One block wide, high over nothing. Whoever comes along the bridge, shoot first.",
       route=["!", ("to", 2, 5), "!", ("exit",)])
def bridges():
    return from_maps(
        """
        00000000000000
        00000000000000
        00000000000600
        00000000000600
        00000000000600
        66666666666600
        00600000000000
        00600000000000
        00600000000000
        00600000000000
        00600000000000
        00600000000000
        00600000000000
        00600000000000
        00600000000000
        00600000000000
        00600000000000
        00000000000000
        """,
        """
        ..............
        ..............
        ...........E..
        ..............
        ..............
        .......e......
        ..............
        ..............
        ..............
        ..............
        ..e...........
        ..............
        ..............
        ..............
        ..............
        ..............
        ..p...........
        ..............
        """)


@level("17-up-the-cliff.lvl", "Up the cliff",
       "They are right behind you. Run for the steps: guards never climb.")
def up_the_cliff():
    return from_maps(
        """
        888868888
        888868888
        888858888
        888848888
        888838888
        888828888
        111111111
        111111111
        111111111
        111111111
        111111111
        111111111
        111111111
        111111111
        """,
        """
        ....E....
        .........
        .........
        .........
        .........
        .........
        .........
        .........
        .........
        ....p....
        .........
        ..e.e.e..
        .........
        .........
        """)


def heights_grid(sx, sy, sz, height):
    grid = Grid(sx, sy, sz)
    for z in range(sz):
        for x in range(sx):
            grid.column(x, z, height(x, z))
    return grid


def tower_heights(x0, z0, base):
    """The tower's spiral of steps, 7 x 7 from (x0, z0) at its near left, on ground `base` high."""
    rows = ["1111111", "1EDCBA1", "1FHHH91", "1GHHH81", "1HHHH71", "1234561", "1111111"]
    cells = {}
    for r, row in enumerate(rows):
        for x, c in enumerate(row):
            cells[(x0 + x, z0 + 6 - r)] = height_of(c) - 1 + base
    return cells


@level("18-the-wide-yard.lvl", "The wide yard",
       "Open ground on every side. The exit is on the stepped hill in the far corner.",
       route=["!", ("exit",)])
def the_wide_yard():
    rng = random.Random(18)
    size = 64
    bumps = {}
    for _ in range(90):
        x, z = rng.randrange(2, size - 2), rng.randrange(8, size - 2)
        length = rng.randrange(2, 9)
        along_x = rng.random() < 0.5
        high = rng.choice([2, 2, 3])
        for i in range(length):
            cell = (x + i, z) if along_x else (x, z + i)
            if cell[0] < size and cell[1] < size and cell[0] != 32:
                bumps[cell] = high
    hill = (55, 56)

    def height(x, z):
        d = max(abs(x - hill[0]), abs(z - hill[1]))
        if d <= 1:
            return 4
        if d <= 3:
            return 5 - d
        return bumps.get((x, z), 1)

    grid = heights_grid(size, 16, size, height)
    grid.set(32, 1, 1, "p")
    grid.set(hill[0], 4, hill[1], "E")
    for z in (30, 36, 44):
        grid.set(32, 1, z, "e")
    for x, z in ((6, 58), (10, 40), (4, 20), (60, 14)):
        grid.box(x, 1, z, x, 1, z, "0")
        grid.column(x, z, 1)
        grid.set(x, 1, z, "e")
    return grid


@level("19-the-labyrinth.lvl", "The labyrinth",
       "Keep one hand on the wall and you will come out. The exit is in the far corner.")
def the_labyrinth():
    rng = random.Random(19)
    cells = 12
    size = cells * 2 + 1
    open_cells = set()
    stack = [(0, 0)]
    seen = {(0, 0)}
    open_cells.add((1, 1))
    while stack:
        cx, cz = stack[-1]
        ways = [(cx + dx, cz + dz) for dx, dz in FACINGS
                if 0 <= cx + dx < cells and 0 <= cz + dz < cells and (cx + dx, cz + dz) not in seen]
        if not ways:
            stack.pop()
            continue
        nx, nz = rng.choice(ways)
        seen.add((nx, nz))
        open_cells.add((nx * 2 + 1, nz * 2 + 1))
        open_cells.add((cx + nx + 1, cz + nz + 1))
        stack.append((nx, nz))
    grid = heights_grid(size, 5, size, lambda x, z: 1 if (x, z) in open_cells else 3)
    grid.set(1, 1, 1, "p")
    grid.set(size - 2, 1, size - 2, "E")
    return grid


@level("20-two-towers.lvl", "Two towers",
       "Up the steps, across the bridge, and down the far tower three blocks at a time.",
       route=[("to", 4, 1), "!", ("exit",)])
def two_towers():
    return from_maps(
        """
        00000000000000000
        06666000000066330
        06666000000066330
        06666666666666330
        06666000000066330
        06666000000066330
        12345000000000000
        """,
        """
        .................
        .................
        .................
        ...........e...E.
        .................
        .................
        p................
        """)


@level("21-the-great-steps.lvl", "The great steps",
       "Climb to the top of the steps. Each step is a path a guard can walk.",
       route=[("to", 32, 24), ("face", 1), "!", ("to", 32, 28), ("face", 3), "!", ("exit",)])
def the_great_steps():
    size = 64
    centre = 32

    def height(x, z):
        d = max(abs(x - centre), abs(z - centre))
        return max(1, min(13, 14 - d))

    grid = heights_grid(size, 16, size, height)
    grid.set(centre, 1, 1, "p")
    grid.set(centre, 13, centre, "E")
    for x, z in ((40, 30), (28, 34), (5, 60), (58, 58), (8, 12), (55, 6)):
        grid.set(x, height(x, z), z, "e")
    return grid


@level("22-the-fortress.lvl", "The fortress",
       "Cross the moat, get up on the step, and clear the courtyard from above.",
       route=[("to", 10, 3), "*", ("exit",)])
def the_fortress():
    size = 21
    centre = 10

    def height(x, z):
        d = max(abs(x - centre), abs(z - centre))
        if d == 10:
            return 3
        if d >= 8:
            return 3 if x == centre and z < centre else 0
        if d == 7:
            return 4 if (x, z) == (centre, 3) else 5
        return 2

    grid = heights_grid(size, 8, size, height)
    grid.set(centre, 3, 0, "p")
    grid.set(centre, 2, centre, "E")
    for x, z in ((7, 11), (13, 11), (10, 12)):
        grid.set(x, 2, z, "e")
    return grid


@level("23-stepping-stones.lvl", "Stepping stones",
       "Up one, down three, never four: read the stones before you step.")
def stepping_stones():
    return from_maps(
        """
        000000000
        000040000
        000040000
        000330000
        000600000
        000550000
        000040000
        000030000
        000022000
        000005000
        000004000
        000033000
        000020000
        000010000
        000000000
        """,
        """
        .........
        ....E....
        .........
        .........
        .........
        .........
        .........
        .........
        .........
        .........
        .........
        .........
        .........
        ....p....
        .........
        """)


@level("24-the-storm.lvl", "The storm",
       "Everything at once: the gap in the wall, the guards beyond it, and the tower.",
       route=[("to", 24, 28), "*", ("exit",)])
def the_storm():
    size = 48
    tower = tower_heights(30, 36, 1)

    def height(x, z):
        if 6 <= z <= 30 and x != 24:
            return 5
        return tower.get((x, z), 1)

    grid = heights_grid(size, 20, size, height)
    grid.set(24, 1, 1, "p")
    grid.set(33, tower[(33, 39)], 39, "E")  # the middle of the tower's top
    for x, z in ((24, 34), (22, 35), (26, 35), (24, 37), (21, 37)):
        grid.set(x, 1, z, "e")
    return grid


def main():
    folder = sys.argv[1] if len(sys.argv) > 1 else os.path.join(os.path.dirname(__file__), "..", "levels")
    for file, name, hint, notes, make, steps in LEVELS:
        grid = make()
        with open(os.path.join(folder, file), "w") as out:
            out.write(grid.text(name, hint, notes))
        with open(os.path.join(folder, "runs", file[:2] + ".route"), "w") as out:
            out.write(plan(grid, steps) + "\n")


if __name__ == "__main__":
    main()
