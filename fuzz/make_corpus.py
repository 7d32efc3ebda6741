#!/usr/bin/env python3
"""Writes the seed corpus of the loader harnesses from the documented layouts.

Run from the repository root after a release build (the bundle seed is packed by the build's own
packer, the characteristic seed is one the build generated):
    python3 fuzz/make_corpus.py build/release
"""
import os
import struct
import subprocess
import sys
import tempfile

build = sys.argv[1] if len(sys.argv) > 1 else "build/release"
root = os.path.join(os.path.dirname(os.path.abspath(__file__)), "corpus")


def preset(tag, version, count, values):
    return tag.encode().ljust(4, b"\0")[:4] + struct.pack("<ii", version, count) + b"".join(struct.pack("<f", v) for v in values)


def put(harness, name, data):
    folder = os.path.join(root, harness)
    os.makedirs(folder, exist_ok=True)
    with open(os.path.join(folder, name), "wb") as f:
        f.write(data)


# The delay's older layouts: one seed per version, with old slots and LFO settings in place.
v2 = [0.0] * 180
v2[0], v2[3], v2[36], v2[56], v2[57], v2[60], v2[61], v2[62], v2[65] = 0.5, 0.4, 2, 3, 0.5, 19, 2, 0.5, 31
put("OlderLayoutsFuzz", "blor-2", preset("BLor", 2, 180, v2))
put("OlderLayoutsFuzz", "blor-2-short", preset("BLor", 2, 176, v2[:176]))
v1 = [0.0] * 150
v1[9], v1[10], v1[11], v1[12], v1[33], v1[45], v1[46], v1[49] = 0.8, 0.5, 0.6, -0.5, 2, 1, 0.5, 5
put("OlderLayoutsFuzz", "bdel-1", preset("BDel", 1, 150, v1))
put("OlderLayoutsFuzz", "blms-3", preset("BLms", 3, 704, [0.0] * 704))
put("OlderLayoutsFuzz", "blms-4", preset("BLms", 4, 705, [0.25] * 705))
put("OlderLayoutsFuzz", "truncated", preset("BLor", 2, 180, v2[:90]))

put("PresetFileFuzz", "current", preset("BLms", 5, 16, [i * 0.5 for i in range(16)]))
put("PresetFileFuzz", "short-list", preset("BLms", 5, 4, [1, 2, 3, 4]))
put("PresetFileFuzz", "truncated", preset("BLms", 5, 16, [1, 2, 3]))
put("PresetFileFuzz", "negative-count", preset("BLms", 5, -1, []))
put("PresetFileFuzz", "oldest", preset("BDel", 1, 5, [1, 0.8, 9, 0.5, 3]))
put("PresetFileFuzz", "version3", preset("BLms", 3, 15, [0.25] * 15))
put("PresetFileFuzz", "map", b"PMap" + struct.pack("<iii", 1, 16, 2) + struct.pack("<ii", 3, -1) + b"".join(struct.pack("<i", i) for i in range(16) if i != 3))

put("ComponentPresetFuzz", "section", preset("BLms", 1, 17, [i - 8.0 for i in range(17)]))
put("ComponentPresetFuzz", "surplus", preset("BLms", 1, 20, [7.0] * 20))
put("ComponentPresetFuzz", "version2", preset("BLms", 2, 17, [1.0] * 17))

entries = [-1] * 128
entries[7], entries[1], entries[127] = 12, 0x100000, 5
put("ControllerMapFuzz", "map", b"BXCM" + struct.pack("<i", 1) + b"".join(struct.pack("<i", e) for e in entries))
put("ControllerMapFuzz", "short", b"BXCM" + struct.pack("<i", 1) + struct.pack("<10i", *range(10)))
dup = [-1] * 128
dup[0] = dup[5] = 3
put("ControllerMapFuzz", "duplicate", b"BXCM" + struct.pack("<i", 1) + b"".join(struct.pack("<i", e) for e in dup))

with tempfile.TemporaryDirectory() as tmp:
    for path, data in [("presets/Default Setting.bxp", preset("BLms", 5, 2, [1, 2])),
                       ("presets/_Best Of/Wide.bxp", preset("BLms", 5, 2, [3, 4])),
                       ("appdata/Component Presets/EG/Default.eg", preset("BLms", 1, 1, [9]))]:
        full = os.path.join(tmp, path)
        os.makedirs(os.path.dirname(full), exist_ok=True)
        with open(full, "wb") as f:
            f.write(data)
    out = os.path.join(tmp, "bundle")
    subprocess.check_call([os.path.join(build, "tools/lorimane-bundlepack/lorimane-bundlepack"), out,
                           "ApplicationData=" + os.path.join(tmp, "appdata"), "FactoryPresets=" + os.path.join(tmp, "presets")])
    with open(out, "rb") as f:
        put("FactoryBundleFuzz", "factory", f.read())

with open(os.path.join(build, "tools/filtergen/filters/Cheap.fil"), "rb") as f:
    cheap = f.read()
put("CharacteristicFileFuzz", "cheap", cheap)
put("CharacteristicFileFuzz", "truncated", cheap[: len(cheap) // 2])
