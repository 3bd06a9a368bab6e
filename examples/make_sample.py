#!/usr/bin/env python3
"""Writes sample.txt: a small table of four made-up annual ring-width chronologies.

The series are standardized ring-width indices around 1.0: a slow climate signal shared by all
sites, an AR(1) persistence of each tree's own growth, and noise. They cover different spans
(missing years at the ends are written as -999) and two of them have a missing year inside.
Deterministic: the same seed gives the same file.
"""
import math
import random

FIRST, LAST = 1801, 2000
FLAG = -999
rng = random.Random(20261207)

def chronology(start, end, persistence, noise, gaps=()):
    values = {}
    state = 0.0
    for year in range(start, end + 1):
        climate = 0.12 * math.sin(2 * math.pi * (year - 1800) / 62.0) \
                + 0.06 * math.sin(2 * math.pi * (year - 1800) / 23.0)
        state = persistence * state + rng.gauss(0.0, noise)
        values[year] = 1.0 + climate + state
    for g in gaps:
        values[g] = None
    return values

series = [
    ("PinusSylv_A", chronology(1801, 2000, 0.55, 0.10)),
    ("PiceaAbies_B", chronology(1832, 2000, 0.40, 0.12, gaps=(1907,))),
    ("QuercusRob_C", chronology(1801, 1975, 0.65, 0.08)),
    ("LarixDec_D", chronology(1850, 1990, 0.50, 0.11, gaps=(1923,))),
]

with open("sample.txt", "w") as out:
    out.write("Year " + " ".join(name for name, _ in series) + "\n")
    for year in range(FIRST, LAST + 1):
        cells = []
        for _, values in series:
            v = values.get(year)
            cells.append(f"{FLAG:8d}" if v is None else f"{v:8.3f}")
        out.write(f"{year:4d} " + " ".join(cells) + "\n")
