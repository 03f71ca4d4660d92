#!/usr/bin/env python3
"""Keeps the layers' includes pointing down.

The layers, lowest first: base, display, game, demo; above them, side by
side, the platforms sdl (the desktop), web (the browser) and libretro (the
core for libretro frontends)
(docs/architecture.md draws them). A file may include its own
layer and the ones below it, never one above it or a platform beside its own.
SDL's headers belong to sdl/ alone and emscripten's to web/ alone. The folders
beside the layers (tests, bench, fuzz, tools) may use any layer.

Usage: scripts/check-layers.py [root]. Prints each wrong-way include with its
file and line and exits 1, or says the layers are clean and exits 0.
"""
import os
import re
import subprocess
import sys

# Each layer and what its files may include of ours.
LAYERS = {
    "base": {"base"},
    "display": {"base", "display"},
    "game": {"base", "display", "game"},
    "demo": {"base", "display", "game", "demo"},
    "sdl": {"base", "display", "game", "demo", "sdl"},
    "web": {"base", "display", "game", "demo", "web"},
    "libretro": {"base", "display", "game", "demo", "libretro"},
}
# Headers that belong to one platform only.
PLATFORM_HEADERS = [
    (re.compile(r"^SDL2?[/_.]|^SDL\.h$|^SDL_"), "sdl", "SDL"),
    (re.compile(r"^emscripten[/.]"), "web", "emscripten"),
]
INCLUDE = re.compile(r'^\s*#\s*include\s*([<"])([^>"]+)[>"]')
OURS = set(LAYERS) | {"tests", "tools", "bench", "fuzz"}


def source_files(root):
    listed = subprocess.run(["git", "-C", root, "ls-files", "-co", "--exclude-standard",
                             "*.h", "*.cpp", "*.c", "*.hpp"],
                            check=True, capture_output=True, text=True).stdout.split()
    return [name for name in listed if os.path.exists(os.path.join(root, name))]


def check(root):
    faults = []
    for name in source_files(root):
        layer = name.split("/")[0]
        with open(os.path.join(root, name), encoding="utf-8", errors="replace") as text:
            for number, line in enumerate(text, 1):
                match = INCLUDE.match(line)
                if not match:
                    continue
                included = match.group(2)
                where = f"{name}:{number}: {line.strip()}"
                for pattern, home, what in PLATFORM_HEADERS:
                    if pattern.search(included) and layer in LAYERS and layer != home:
                        faults.append(f"{where}  ({what} belongs to {home}/ only)")
                if layer not in LAYERS or match.group(1) != '"':
                    continue
                top = included.split("/")[0]
                if top not in OURS:
                    continue
                allowed = LAYERS[layer]
                if top not in allowed:
                    faults.append(f"{where}  ({layer}/ may include only "
                                  f"{', '.join(sorted(allowed))})")
    return faults


def main():
    root = sys.argv[1] if len(sys.argv) > 1 else os.path.join(os.path.dirname(__file__), "..")
    faults = check(os.path.abspath(root))
    for fault in faults:
        print(fault)
    if faults:
        print(f"layers: {len(faults)} include(s) point the wrong way", file=sys.stderr)
        return 1
    print("layers: every include points down")
    return 0


if __name__ == "__main__":
    sys.exit(main())
