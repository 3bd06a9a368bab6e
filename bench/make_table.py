#!/usr/bin/env python3
"""Writes a deterministic table of made-up annual series for benchmarks.

usage: make_table.py SERIES YEARS SEED OUT [SHORTEST]

Every series is a ring-width-like record (level near 1, persistence, noise) written with three
decimals; spans differ between series (some start late or end early, flagged -999), and a few
interior years are missing. With SHORTEST, each series covers between SHORTEST and YEARS years,
placed anywhere in the table.
"""
import random
import sys

def main():
    series, years, seed, out = int(sys.argv[1]), int(sys.argv[2]), int(sys.argv[3]), sys.argv[4]
    shortest = int(sys.argv[5]) if len(sys.argv) > 5 else None
    rng = random.Random(seed)
    spans = []
    for _ in range(series):
        if shortest is None:
            start = rng.randrange(0, max(1, years // 10))
            end = years - rng.randrange(0, max(1, years // 10))
        else:
            length = rng.randint(shortest, years)
            start = rng.randint(0, years - length)
            end = start + length
        spans.append((start, end))
    state = [0.0] * series
    with open(out, "w") as f:
        f.write("Year " + " ".join(f"S{k + 1:04d}" for k in range(series)) + "\n")
        for r in range(years):
            cells = []
            for k in range(series):
                start, end = spans[k]
                state[k] = 0.6 * state[k] + rng.gauss(0.0, 0.15)
                if r < start or r >= end or rng.random() < 0.001:
                    cells.append("-999")
                else:
                    cells.append(f"{1.0 + state[k]:.3f}")
            f.write(f"{r + 1} " + " ".join(cells) + "\n")

if __name__ == "__main__":
    main()
