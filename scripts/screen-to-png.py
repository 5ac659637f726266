#!/usr/bin/env python3
"""Turns golden screens (64 rows of '#'/'.') into PNGs to look at:
screen-to-png.py OUT_DIR FILE...  (needs ImageMagick's convert)."""
import os
import subprocess
import sys

out_dir, files = sys.argv[1], sys.argv[2:]
os.makedirs(out_dir, exist_ok=True)
for path in files:
    rows = [r for r in open(path).read().split("\n") if r]
    pgm = f"P2 {len(rows[0])} {len(rows)} 1\n" + "\n".join(
        " ".join("1" if c == "#" else "0" for c in r) for r in rows) + "\n"
    name = os.path.splitext(os.path.basename(path))[0]
    subprocess.run(["convert", "pgm:-", "-scale", "400%", os.path.join(out_dir, name + ".png")],
                   input=pgm.encode(), check=True)
