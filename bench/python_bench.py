#!/usr/bin/env python3
"""The Python package against the library and against plain Python data.

    PYTHONPATH=build/python python3 bench/python_bench.py [FILE]

Writes a project of about 110,000 items (a source text and two translations
each) to FILE (default /tmp/locmodel-python-bench.lmp) unless it exists, then
prints the load time and the resident memory after loading, and how many
items per second a walk reads (resource id and every translation's text)
from the tree and from the same data as dicts and lists (the best of three
walks each, and their ratio). The load compares with LoadProject timed in a
C++ program on the same file.
"""
import os
import sys
import time

import locmodel


def rss_mb():
    with open("/proc/self/statm") as f:
        return int(f.read().split()[1]) * os.sysconf("SC_PAGE_SIZE") / 1e6


def make(path):
    root = locmodel.Item(type=1, res_id="@Bench")
    for f in range(100):
        folder = locmodel.Item(type=2, res_id=f"@folder{f}")
        root.children.append(folder)
        for r in range(1100):
            res = locmodel.Item(type=12, res_id=f"#{r}")
            res.props["Text"] = f"Source text number {r} of folder {f}."
            for lang in (1031, 1036):
                res.translations[lang] = f"Übersetzung {r} ({lang})"
            folder.children.append(res)
    locmodel.save(root, path)


def as_dicts(item):
    return {"res_id": item.res_id, "translations": {lang: t.text for lang, t in item.translations.items()},
            "children": [as_dicts(child) for child in item.children]}


def best_rate(walk, runs=3):
    """Items per second of the fastest of a few walks: the machine's other
    work only ever slows one down."""
    rates = []
    for _ in range(runs):
        start = time.perf_counter()
        count = walk()
        rates.append(count / (time.perf_counter() - start))
    return max(rates)


def main():
    path = sys.argv[1] if len(sys.argv) > 1 else "/tmp/locmodel-python-bench.lmp"
    if not os.path.exists(path):
        make(path)
    start = time.perf_counter()
    root = locmodel.load(path)
    print(f"load: {time.perf_counter() - start:.2f} s, RSS {rss_mb():.0f} MB")

    def walk_tree():
        count = 0
        for item, _ in root.walk():
            item.res_id
            for trans in item.translations.values():
                trans.text
            count += 1
        return count

    def walk_dicts():
        stack, count = [dicts], 0
        while stack:
            node = stack.pop()
            node["res_id"]
            for text in node["translations"].values():
                pass
            stack.extend(reversed(node["children"]))
            count += 1
        return count

    # The tree is walked before the dicts exist: they would make its
    # garbage collections slower.
    tree_rate = best_rate(walk_tree)
    dicts = as_dicts(root)
    dict_rate = best_rate(walk_dicts)
    print(f"walk of the tree: {tree_rate:,.0f} items/s")
    print(f"walk of dicts:    {dict_rate:,.0f} items/s ({dict_rate / tree_rate:.1f}x)")

if __name__ == "__main__":
    main()
