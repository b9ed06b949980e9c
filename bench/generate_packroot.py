#!/usr/bin/env python3
"""Writes a CMSIS pack root of N descriptions, the size of a long-used uVision installation.

The root holds the packs of a source root (by default ../shared/packs) as they are, every
file, and then copies of its descriptions under other vendor names (Vendor001/<Name>/
<Version>/Vendor001.<Name>.pdsc, <vendor> changed to match) until it holds N descriptions.
The copies come without the packs' other files, as packs whose headers were never
unpacked: they describe the same devices, and a device's pack still resolves to the source
root's own, which has its header. Every file gets the same time stamp in the past, so that
the output depends only on the arguments.

    bench/generate_packroot.py OUT_DIR [--descriptions 159] [--source DIR]

Prints the path of the root, and on stderr its number of descriptions and their size.
"""

import argparse
import os
import re
import shutil
import sys

ROOT = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
STAMP = 1704067200  # 2024-01-01


def descriptions(root):
    found = []
    for vendor in sorted(os.listdir(root)):
        vendor_dir = os.path.join(root, vendor)
        if not os.path.isdir(vendor_dir) or vendor.startswith("."):
            continue
        for name in sorted(os.listdir(vendor_dir)):
            for version in sorted(os.listdir(os.path.join(vendor_dir, name))):
                pdsc = os.path.join(vendor_dir, name, version, f"{vendor}.{name}.pdsc")
                if os.path.isfile(pdsc):
                    found.append((vendor, name, version, pdsc))
    return found


def main():
    parser = argparse.ArgumentParser(description=__doc__.split("\n\n")[0])
    parser.add_argument("out_dir")
    parser.add_argument("--descriptions", type=int, default=159)
    parser.add_argument("--source", default=os.path.join(ROOT, "..", "shared", "packs"))
    args = parser.parse_args()

    source = os.path.abspath(args.source)
    if not os.path.isdir(source):
        print(f"{source} is not there", file=sys.stderr)
        sys.exit(77)  # skipped, for CTest
    originals = descriptions(source)
    if not originals:
        sys.exit(f"no pack descriptions under {source}")
    out = os.path.abspath(args.out_dir)
    if os.path.exists(out):
        shutil.rmtree(out)
    shutil.copytree(source, out, ignore=shutil.ignore_patterns("*.md"))
    for folder, _, files in os.walk(out):
        os.chmod(folder, 0o755)
        for f in files:
            os.chmod(os.path.join(folder, f), 0o644)

    count = len(originals)
    copy = 0
    while count < args.descriptions:
        copy += 1
        vendor_name = f"Vendor{copy:03d}"
        for vendor, name, version, pdsc in originals:
            if count >= args.descriptions:
                break
            with open(pdsc, "rb") as f:
                text = f.read()
            text = re.sub(rb"<vendor>[^<]*</vendor>", b"<vendor>" + vendor_name.encode() +
                          b"</vendor>", text, count=1)
            folder = os.path.join(out, vendor_name, name, version)
            os.makedirs(folder, exist_ok=True)
            with open(os.path.join(folder, f"{vendor_name}.{name}.pdsc"), "wb") as f:
                f.write(text)
            count += 1

    total = 0
    for folder, _, files in os.walk(out):
        for f in files:
            path = os.path.join(folder, f)
            os.utime(path, (STAMP, STAMP))
            if f.endswith(".pdsc"):
                total += os.path.getsize(path)
    print(f"{count} descriptions, {total / 1e6:.1f} MB", file=sys.stderr)
    print(out)


if __name__ == "__main__":
    main()
