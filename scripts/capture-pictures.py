#!/usr/bin/env python3
"""Captures the real game under a private Xvfb as the pictures in docs/:

  title.png   the title screen
  config.png  the configuration menu
  rally.png   a rally with the ball in flight, after the player's first point
  bonus.png   the screen of a won stage ("BONUS POINT", "YOU WIN")

The title and the menu come from the rallix executable, driven with xdotool,
and are checked against the headless game's frames before they are kept. The
rally and the won stage come from rallix_autoplay: the same game in the same
window, whose rallies an autopilot plays. Each picture is the window's client
area exactly as X shows it (xwd), written as a PNG.

  capture-pictures.py [--build DIR] [--out DIR] [PICTURE ...]

DIR defaults to build/default and docs/; without PICTUREs all four are made.
`make pictures` runs it.
"""

import argparse
import os
import struct
import sys
import zlib

ROOT = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
sys.path.insert(0, os.path.join(ROOT, "tests", "e2e"))
from harness import Game, HarnessError, WaitTimeout, XServer, wait_for  # noqa: E402

PICTURES = ("title", "config", "rally", "bonus")

# Playing a stage to its end takes the autopilot a minute or two of real time.
STAGE_SECONDS = 400


# --- xwd in, PNG out ----------------------------------------------------------

def read_xwd(path):
    """(width, height, rows of (r, g, b) tuples) of an xwd dump of a
    TrueColor or DirectColor window in ZPixmap format."""
    with open(path, "rb") as dump:
        data = dump.read()
    if len(data) < 100:
        raise HarnessError(f"{path}: too short for an xwd dump")
    fields = struct.unpack(">25I", data[:100])
    header_size, version, pixmap_format = fields[0], fields[1], fields[2]
    width, height, byte_order = fields[4], fields[5], fields[7]
    bits_per_pixel, bytes_per_line, visual_class = fields[11], fields[12], fields[13]
    masks, colours = fields[14:17], fields[19]
    if version != 7 or pixmap_format != 2 or visual_class not in (4, 5) or \
            bits_per_pixel not in (24, 32):
        raise HarnessError(f"{path}: not a 24 or 32-bit ZPixmap xwd dump of a true-colour window")
    pixel_bytes = bits_per_pixel // 8
    start = header_size + 12 * colours
    if len(data) < start + bytes_per_line * height:
        raise HarnessError(f"{path}: truncated")

    def channel(value, mask):
        shift = (mask & -mask).bit_length() - 1
        top = mask >> shift
        return ((value & mask) >> shift) * 255 // top

    order = "big" if byte_order else "little"
    rows = []
    for y in range(height):
        line = data[start + y * bytes_per_line:start + (y + 1) * bytes_per_line]
        row = []
        for x in range(width):
            value = int.from_bytes(line[x * pixel_bytes:(x + 1) * pixel_bytes], order)
            row.append(tuple(channel(value, mask) for mask in masks))
        rows.append(row)
    return width, height, rows


def write_png(path, width, height, rows):
    """An 8-bit PNG: indexed when the picture has at most 256 colours (the
    game's have two), RGB otherwise."""
    colours = sorted({pixel for row in rows for pixel in row})

    def chunk(kind, body):
        return (struct.pack(">I", len(body)) + kind + body +
                struct.pack(">I", zlib.crc32(kind + body) & 0xFFFFFFFF))

    if len(colours) <= 256:
        index = {colour: i for i, colour in enumerate(colours)}
        raw = b"".join(b"\0" + bytes(index[pixel] for pixel in row) for row in rows)
        header = struct.pack(">IIBBBBB", width, height, 8, 3, 0, 0, 0)
        palette = chunk(b"PLTE", b"".join(bytes(colour) for colour in colours))
    else:
        raw = b"".join(b"\0" + b"".join(bytes(pixel) for pixel in row) for row in rows)
        header = struct.pack(">IIBBBBB", width, height, 8, 2, 0, 0, 0)
        palette = b""
    png = (b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", header) + palette +
           chunk(b"IDAT", zlib.compress(raw, 9)) + chunk(b"IEND", b""))
    temporary = path + ".part"
    with open(temporary, "wb") as out:
        out.write(png)
    os.replace(temporary, path)


def keep(game, capture, out_dir, name):
    width, height, rows = read_xwd(capture)
    path = os.path.join(out_dir, f"{name}.png")
    write_png(path, width, height, rows)
    print(f"{path}: {width} x {height}")


# --- driving the game ---------------------------------------------------------

def started(x, program, screen):
    game = Game(program, screen, display=x.display)
    game.start()
    game.find_window()
    try:
        game.wait_for_frame("title")
    except WaitTimeout:
        game.stop()
        raise
    return game


def capture_until(game, wanted, timeout, what):
    """Captures the window until `wanted(lines)` holds for what it shows;
    that capture's path."""

    def capture():
        path = game.capture()
        return path, game.screen_text(path)

    return wait_for(what, capture, lambda seen: wanted(seen[1]), timeout, game.gone,
                    lambda seen: "\n".join(seen[1]))[0]


def menus(x, tools, out_dir, wanted):
    game = started(x, tools["rallix"], tools["screen"])
    try:
        if "title" in wanted:
            keep(game, game.capture(), out_dir, "title")
        if "config" in wanted:
            game.press("Down")
            game.wait_for_frame("title-config")
            game.press("space")
            game.wait_for_frame("config")
            keep(game, game.capture(), out_dir, "config")
    finally:
        game.stop()


def ball_in_flight(lines):
    """The player has a point and the ball (cells no glyph matches, or an "O"
    that happens to sit on a cell) is in the middle of the court, clear of
    the walls."""
    player_points = lines[16][25:30].strip()
    return player_points not in ("", "0") and \
        any("?" in line[4:18] or "O" in line[4:18] for line in lines[8:17])


def stage_won(lines):
    return "BONUS POINT" in lines[15] and "YOU WIN" in lines[12]


def play(x, tools, out_dir, wanted):
    game = started(x, tools["autoplay"], tools["screen"])
    try:
        game.press("space")  # GAME START
        if "rally" in wanted:
            keep(game, capture_until(game, ball_in_flight, STAGE_SECONDS, "rally picture"),
                 out_dir, "rally")
        if "bonus" in wanted:
            keep(game, capture_until(game, stage_won, STAGE_SECONDS, "won stage"),
                 out_dir, "bonus")
    finally:
        game.stop()


def main():
    parser = argparse.ArgumentParser(description=__doc__,
                                     formatter_class=argparse.RawDescriptionHelpFormatter)
    parser.add_argument("--build", default=os.path.join(ROOT, "build", "default"),
                        help="the built tree (default: build/default)")
    parser.add_argument("--out", default=os.path.join(ROOT, "docs"),
                        help="where the pictures go (default: docs/)")
    parser.add_argument("pictures", nargs="*", metavar="PICTURE",
                        help=f"any of {', '.join(PICTURES)} (default: all)")
    args = parser.parse_args()
    unknown = set(args.pictures) - set(PICTURES)
    if unknown:
        parser.error(f"unknown pictures {', '.join(sorted(unknown))}; "
                     f"choose from {', '.join(PICTURES)}")
    wanted = set(args.pictures or PICTURES)
    tools = {
        "rallix": os.path.join(args.build, "app", "rallix"),
        "screen": os.path.join(args.build, "tests", "e2e", "rallix_screen"),
        "autoplay": os.path.join(args.build, "tests", "e2e", "rallix_autoplay"),
    }
    for name, path in tools.items():
        if not os.access(path, os.X_OK):
            print(f"capture-pictures: {path} is missing: build {args.build} first "
                  f"(make build)", file=sys.stderr)
            return 1
    os.makedirs(args.out, exist_ok=True)
    try:
        with XServer() as x:
            if wanted & {"title", "config"}:
                menus(x, tools, args.out, wanted)
            if wanted & {"rally", "bonus"}:
                play(x, tools, args.out, wanted)
    except (HarnessError, WaitTimeout) as error:
        print(f"capture-pictures: {error}", file=sys.stderr)
        return 1
    return 0


if __name__ == "__main__":
    sys.exit(main())
