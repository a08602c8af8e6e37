#!/usr/bin/env python3
"""Writes the demo film's two full-screen cards into assets/demo/: the title
card "title-card.png" and the credits card "credits-card.png".

Both are 800 by 600 (the window's size, so nothing is stretched), a
night-blue ground with a row of toy bricks drawn as flat shapes and the
lettering in DejaVu Sans (Debian's fonts-dejavu-core). Needs ImageMagick's
convert. The files carry no time stamps, so running the script again writes
the same bytes.
"""
import os
import subprocess
import sys

WIDTH, HEIGHT = 800, 600
FONT = "/usr/share/fonts/truetype/dejavu/DejaVuSans.ttf"
BOLD = "/usr/share/fonts/truetype/dejavu/DejaVuSans-Bold.ttf"

# Brick colours of the film's palette: red, yellow, blue, light green, white.
BRICKS = [("#ff0000", "#b00000"), ("#ffe500", "#b3a000"), ("#0080ff", "#0059b3"),
          ("#33ff66", "#23b347"), ("#ffffff", "#b3b3b3")]


def brick_row(top, width=110, height=66, gap=14, studs=2):
    """Draw commands for a centred row of bricks, each a face, a darker
    lower band and round studs on its top edge."""
    total = len(BRICKS) * width + (len(BRICKS) - 1) * gap
    left = (WIDTH - total) // 2
    draw = []
    for i, (face, shade) in enumerate(BRICKS):
        x0 = left + i * (width + gap)
        x1 = x0 + width
        draw += ["-fill", face, "-draw", "rectangle %d,%d %d,%d" % (x0, top, x1, top + height)]
        draw += ["-fill", shade, "-draw", "rectangle %d,%d %d,%d" % (x0, top + height - 12, x1, top + height)]
        for s in range(studs):
            cx = x0 + width * (2 * s + 1) // (2 * studs)
            draw += ["-fill", face, "-draw", "roundrectangle %d,%d %d,%d 4,4" % (cx - 17, top - 12, cx + 17, top + 4)]
    return draw


def text(font, size, colour, y, words):
    """Centred text whose baseline sits y pixels below the middle of the card."""
    return ["-font", font, "-pointsize", str(size), "-fill", colour, "-gravity", "center",
            "-annotate", "+0%+d" % y, words, "-gravity", "northwest"]


def write_card(path, draw):
    command = (["convert", "-size", "%dx%d" % (WIDTH, HEIGHT), "gradient:#18285e-#03050f"] + draw +
               ["-strip", "-define", "png:exclude-chunks=date,time", "-depth", "8", "PNG24:" + path + ".tmp"])
    subprocess.run(command, check=True)
    os.replace(path + ".tmp", path)


def title_card():
    return (brick_row(300) +
            text(BOLD, 92, "#ffd84a", -130, "BrikBasics") +
            text(FONT, 34, "#e8ecff", -45, "a film in toy bricks") +
            text(FONT, 22, "#8f9cc8", 200, "played by xmoplay"))


def credits_card():
    lines = [(BOLD, 48, "#ffd84a", -150, "BrikBasics"),
             (FONT, 24, "#e8ecff", -70, "bricks, rocket, world, cards and music"),
             (FONT, 24, "#e8ecff", -34, "made by scripts in the xmoplay repository"),
             (FONT, 24, "#e8ecff", 30, "physics, shadows, particles, captions"),
             (FONT, 24, "#e8ecff", 66, "played by xmoplay"),
             (FONT, 30, "#ffd84a", 170, "thank you for watching")]
    draw = brick_row(60, width=70, height=42, gap=10)
    for font, size, colour, y, words in lines:
        draw += text(font, size, colour, y, words)
    return draw


def main():
    root = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..")
    folder = sys.argv[1] if len(sys.argv) > 1 else os.path.join(root, "assets", "demo")
    write_card(os.path.join(folder, "title-card.png"), title_card())
    write_card(os.path.join(folder, "credits-card.png"), credits_card())


if __name__ == "__main__":
    main()
