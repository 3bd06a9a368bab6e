#!/usr/bin/env python3
"""The program's work written plainly in Python, for the speed comparison of program_bench.py:
numpy for the table, statsmodels' Burg for the prediction-error filter, scipy's smoothing spline
at lam = 1/(2p). The same steps per series as the program: trim the missing ends, fill the gaps
with the mean, centre, extend both ends by `cutoff` predicted values, smooth, cut back, list.

usage: python_equivalent.py TABLE LISTING CUTOFF [FLAG]
"""
import math
import sys

import numpy as np
from scipy.interpolate import make_smoothing_spline
from statsmodels.regression.linear_model import burg


def main():
    table, listing, cutoff = sys.argv[1], sys.argv[2], int(sys.argv[3])
    flag = float(sys.argv[4]) if len(sys.argv) > 4 else -999.0
    with open(table) as f:
        names = f.readline().split()[1:]
    data = np.loadtxt(table, skiprows=1, ndmin=2)
    years = data[:, 0].astype(int)
    c = math.cos(2.0 * math.pi / cutoff)
    p = 6.0 * (c - 1.0) ** 2 / (c + 2.0)
    with open(listing, "w") as out:
        for k, name in enumerate(names):
            column = data[:, k + 1]
            present = np.flatnonzero(column != flag)
            if present.size == 0:
                continue
            first, last = present[0], present[-1] + 1
            series = column[first:last].copy()
            missing = series == flag
            mean = series[~missing].mean()
            series[missing] = mean
            centred = series - mean
            coefficients, _ = burg(centred, order=cutoff, demean=False)
            n = centred.size
            extended = np.zeros(n + 2 * cutoff)
            extended[cutoff:cutoff + n] = centred
            for i in range(cutoff):
                end = cutoff + n + i
                extended[end] = coefficients @ extended[end - 1:end - 1 - cutoff:-1] \
                    if end - 1 - cutoff >= 0 else coefficients @ extended[end - 1::-1][:cutoff]
                start = cutoff - 1 - i
                extended[start] = coefficients @ extended[start + 1:start + 1 + cutoff]
            x = np.arange(extended.size, dtype=float)
            smooth = make_smoothing_spline(x, extended, lam=1.0 / (2.0 * p))(x)[cutoff:cutoff + n]
            out.write(f"\n Input series is: {name:<20}\n year  unfilt  spline  resids\n")
            for year, value, spline in zip(years[first:last], series, smooth + mean):
                out.write(f"{year:5d}{value:8.3f}{spline:8.3f}{value - spline:8.3f}\n")


if __name__ == "__main__":
    main()
