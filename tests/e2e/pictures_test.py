"""End-to-end test of scripts/capture-pictures.py, the script behind
`make pictures`: it makes all four pictures of the real game into a
temporary folder, and the title and the menu must equal the headless game's
frames pixel for pixel.

  pictures_test.py --build-dir DIR --screen PATH
"""

import os
import shutil
import struct
import subprocess
import sys
import tempfile
import unittest
import zlib

HERE = os.path.dirname(os.path.abspath(__file__))
SCRIPT = os.path.join(os.path.dirname(os.path.dirname(HERE)), "scripts", "capture-pictures.py")
sys.path.insert(0, HERE)
import harness  # noqa: E402
from harness import run_tests  # noqa: E402

PATHS = harness.PATHS
BLACK, WHITE = (0, 0, 0), (255, 255, 255)


def read_png(path):
    """(width, height, rows of (r, g, b)) of an 8-bit, non-interlaced PNG
    whose rows are unfiltered, as the script writes them."""
    with open(path, "rb") as png:
        data = png.read()
    if data[:8] != b"\x89PNG\r\n\x1a\n":
        raise ValueError(f"{path} is not a PNG")
    at, chunks = 8, {}
    while at < len(data):
        length, kind = struct.unpack(">I4s", data[at:at + 8])
        body = data[at + 8:at + 8 + length]
        if zlib.crc32(kind + body) & 0xFFFFFFFF != struct.unpack(
                ">I", data[at + 8 + length:at + 12 + length])[0]:
            raise ValueError(f"{path}: bad CRC in {kind!r}")
        chunks[kind] = chunks.get(kind, b"") + body
        at += 12 + length
    width, height, depth, colour_type, _, _, interlace = struct.unpack(">IIBBBBB",
                                                                       chunks[b"IHDR"])
    if depth != 8 or interlace != 0 or colour_type not in (2, 3):
        raise ValueError(f"{path}: not an 8-bit indexed or RGB PNG")
    raw = zlib.decompress(chunks[b"IDAT"])
    channels = 1 if colour_type == 3 else 3
    stride = 1 + width * channels
    palette = chunks.get(b"PLTE", b"")
    rows = []
    for y in range(height):
        line = raw[y * stride:(y + 1) * stride]
        if line[0] != 0:
            raise ValueError(f"{path}: row {y} is filtered")
        if colour_type == 3:
            rows.append([tuple(palette[3 * i:3 * i + 3]) for i in line[1:]])
        else:
            rows.append([tuple(line[1 + 3 * x:4 + 3 * x]) for x in range(width)])
    return width, height, rows


def read_pgm(path):
    with open(path, "rb") as pgm:
        data = pgm.read()
    magic, width, height, top, pixels = data.split(maxsplit=4)
    assert magic == b"P5" and top == b"255"
    width, height = int(width), int(height)
    return width, height, [pixels[y * width:(y + 1) * width] for y in range(height)]


class PicturesTest(unittest.TestCase):
    TIMEOUT = 300

    def setUp(self):
        self.out = tempfile.mkdtemp(prefix="rallix-pictures-")
        self.addCleanup(shutil.rmtree, self.out, True)

    def headless(self, situation):
        path = os.path.join(self.out, f"{situation}.pgm")
        subprocess.run([PATHS["screen"], "render", situation, path], check=True)
        _, _, rows = read_pgm(path)
        return [[WHITE if value else BLACK for value in row] for row in rows]

    def test_the_four_pictures_are_the_games_frames(self):
        result = subprocess.run([sys.executable, SCRIPT, "--build", PATHS["build"],
                                 "--out", self.out], capture_output=True, text=True,
                                check=False, timeout=900)
        self.assertEqual(result.returncode, 0, result.stdout + result.stderr)
        pictures = {}
        for name in ("title", "config", "rally", "bonus"):
            width, height, rows = read_png(os.path.join(self.out, f"{name}.png"))
            self.assertEqual((width, height), (640, 480), name)
            self.assertLessEqual({pixel for row in rows for pixel in row}, {BLACK, WHITE}, name)
            pictures[name] = rows
        self.assertEqual(pictures["title"], self.headless("title"))
        self.assertEqual(pictures["config"], self.headless("config"))
        # The rally and the won stage are no menu: the court is empty of it.
        for name in ("rally", "bonus"):
            self.assertNotEqual(pictures[name], pictures["title"], name)
            self.assertNotEqual(pictures[name], pictures["config"], name)
        self.assertNotEqual(pictures["rally"], pictures["bonus"])

    def test_an_unknown_picture_is_refused_before_anything_runs(self):
        result = subprocess.run([sys.executable, SCRIPT, "--build", PATHS["build"],
                                 "--out", self.out, "title", "scores"],
                                capture_output=True, text=True, check=False, timeout=60)
        self.assertEqual(result.returncode, 2)
        self.assertIn("scores", result.stderr)
        self.assertEqual(os.listdir(self.out), [])


if __name__ == "__main__":
    sys.exit(run_tests(__name__, __doc__))
