#!/usr/bin/env python3
"""Whole-program benchmark: generates tables, runs build/ringsmooth on them with scripted answers
and plots off, and prints wall time (median of several runs) and peak memory for each size,
then the I/O floor for the largest table (reading the table and writing a file of the listing's
size with plain tools).

usage: bench/program_bench.py [--binary build/ringsmooth] [--runs 3] [--only NAME] [--jobs 1,2]
                              [--table FILE COLUMNS CUTOFF] [--scaling] [--python] [--collection]
                              [--chronology [--against EARLIER_BINARY] [--cutoff 30]] [--ends]

--jobs runs every size with each number of computing threads (RINGSMOOTH_JOBS). --python times
the plain Python equivalent (bench/python_equivalent.py: numpy, statsmodels' Burg, scipy's
smoothing spline) against the program on 100 series x 2,000 years at cutoff 32, and the program's
start-up. --collection times one batch run over 1,000 tables of 30 series x 500 years.
--chronology times batch runs with and without --chronology=crn,csv, in turn, with 1 and 2
threads (-c 30, or --cutoff; --only ca533, 100x2000 or 699 for one table); --against adds an
earlier binary to the same rounds, and the with-chronology times of --binary against it. --ends
times batch runs at -c 67% with each way of treating the ends against natural ends.
"""
import argparse
import os
import resource
import shutil
import statistics
import subprocess
import sys
import time

HERE = os.path.dirname(os.path.abspath(__file__))
ROOT = os.path.dirname(HERE)
WORK = os.path.join(ROOT, "out", "bench")

SIZES = [  # name, series, years, cutoff, shortest span (None: nearly the whole table)
    ("10x500", 10, 500, 30, None),
    ("100x2000", 100, 2000, 30, None),
    ("699x500..8000", 699, 8000, 30, 500),
    ("699x9000", 699, 9000, 100, None),
    ("699x8000-c1000", 699, 8000, 1000, None),
]


def table_for(series, years, shortest):
    suffix = f"-from{shortest}" if shortest else ""
    path = os.path.join(WORK, f"table-{series}x{years}{suffix}.txt")
    if not os.path.exists(path):
        extra = [str(shortest)] if shortest else []
        subprocess.run([sys.executable, os.path.join(HERE, "make_table.py"), str(series),
                        str(years), "20261207", path] + extra, check=True)
    return path


def run_once(binary, table, columns, cutoff, listing, jobs=None):
    """Wall time and peak resident memory (KiB) of one run, measured by /usr/bin/time."""
    # The first answer may not begin with "/" (that ends the run), and names are at most 40
    # characters: run in the table's folder with plain file names.
    folder = os.path.dirname(os.path.abspath(table))
    answers = (f"{os.path.relpath(table, folder)}\n{os.path.relpath(listing, folder)}\n"
               f"{columns}\n-999\n{cutoff}\nn\nx\n").encode()
    report = os.path.join(WORK, "time.out")
    start = time.perf_counter()
    proc = subprocess.run(["/usr/bin/time", "-f", "%M", "-o", report, os.path.abspath(binary)],
                          input=answers, stdout=subprocess.DEVNULL, cwd=folder,
                          env=dict(os.environ, RINGSMOOTH_PLOT_DEVICE="null",
                                   **({"RINGSMOOTH_JOBS": str(jobs)} if jobs else {})))
    elapsed = time.perf_counter() - start
    if proc.returncode != 0:
        sys.exit(f"{binary} exited with status {proc.returncode} on {table}")
    with open(report) as f:
        maxrss = int(f.read().split()[-1])
    return elapsed, maxrss


def measure(binary, name, table, columns, cutoff, runs, jobs=None):
    listing = os.path.join(WORK, f"listing-{name.replace('..', '-')}.txt")
    times, peak = [], 0
    for _ in range(runs):
        elapsed, maxrss = run_once(binary, table, columns, cutoff, listing, jobs)
        times.append(elapsed)
        peak = max(peak, maxrss)
    size = os.path.getsize(table) / 1e6
    out = os.path.getsize(listing) / 1e6
    label = f"{name} j{jobs}" if jobs else name
    print(f"{label:>19}  table {size:7.1f} MB  listing {out:7.1f} MB  "
          f"time {statistics.median(times):7.3f} s (median of {runs})  peak {peak / 1024:6.1f} MiB",
          flush=True)
    return listing, statistics.median(times)


def timed(command, runs, **kwargs):
    """Median wall time of a command."""
    times = []
    for _ in range(runs):
        start = time.perf_counter()
        subprocess.run(command, check=True, stdout=subprocess.DEVNULL, **kwargs)
        times.append(time.perf_counter() - start)
    return statistics.median(times)


def python_comparison(binary, runs):
    """The whole process against the plain Python equivalent, and the program's start-up."""
    table = table_for(100, 2000, None)
    python = "/usr/bin/python3" if os.path.exists("/usr/bin/python3") else sys.executable
    listing = os.path.join(WORK, "listing-compare.txt")
    ours = timed([binary, "-c", "32", "-o", listing, table], runs)
    theirs = timed([python, os.path.join(HERE, "python_equivalent.py"), table, listing, "32"],
                   max(1, runs // 2))
    print(f"100x2000 cutoff 32: ringsmooth {ours:.3f} s, Python (numpy, statsmodels, scipy) "
          f"{theirs:.2f} s: {theirs / ours:.0f} times faster")
    start = timed([binary, "--version"], runs)
    tiny = os.path.join(WORK, "tiny.txt")
    with open(tiny, "w") as f:
        f.write("Year A\n1 1\n2 2\n3 4\n4 3\n5 5\n")
    one = timed([binary, "-c", "2", "-o", os.path.join(WORK, "tiny.lst"), tiny], runs)
    print(f"start-up: process with PLplot loaded {start * 1000:.1f} ms; a run of a 5-year table "
          f"{one * 1000:.1f} ms")


def batch_run_times(binary, arguments, folder):
    """Wall time and CPU time (user and system: what the run itself spent, less disturbed by
    other load) of one batch run writing into `folder` (-d), made afresh: replacing the files of
    the run before would wait for the system to finish writing them, which is no cost of the run
    itself."""
    shutil.rmtree(folder, ignore_errors=True)
    os.makedirs(folder)
    before = resource.getrusage(resource.RUSAGE_CHILDREN)
    start = time.perf_counter()
    subprocess.run([binary, "-d", folder, *arguments], check=True,
                   stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    wall = time.perf_counter() - start
    after = resource.getrusage(resource.RUSAGE_CHILDREN)
    return wall, after.ru_utime - before.ru_utime + after.ru_stime - before.ru_stime


def chronology_cost(binaries, runs, cutoff, only):
    """What --chronology=crn,csv adds to a batch run: runs with and without it, taken in turn (and
    of each binary in turn, when an earlier one is compared; each round starting further on) so
    that the machine's moods fall on all alike; medians of wall time and of CPU time (user and
    system: what the run itself spent, less disturbed by other load) and their ratios."""
    ca533 = os.path.join(ROOT, "tests", "input", "tucson", "ca533.rwl")
    tables = [("ca533.rwl (34 series)", ca533),
              ("100x2000", table_for(100, 2000, None)),
              ("699x500..8000", table_for(699, 8000, 500))]
    out = os.path.join(WORK, "chronology-out")
    os.makedirs(out, exist_ok=True)
    for name, table in tables:
        if only and not name.startswith(only):
            continue
        for jobs in (1, 2):
            # (binary, with the chronology) -> wall and CPU times of each run
            wall = {(b, c): [] for b in binaries for c in (False, True)}
            cpu = {key: [] for key in wall}
            keys = list(wall)
            for round_ in range(runs):
                # Each round starts with another run, so that none is always first.
                for key in keys[round_ % len(keys):] + keys[:round_ % len(keys)]:
                    binary, chronology = key
                    extra = ["--chronology=crn,csv"] if chronology else []
                    run_wall, run_cpu = batch_run_times(
                        binary, ["-c", cutoff, "-j", str(jobs), *extra, table],
                        os.path.join(out, "run"))
                    wall[key].append(run_wall)
                    cpu[key].append(run_cpu)
            for binary in binaries:
                line = [f"{name:>22} j{jobs}:"]
                if len(binaries) > 1:
                    line.append(os.path.basename(binary))
                for what, times in (("wall", wall), ("CPU", cpu)):
                    a = statistics.median(times[binary, False])
                    b = statistics.median(times[binary, True])
                    line.append(f"{what} {a:.4f} s -> {b:.4f} s ({100 * (b / a - 1):+.1f}%)")
                if binary != binaries[0]:
                    for what, times in (("wall", wall), ("CPU", cpu)):
                        ratio = (statistics.median(times[binary, True]) /
                                 statistics.median(times[binaries[0], True]))
                        line.append(f"with: {what} {100 * (ratio - 1):+.1f}% against the first")
                print("  ".join(line), flush=True)


def runs_in_turn(binary, table, variants, runs, jobs=1):
    """Median wall and CPU time (user and system) of batch runs of each variant (extra options)
    on one table, the variants taken in turn in every round so that the machine's moods fall on
    all alike; each run writes a listing into a fresh folder."""
    folder = os.path.join(WORK, "turns")
    wall = [[] for _ in variants]
    cpu = [[] for _ in variants]
    for _ in range(runs):
        for i, extra in enumerate(variants):
            run_wall, run_cpu = batch_run_times(binary, ["-j", str(jobs), *extra, table], folder)
            wall[i].append(run_wall)
            cpu[i].append(run_cpu)
    return [(statistics.median(w), statistics.median(c)) for w, c in zip(wall, cpu)]


def ends_cost(binary, runs):
    """What the end extension costs at the field's usual stiffness, -c 67%: runs with the
    default ends, the dialogue's extension, a short filter chosen by AIC, against natural ends
    (--ends=none), on 699 series of 200 to 2,000 years, one thread."""
    table = table_for(699, 2000, 200)
    variants = [("--ends=none", ["-c", "67%", "--ends=none"]),
                ("default", ["-c", "67%"]),
                ("--ends=predict", ["-c", "67%", "--ends=predict"]),
                ("--filter=auto --predict=10", ["-c", "67%", "--filter=auto", "--predict=10"])]
    times = runs_in_turn(binary, table, [extra for _, extra in variants], runs)
    base_wall, base_cpu = times[0]
    print(f"699 series of 200 to 2,000 years, -c 67%, 1 thread, medians of {runs} rounds:")
    for (name, _), (wall, cpu) in zip(variants, times):
        print(f"  {name:>28}: wall {wall:.3f} s ({wall / base_wall:.2f}x), "
              f"CPU {cpu:.3f} s ({cpu / base_cpu:.2f}x)", flush=True)


def collection(binary, runs):
    """One batch run over 1,000 tables of 30 series x 500 years, with 1 and 2 threads."""
    folder = os.path.join(WORK, "collection")
    os.makedirs(folder, exist_ok=True)
    names = [os.path.join(folder, f"site{i:04d}.txt") for i in range(1000)]
    if not os.path.exists(names[-1]):
        for i, name in enumerate(names):
            subprocess.run([sys.executable, os.path.join(HERE, "make_table.py"), "30", "500",
                            str(1000 + i), name], check=True)
    out = os.path.join(WORK, "collection-out")
    os.makedirs(out, exist_ok=True)
    for jobs in (1, 2):
        t = timed([binary, "-c", "30", "-j", str(jobs), "-d", out] + names, runs)
        print(f"1000 tables of 30x500, {jobs} thread(s): {t:.2f} s, {1000 / t:.0f} tables per second",
              flush=True)


def io_floor(table, listing, runs):
    """Reading the table and writing a file of the listing's size with plain tools."""
    size = os.path.getsize(listing)
    target = os.path.join(WORK, "floor.out")
    times = []
    for _ in range(runs):
        start = time.perf_counter()
        subprocess.run(["cat", table], stdout=subprocess.DEVNULL, check=True)
        subprocess.run(["head", "-c", str(size), listing], stdout=open(target, "wb"), check=True)
        times.append(time.perf_counter() - start)
    os.remove(target)
    return statistics.median(times)


def scaling(binary, runs):
    """Time against n at a fixed cutoff, and against the cutoff at a fixed n (100 series each)."""
    print("growth with n (100 series, cutoff 30): expected linear")
    base = None
    for years in (1000, 2000, 4000, 8000):
        table = table_for(100, years, None)
        listing = os.path.join(WORK, "listing-scaling.txt")
        times = [run_once(binary, table, 101, 30, listing)[0] for _ in range(runs)]
        t = statistics.median(times)
        base = base or (t, years)
        print(f"  n {years:5d}: {t:7.3f} s   x{t / base[0]:5.2f} for n x{years / base[1]:4.1f}", flush=True)
    print("growth with the cutoff (100 series, 8000 years): expected n x cutoff for the filter")
    table = table_for(100, 8000, None)
    base = None
    for cutoff in (10, 100, 300, 1000):
        listing = os.path.join(WORK, "listing-scaling.txt")
        times = [run_once(binary, table, 101, cutoff, listing)[0] for _ in range(runs)]
        t = statistics.median(times)
        base = base or (t, cutoff)
        print(f"  cutoff {cutoff:5d}: {t:7.3f} s   x{t / base[0]:6.2f} for cutoff x{cutoff / base[1]:5.1f}",
              flush=True)


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--binary", default=os.path.join(ROOT, "build", "ringsmooth"))
    parser.add_argument("--runs", type=int, default=3)
    parser.add_argument("--only", default=None)
    parser.add_argument("--table", nargs=3, metavar=("FILE", "COLUMNS", "CUTOFF"))
    parser.add_argument("--scaling", action="store_true", help="measure growth with n and cutoff")
    parser.add_argument("--jobs", default=None, help="comma-separated thread counts, e.g. 1,2")
    parser.add_argument("--python", action="store_true", help="compare with plain Python")
    parser.add_argument("--collection", action="store_true", help="1,000 small tables")
    parser.add_argument("--chronology", action="store_true", help="what a chronology adds")
    parser.add_argument("--against", action="append", default=[], metavar="BINARY",
                        help="with --chronology: an earlier binary, timed in the same rounds")
    parser.add_argument("--cutoff", default="30", help="with --chronology: the runs' -c")
    parser.add_argument("--ends", action="store_true", help="what the end extension costs")
    args = parser.parse_args()
    os.makedirs(WORK, exist_ok=True)
    print(f"machine: {os.cpu_count()} cores; {os.uname().machine}; binary {args.binary}")
    if args.scaling:
        scaling(args.binary, args.runs)
        return
    if args.python:
        python_comparison(os.path.abspath(args.binary), args.runs)
        return
    if args.collection:
        collection(os.path.abspath(args.binary), args.runs)
        return
    if args.chronology:
        chronology_cost([os.path.abspath(b) for b in args.against + [args.binary]], args.runs,
                        args.cutoff, args.only)
        return
    if args.ends:
        ends_cost(os.path.abspath(args.binary), args.runs)
        return
    if args.table:
        measure(args.binary, "table", args.table[0], int(args.table[1]), int(args.table[2]),
                args.runs)
        return
    jobs_list = [int(j) for j in args.jobs.split(",")] if args.jobs else [None]
    for name, series, years, cutoff, shortest in SIZES:
        if args.only and args.only != name:
            continue
        table = table_for(series, years, shortest)
        for jobs in jobs_list:
            listing, t = measure(args.binary, name, table, series + 1, cutoff, args.runs, jobs)
            if name == "699x9000":
                floor = io_floor(table, listing, args.runs)
                print(f"{'I/O floor':>19}  read table + write listing-sized file: {floor:.3f} s"
                      f" (the run: {t / floor:.1f} times the floor)")


if __name__ == "__main__":
    main()
