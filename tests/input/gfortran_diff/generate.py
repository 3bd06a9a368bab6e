#!/usr/bin/env python3
"""Writes random free-form cases for the differential test against gfortran's list-directed READ.

Usage: generate.py SEED CASES FOLDER. Writes FOLDER/caseNNNNN.txt and FOLDER/plan.txt (one line
per case: file name, number of readings, then kind letter and item count for each reading).

Only constructs on which the two readers are meant to agree are generated; the deliberate
differences are listed in run_diff.py and tested there separately.
"""
import random
import sys

SEPARATORS = [" ", "  ", "\t", ",", " , ", "\t,\t", ", ", " ,"]


def digits(rng, lo, hi):
    return "".join(rng.choice("0123456789") for _ in range(rng.randint(lo, hi)))


def real_token(rng, max_exponent):
    sign = rng.choice(["", "", "-", "+"])
    shape = rng.randrange(4)
    if shape == 0:
        mantissa = digits(rng, 1, 25)
    elif shape == 1:
        mantissa = digits(rng, 1, 12) + "." + digits(rng, 0, 12)
    elif shape == 2:
        mantissa = "." + digits(rng, 1, 20)
    else:
        mantissa = digits(rng, 1, 3) + "."
    if rng.random() < 0.5:
        letter = rng.choice("eEdD")
        exponent = rng.randint(-max_exponent - 40, max_exponent - 30)
        esign = "-" if exponent < 0 else rng.choice(["", "+"])
        mantissa += letter + esign + str(abs(exponent))
    r = rng.random()
    if r < 0.05:
        return rng.choice(["inf", "Inf", "-INF", "+Infinity", "-infinity", "nan", "NaN", "NAN"])
    return sign + mantissa


def in_range(token, limit):
    """True when the token's value is finite and below `limit` in magnitude (gfortran makes an
    overflow infinite, the program reports it: a deliberate difference tested on its own)."""
    if token.lstrip("+-")[:1] in ("i", "I", "n", "N"):
        return True
    try:
        return abs(float(token.replace("d", "e").replace("D", "e"))) < limit
    except ValueError:
        return True  # inf and nan


def real_in_range(rng, max_exponent, limit):
    while True:
        t = real_token(rng, max_exponent)
        if in_range(t, limit):
            return t


def bad_real(rng):
    return rng.choice([".", "-", "+", "1e", "1.2.3", "--5", ".e5", "1d", "1e+", "x", "1x",
                       "0*5", "*5", "2**3", "+-1", "1e5.5", "e5"])


def name_token(rng):
    r = rng.random()
    if r < 0.55:
        first = rng.choice("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz_.")
        rest = "".join(rng.choice("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789_.-")
                       for _ in range(rng.randint(0, 27)))
        return first + rest
    if r < 0.65:
        return digits(rng, 1, 6) + rng.choice("abcxyz") + digits(rng, 0, 3)
    mark = rng.choice("'\"")
    body = []
    for _ in range(rng.randint(0, 26)):
        c = rng.choice("abcXYZ019 ,/;:" + mark + "'\"")
        body.append(mark + mark if c == mark else c)
    return mark + "".join(body) + mark


def items(rng, kind, count):
    """Item texts for one reading; a slash may end it early; repeats and empty items appear."""
    out = []
    left = count
    while left > 0:
        r = rng.random()
        if r < 0.04:
            out.append("/")
            return out
        if r < 0.12 and kind in "NC":
            n = rng.randint(1, 4)
            value = "" if rng.random() < 0.3 else (real_in_range(rng, 300, 1.7e308) if kind == "N" else name_token(rng))
            out.append(f"{n}*{value}")
            left -= n
            continue
        if r < 0.18 and kind in "NC":
            out.append("")  # an empty item: nothing between two commas
            left -= 1
            continue
        if kind == "N":
            out.append(real_in_range(rng, 300, 1.7e308))
        elif kind == "S":
            out.append(real_in_range(rng, 38, 3.4e38))
        elif kind == "I":
            out.append(rng.choice(["", "-", "+"]) + digits(rng, 1, 9))
        else:
            out.append(name_token(rng))
        left -= 1
    return out


def surplus(rng, kind):
    """Items after the last one a reading needs, on its last line: both readers discard them."""
    limit = 3.4e38 if kind == "S" else 1.7e308
    return [real_in_range(rng, 300, limit) if kind in "NSI" else name_token(rng)
            for _ in range(rng.randint(1, 2) if rng.random() < 0.3 else 0)]


def join(rng, parts):
    """Joins items with separators, sometimes breaking the line (a reading goes on over lines).
    An empty item ("") is the nothing between two commas, so a comma stands on each side of it
    (at the start of a reading, the comma after it is enough)."""
    text = parts[0]
    for prev, p in zip(parts, parts[1:]):
        if prev == "" or p == "":
            sep = rng.choice([",", " ,", ", ", "\t,", " , "])
        elif rng.random() < 0.12:
            sep = rng.choice(["\n", "\r\n", "\n\n", "\n   \n"])
        else:
            sep = rng.choice(SEPARATORS)
        text += sep + p
    if parts[-1] == "":
        text += ","  # the comma that closes a last empty item; a line end alone would not
    return text


def main():
    seed, cases, folder = int(sys.argv[1]), int(sys.argv[2]), sys.argv[3]
    rng = random.Random(seed)
    with open(f"{folder}/plan.txt", "w") as plan:
        for c in range(cases):
            name = f"case{c:05d}.txt"
            readings = []
            text = ""
            for _ in range(rng.randint(1, 5)):
                kind = rng.choice("NNNNSICC")
                count = 1 if kind in "SI" else rng.randint(1, 8)
                readings.append((kind, count))
                parts = items(rng, kind, count)
                if kind != "C" and rng.random() < 0.05:
                    parts[rng.randrange(len(parts))] = bad_real(rng)
                    plain_end = False
                else:
                    plain_end = parts[-1] not in ("", "/") and not parts[-1].endswith("*")
                # Empty lines before a reading are passed over; but a reading that begins with
                # an empty item begins with its comma on its first line (see run_diff.py).
                lead = rng.choice(["", "", "", " ", "\t"] + (["\n", "  \n"] if parts[0] else []))
                joined = join(rng, parts)
                if parts[-1] != "/":
                    joined += "".join(rng.choice(SEPARATORS) + x for x in surplus(rng, kind))
                text += lead + joined + rng.choice(["\n", "\n", "\r\n"])
            if plain_end and rng.random() < 0.1:
                text = text.rstrip("\r\n")  # no line end after the last line (see run_diff.py)
            with open(f"{folder}/{name}", "w", newline="") as f:
                f.write(text)
            plan.write(name + " " + str(len(readings)) + " " +
                       " ".join(f"{k} {n}" for k, n in readings) + "\n")


main()
