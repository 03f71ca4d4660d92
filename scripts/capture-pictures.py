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
area exactly as X shows it (rallix_screen grab), written as a PNG by rallix_screen.

  capture-pictures.py [--build DIR] [--out DIR] [PICTURE ...]

DIR defaults to build/default and docs/; without PICTUREs all four are made.
`make pictures` runs it.
"""

import argparse
import os
import subprocess
import sys

ROOT = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
sys.path.insert(0, os.path.join(ROOT, "tests", "e2e"))
from harness import Game, HarnessError, WaitTimeout, XServer, wait_for  # noqa: E402

PICTURES = ("title", "config", "rally", "bonus")

# Playing a stage to its end takes the autopilot a minute or two of real time.
STAGE_SECONDS = 400


def keep(game, capture, out_dir, name):
    """The capture as a PNG picture, written by rallix_screen as it writes
    the headless frames; refused unless it shows the game's 640 x 480 picture
    in black and white."""
    path = os.path.join(out_dir, f"{name}.png")
    result = subprocess.run([game.screen_tool, "png", capture, path], capture_output=True,
                            text=True, check=False, timeout=60)
    if result.returncode != 0:
        raise HarnessError(f"{name}: {result.stderr.strip()}")
    print(path)


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
