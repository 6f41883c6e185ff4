#!/usr/bin/env python3
"""Writes the sample streams in examples/ and the JSON that
`locmodel dump-stream --json` must print for them.

The bytes are assembled here by hand, independently of the library, so the
samples also check the library's reading of the format; the JSON comes from
Python's own json.dumps, the reference for the tool's escaping."""
import gzip
import json
import os
import struct

HERE = os.path.dirname(os.path.abspath(__file__))


class Writer:
    def __init__(self):
        self.out = bytearray()
        self.items = [[]]  # the JSON items of each open node

    def enter(self, name=None, raw_type=None):
        """name: None (anonymous), str (text) or int (byte name)."""
        if raw_type is not None:  # an unknown name type reads as anonymous
            self.out += bytes([0x18, raw_type])
            name = None
        elif name is None:
            self.out += b"\x18\x00"
        elif isinstance(name, int):
            self.out += bytes([0x18, 0x02, name])
        else:
            units = name.encode("utf-16-le", "surrogatepass")
            self.out += bytes([0x18, 0x01, len(units) // 2]) + units
            name = name.encode("utf-16", "surrogatepass").decode("utf-16", "replace")
        node = {"node": name, "items": []}
        self.items[-1].append(node)
        self.items.append(node["items"])

    def leave(self):
        self.out += b"\x19"
        self.items.pop()

    def field(self, data):
        self.out += b"\x1a" + struct.pack("<I", len(data)) + data
        self.items[-1].append({"field": data.hex()})

    def u32(self, v):
        self.field(struct.pack("<I", v))

    def text(self, s):
        self.field(s.encode("utf-16-le", "surrogatepass"))

    def json(self):
        return json.dumps({"items": self.items[0]}, ensure_ascii=False,
                          separators=(",", ":")) + "\n"


def project_stream():
    w = Writer()
    for name, value in (("Major", 9), ("Minor", 0), ("Build", 8298), ("SubBuild", 0)):
        w.enter(name); w.u32(value); w.leave()
    w.enter("Root")
    w.u32(1)                      # item type
    w.text("@IDD_MAIN")           # resource id
    w.text("Caption \"Main\"\n\tline two \u00e9\u4e2d\U0001F600")
    w.enter(1)                    # a property map: node #1, count, entries
    props = [  # (id, text name, class name, write value) in name order
        (0, "Count", 0x66, lambda: w.field(struct.pack("<i", 42))),
        (0, "Flag", 0x63, lambda: None),
        (0, "Langs", "LangSetType", lambda: int_list([0x407, 0x409])),
        (0, "Title", 0x64, lambda: w.text("Main \u00e9")),
        (2, "", 0x64, lambda: w.text("Hello")),
    ]

    def int_list(values):
        w.u32(len(values))
        for v in values:
            w.enter(); w.field(struct.pack("<i", v)); w.leave()

    w.u32(len(props))
    for prop_id, name, class_name, write_value in props:
        w.enter()
        w.enter(); w.field(struct.pack("<H", prop_id)); w.text(name); w.leave()
        w.enter()
        w.field(b"\x00")           # not null
        if isinstance(class_name, int):
            w.field(b"\x02"); w.field(bytes([class_name]))
        else:
            w.field(b"\x01"); w.text(class_name)
        write_value()
        w.leave()
        w.leave()
    w.leave()
    w.enter(5)                    # a byte name
    w.field(b"")                  # an empty field
    w.field(bytes(range(256)) * 4)  # a 1 KB blob
    w.leave()
    w.enter(raw_type=7)           # an unknown name type reads as anonymous
    w.leave()
    w.enter("ctl\x01\x1f\x7f\\/\"")  # control characters and escapes in a name
    w.leave()
    w.enter("lone\ud800surrogate")  # an unpaired surrogate becomes U+FFFD
    w.leave()
    w.leave()
    return w


def main():
    w = project_stream()
    with open(os.path.join(HERE, "project-stream.bin"), "wb") as f:
        f.write(w.out)
    with open(os.path.join(HERE, "project-stream.bin.json"), "w", encoding="utf-8") as f:
        f.write(w.json())
    with open(os.path.join(HERE, "project-stream.gz"), "wb") as f:
        f.write(gzip.compress(bytes(w.out), compresslevel=2, mtime=0))
    with open(os.path.join(HERE, "project-stream.gz.json"), "w", encoding="utf-8") as f:
        f.write(w.json())


if __name__ == "__main__":
    main()
