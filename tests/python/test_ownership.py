"""Each case here read freed memory or freed a block twice without the
ownership rules (run them under the sanitizer build to see it)."""
import gc
import os
import threading

import pytest

import locmodel
from conftest import SAMPLE


def test_a_child_keeps_its_root_alive():
    leaf = locmodel.load(SAMPLE).children[0].children[0].children[0]
    trans = leaf.translations[1031]
    gc.collect()
    assert leaf.parent.parent.parent.res_id == "@Demo" and trans.text == "Hauptfenster"


def test_a_removed_subtree_belongs_to_python(sample):
    leaf = sample.children[0].children[0].children[0]
    sources = sample.children.pop(0)
    del sample
    gc.collect()
    assert sources.parent is None and leaf.path == "/0/0"
    del sources
    gc.collect()
    assert leaf.parent.parent.res_id == "@Sources"
    detached = leaf.translations.pop(1031)
    del leaf
    gc.collect()
    assert detached.item is None and detached.text == "Hauptfenster"


def test_an_item_in_a_tree_cannot_join_another(sample):
    other = locmodel.Item()
    child = sample.children[0]
    with pytest.raises(ValueError, match="already has a parent"):
        other.children.append(child)
    with pytest.raises(ValueError, match="own subtree"):
        child.children[0].children.append(sample)
    moved = sample.children.pop(0)
    other.children.append(moved)
    del other
    gc.collect()
    assert moved.parent.children[0] is moved
    trans = moved.children[0].children[0].translations[1031]
    with pytest.raises(ValueError, match="belongs to an item"):
        locmodel.Item().translations[1031] = trans


def test_a_closed_tree_raises_instead_of_crashing():
    with locmodel.load(SAMPLE) as root:
        child = root.children[0]
        trans = child.children[0].children[0].translations[1036]
        walk = root.walk()
        next(walk)
    for use in (lambda: child.res_id, lambda: trans.text, lambda: next(walk), lambda: root.children[0]):
        with pytest.raises(ReferenceError):
            use()
    assert repr(child) == "<locmodel.Item (freed)>"
    with pytest.raises(ValueError, match="without a parent"):
        locmodel.load(SAMPLE).children[0].close()


def test_walk_survives_removal_of_the_current_subtree(sample):
    seen = []
    for item, depth in sample.walk():
        seen.append(item.res_id)
        if item.res_id == "@main.rc":
            item.parent.children.remove(item)
            gc.collect()
    assert "@IDOK" in seen and "@Docs" in seen


def test_two_threads_load_two_files(tmp_path):
    copy = tmp_path / "copy.lmp.gz"
    locmodel.save(locmodel.load(SAMPLE), copy, gzip=True)
    counts = {}
    def load(path):
        for _ in range(20):
            counts[path] = len(list(locmodel.load(path).walk()))
    threads = [threading.Thread(target=load, args=(p,)) for p in (SAMPLE, copy)]
    for t in threads:
        t.start()
    for t in threads:
        t.join()
    assert counts == {SAMPLE: 13, copy: 13}


@pytest.mark.skipif("asan" in os.environ.get("LD_PRELOAD", ""), reason="the sanitizer keeps freed memory aside")
def test_loading_and_freeing_keeps_memory_stable(tmp_path):
    root = locmodel.Item()
    for i in range(3000):
        child = locmodel.Item(res_id=f"#{i}")
        child.translations[1031] = "x" * 100
        root.children.append(child)
    path = tmp_path / "big.lmp"
    locmodel.save(root, path)
    def rss():
        with open("/proc/self/statm") as f:
            return int(f.read().split()[1]) * 4096
    def cycle():
        with locmodel.load(path) as loaded:
            sum(1 for _ in loaded.walk())
        locmodel.load(path).children.pop(0)  # freed by dropping, not by close
    for _ in range(5):
        cycle()
    before = rss()
    for _ in range(40):
        cycle()
    assert rss() - before < 8 << 20
