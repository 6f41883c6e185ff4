#!/usr/bin/env python3
"""Prints the project-file targets from one run of the project benchmarks.

    locmodel_bench --benchmark_filter='^BM_(Project|Cereal(Save|Load)|Zlib|Floor(Walk|Build|Write))' \\
        --benchmark_min_warmup_time=0.5 --benchmark_repetitions=3 --benchmark_format=json \\
        | bench/project_table.py

Every ratio comes from the same run, in CPU time (wall time beside it). The
warm-up makes every figure one of a warm heap, as a host that loads again sees
it; without it, the one-iteration rows pay for growing the heap first. Most
rows are a few iterations of a few hundred milliseconds, and each leaves the
heap in a state the next one pays for (the scaling rows hold a project of up
to a million items meanwhile): repeated, each figure is the median of its
repetitions, so the first one absorbs that (a single run still works).
"""
import json
import sys


def load_runs(benchmarks):
    """Each benchmark by name: its median when the run was repeated."""
    medians = {b["run_name"]: b for b in benchmarks if b.get("aggregate_name") == "median"}
    return medians or {b["name"]: b for b in benchmarks if b.get("run_type") != "aggregate"}


runs = load_runs(json.load(sys.stdin)["benchmarks"])


def cpu(name):
    return runs[name]["cpu_time"]


def wall(name):
    return runs[name]["real_time"]


def row(label, num, den):
    """num and den are lists of benchmark names whose times add up."""
    try:
        c = sum(cpu(n) for n in num) / sum(cpu(n) for n in den)
        w = sum(wall(n) for n in num) / sum(wall(n) for n in den)
        ms = sum(cpu(n) for n in num)
    except KeyError as missing:
        print(f"{label:<52} (not run: {missing})")
        return
    print(f"{label:<52} {c:6.2f}x cpu {w:6.2f}x wall   ({ms:8.1f} ms cpu)")


print("workload                                              ratio")
row("save plain file / cereal save to a file", ["BM_ProjectSaveFile/gzip:0"], ["BM_CerealSaveFile"])
row("save plain file / cereal save to memory", ["BM_ProjectSaveFile/gzip:0"], ["BM_CerealSave"])
row("floor: write the bytes to a file / cereal file", ["BM_FloorWriteFile"], ["BM_CerealSaveFile"])
row("save plain file / write floor", ["BM_ProjectSaveFile/gzip:0"], ["BM_FloorWriteFile"])
row("save to memory / cereal save to memory", ["BM_ProjectSaveMemory"], ["BM_CerealSave"])
row("load plain file, sequential / cereal load", ["BM_ProjectLoadFile/gzip:0/tree:0"], ["BM_CerealLoad"])
row("load memory, sequential / cereal load", ["BM_ProjectLoad/tree:0"], ["BM_CerealLoad"])
row("load plain file, tree / sequential", ["BM_ProjectLoadFile/gzip:0/tree:1"],
    ["BM_ProjectLoadFile/gzip:0/tree:0"])
row("load memory, tree / sequential", ["BM_ProjectLoad/tree:1"], ["BM_ProjectLoad/tree:0"])
row("save gzip 2 / (plain save + zlib deflate)", ["BM_ProjectSaveFile/gzip:1"],
    ["BM_ProjectSaveFile/gzip:0", "BM_ZlibDeflate"])
row("load gzip 2 / (plain load + zlib inflate)", ["BM_ProjectLoadFile/gzip:1/tree:0"],
    ["BM_ProjectLoadFile/gzip:0/tree:0", "BM_ZlibInflate"])
row("floor: walk fields / cereal load", ["BM_FloorWalkFields"], ["BM_CerealLoad"])
row("floor: build objects / cereal load", ["BM_FloorBuildObjects"], ["BM_CerealLoad"])
row("floor: walk + build / cereal load", ["BM_FloorWalkFields", "BM_FloorBuildObjects"],
    ["BM_CerealLoad"])
row("load sequential / (walk + build floor)", ["BM_ProjectLoad/tree:0"],
    ["BM_FloorWalkFields", "BM_FloorBuildObjects"])

for name, counter, label in [
        ("BM_ProjectLoadedMemory", "bytes_per_item", "held per loaded item"),
        ("BM_ProjectLoadedMemory", "peak_bytes_per_item", "sequential reader peak per item"),
        ("BM_ProjectLoadTreePeak", "peak_bytes_per_item", "tree reader peak per item"),
        ("BM_FloorBuildObjects", "bytes_per_item", "floor: the same objects built by setters"),
        ("BM_CerealLoad", "bytes_per_item", "cereal's structs per item")]:
    # Benchmarks of a fixed iteration count carry it in their name.
    found = [b for n, b in runs.items() if n.split("/iterations:")[0] == name and counter in b]
    if found:
        print(f"{label:<52} {found[0][counter]:8.0f} bytes")


def scale_rows(family):
    """(items, benchmark) of one scaling family, smallest first."""
    found = [(int(n.split("/")[1].split(":")[1]), b) for n, b in runs.items()
             if n.split("/")[0] == family]
    return sorted(found, key=lambda pair: pair[0])


def spread(rows):
    per = [b["ns_per_item"] for _, b in rows]
    return max(per) / min(per)


print("scaling, save + load per item (cpu)   " +
      "".join(f"{n:>12,}" for n, _ in scale_rows("BM_ProjectScale")) + "   spread")
for family, label in [("BM_ProjectScale", "ours"), ("BM_ProjectScaleCereal", "cereal, plain structs")]:
    rows = scale_rows(family)
    if not rows:
        print(f"  {label:<36} (not run)")
        continue
    print(f"  {label:<36}" + "".join(f"{b['ns_per_item']:9.0f} ns" for _, b in rows) +
          f"   {spread(rows):5.2f}x")
    print(f"  {'  page faults per item':<36}" +
          "".join(f"{b.get('faults_per_item', 0):12.2f}" for _, b in rows))
