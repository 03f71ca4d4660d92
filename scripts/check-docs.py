#!/usr/bin/env python3
"""Keeps the documents true of the tree and the build.

Three rules:
- every folder of the product (one that git tracks a file in, outside the
  tests, benchmarks, fuzz targets and the documents themselves) is named in
  docs/architecture.md by its whole path with a slash after it ("sdl/app/");
- a size a document states is the size of what the build made, within 10 %.
  A size is tied to its files by a comment right after it, unseen when the
  page is shown:  "169 KB<!-- size build/web/site/rallix.wasm -->".  The
  comment names one or more paths from the top of the tree (a folder counts
  all its files; * matches as the shell's does), and "gzip" before them
  counts each file as gzip -9 makes it. KB and MB are 1000 and 1000000
  bytes. A size in README.md without such a comment is an error too, since
  nothing would keep it true;
- the version is written in the root CMakeLists.txt alone: a document that
  repeats it would go stale at the next release (docs/demo-format.md's
  example is a file that version recorded, and stays as it is).

Usage: scripts/check-docs.py [--folders-only] [root]. Prints each fault, one
line each, and exits 1, or says the documents hold and exits 0. A size whose
files are not built is a fault: run it after the builds.
"""
import glob
import gzip
import os
import re
import subprocess
import sys

NOT_PRODUCT = ("tests", "bench", "fuzz", "docs", ".ci", ".github")
DOCUMENTS = ["README.md", "HACKING.md", "docs/*.md", "web/README.md", "packaging/README.md"]
UNITS = {"B": 1, "bytes": 1, "KB": 1000, "MB": 1000 * 1000}
NUMBER = r"(\d+(?:\.\d+)?)\s*(B|bytes|KB|MB)\b"
MARKED = re.compile(NUMBER + r"\s*<!--\s*size\s+(gzip\s+)?([^>]*?)\s*-->")
ANY_SIZE = re.compile(NUMBER)
TOLERANCE = 0.10


def product_folders(root):
    listed = subprocess.run(["git", "-C", root, "ls-files"], capture_output=True, text=True,
                            check=True).stdout.split("\n")
    folders = {os.path.dirname(path) for path in listed if path}
    return sorted(f for f in folders if f and f.split("/")[0] not in NOT_PRODUCT)


def folder_faults(root):
    with open(os.path.join(root, "docs/architecture.md"), encoding="utf-8") as document:
        text = document.read()
    return [f"docs/architecture.md never names the folder {folder}/"
            for folder in product_folders(root) if folder + "/" not in text]


def files_of(root, pattern):
    found = []
    for path in sorted(glob.glob(os.path.join(root, pattern))):
        if os.path.isdir(path):
            for folder, _, names in os.walk(path):
                found += [os.path.join(folder, name) for name in sorted(names)]
        else:
            found.append(path)
    return found


def size_of(root, paths, gzipped):
    """The bytes of the files, or None when one of the paths has none."""
    total = 0
    for pattern in paths.split():
        files = files_of(root, pattern)
        if not files:
            return None
        for path in files:
            with open(path, "rb") as file:
                data = file.read()
            total += len(gzip.compress(data, 9, mtime=0)) if gzipped else len(data)
    return total


def size_faults(root):
    faults = []
    for pattern in DOCUMENTS:
        for path in sorted(glob.glob(os.path.join(root, pattern))):
            name = os.path.relpath(path, root)
            with open(path, encoding="utf-8") as document:
                lines = document.read().split("\n")
            for number, line in enumerate(lines, 1):
                marked = set()
                for match in MARKED.finditer(line):
                    marked.add(match.start())
                    stated = float(match.group(1)) * UNITS[match.group(2)]
                    actual = size_of(root, match.group(4), bool(match.group(3)))
                    where = f"{name}:{number}: {match.group(1)} {match.group(2)} of {match.group(4)}"
                    if actual is None:
                        faults.append(f"{where}: not built")
                    elif abs(stated - actual) > TOLERANCE * actual:
                        faults.append(f"{where}: the build has {actual} bytes")
                if name == "README.md":
                    faults += [f"{name}:{number}: {m.group(0)} says of what, in no size comment"
                               for m in ANY_SIZE.finditer(line) if m.start() not in marked]
    return faults


def version_faults(root):
    with open(os.path.join(root, "CMakeLists.txt"), encoding="utf-8") as cmake:
        version = re.search(r"project\(Rallix VERSION ([0-9.]+)", cmake.read()).group(1)
    written = re.compile(r"(?<![0-9.])" + re.escape(version) + r"(?![0-9])")
    faults = []
    for pattern in DOCUMENTS:
        for path in sorted(glob.glob(os.path.join(root, pattern))):
            name = os.path.relpath(path, root)
            if name == "docs/demo-format.md":
                continue
            with open(path, encoding="utf-8") as document:
                for number, line in enumerate(document, 1):
                    if written.search(line):
                        faults.append(f"{name}:{number}: the version {version} written by hand")
    return faults


def main(arguments):
    folders_only = "--folders-only" in arguments
    rest = [a for a in arguments if a != "--folders-only"]
    root = rest[0] if rest else os.path.join(os.path.dirname(os.path.abspath(__file__)), "..")
    faults = folder_faults(root) + version_faults(root)
    if not folders_only:
        faults += size_faults(root)
    for fault in faults:
        print(fault)
    if not faults:
        print("docs: every product folder named, no version by hand" +
              ("" if folders_only else ", every stated size within 10 % of the build"))
    return 1 if faults else 0


if __name__ == "__main__":
    sys.exit(main(sys.argv[1:]))
