#!/usr/bin/env python3
"""Writes assets/demo/BrikBasics.xmo, the demo film.

Four sequences, about 44 seconds:
  1. The title over the opening; a wall of coloured bricks builds itself,
     brick by brick, each dropping into place; the camera circles it with
     eased (hermite) paths. The title's font, caption.txf, is made by
     scripts/make-caption-fonts.
  2. The toy rocket (rocket.x3d) turns on its launch pad in a looping
     animation while the camera drifts past at an even pace.
  3. A carousel of bricks (a rotating ModelTransform) spins; the rocket lifts
     off along a B-spline path.
  4. A last look over all three sets, then the picture fades to black and the
     film's exit command ends it.
"""
import math
import os
import sys

PLATE = 0.08   # world units per plate
STUD = 0.2     # world units per stud


def vec(*v):
    return " ".join("%g" % round(x, 4) for x in v)


class Film:
    def __init__(self):
        self.objects, self.models, self.sequences = [], [], []

    def brick(self, oid, size, colour):
        self.objects.append('  <BrikObject id="%d" size="%s" color="%d"/>' % (oid, vec(*size), colour))


def camera(elements):
    lines = ["  <Camera>"]
    for duration, easing, look, eye in elements:
        lines.append('   <CameraElement duration="%g" interpolationfunction="%s">' % (duration, easing))
        lines.append("    <LookAt>" + "".join('<Point position="%s"/>' % vec(*p) for p in look) + "</LookAt>")
        lines.append("    <Eye>" + "".join('<Point position="%s"/>' % vec(*p) for p in eye) + "</Eye>")
        lines.append("   </CameraElement>")
    lines.append("  </Camera>")
    return lines


def fades(effects):
    return ["  <SpecialEffects>"] + [
        '   <SpecialEffect type="%s" starttime="%g" endtime="%g"/>' % e for e in effects] + ["  </SpecialEffects>"]


def sequence(duration, body):
    return ['<Sequence duration="%g">' % duration] + body + ["</Sequence>"]


def main():
    out = sys.argv[1] if len(sys.argv) > 1 else os.path.join(
        os.path.dirname(__file__), "..", "assets", "demo", "BrikBasics.xmo")
    film = Film()
    film.objects.append('  <Object id="1" filename="rocket.x3d" objectname="Rocket"/>')

    # --- The wall: four rows on a base plate, at the origin.
    film.brick(10, (12, 1, 6), 14)   # base plate
    long_colours = [9, 13, 3, 5, 15, 2, 8]
    short_colours = [10, 4, 11, 6]
    for i, c in enumerate(long_colours):
        film.brick(20 + i, (4, 3, 2), c)
    for i, c in enumerate(short_colours):
        film.brick(30 + i, (2, 3, 2), c)
    film.models.append('  <Model id="100" objectid="10" position="%s"/>' % vec(0, PLATE / 2, 0))
    wall = []  # (model id, object id, final position)
    brick_h = 3 * PLATE
    for row in range(4):
        y = PLATE + brick_h / 2 + row * brick_h
        if row % 2 == 0:
            for k, x in enumerate((-0.8, 0.0, 0.8)):
                wall.append((110 + len(wall), 20 + (row * 3 + k) % len(long_colours), (x, y, 0.0)))
        else:
            wall.append((110 + len(wall), 30 + row % 4, (-1.0, y, 0.0)))
            for k, x in enumerate((-0.4, 0.4)):
                wall.append((110 + len(wall), 20 + (row * 2 + k + 3) % len(long_colours), (x, y, 0.0)))
            wall.append((110 + len(wall), 30 + (row + 1) % 4, (1.0, y, 0.0)))
    for mid, oid, pos in wall:
        film.models.append('  <Model id="%d" objectid="%d" position="%s" castshadow="true"/>' % (mid, oid, vec(*pos)))

    # --- The launch pad and the rocket, to the right.
    film.brick(11, (8, 1, 8), 0)
    film.models.append('  <Model id="190" objectid="11" position="%s"/>' % vec(5, PLATE / 2, 0))
    film.models.append('  <Model id="200" objectid="1" position="%s" castshadow="true"/>'
                       % vec(5, PLATE, 0))

    # --- The carousel, to the left: an outer transform places it, the inner
    # one turns (a transform rotates before it translates).
    film.brick(12, (10, 1, 10), 1)
    carousel_colours = [9, 13, 3, 5, 10, 7]
    for i, c in enumerate(carousel_colours):
        film.brick(40 + i, (2, 6, 2), c)
    film.models.append('  <ModelTransform id="300" position="%s">' % vec(-5, 0, 0))
    film.models.append('   <ModelTransform id="301">')
    film.models.append('    <Model id="310" objectid="12" position="%s"/>' % vec(0, PLATE / 2, 0))
    for i in range(len(carousel_colours)):
        a = 2 * math.pi * i / len(carousel_colours)
        film.models.append('    <Model id="%d" objectid="%d" position="%s" rotation="0 1 0 %g" castshadow="true"/>'
                           % (311 + i, 40 + i, vec(0.75 * math.cos(a), PLATE + 3 * PLATE, 0.75 * math.sin(a)),
                              -math.degrees(a)))
    film.models.append('   </ModelTransform>')
    film.models.append('  </ModelTransform>')

    # --- Sequence 1: the wall builds itself.
    s1 = camera([
        (6, "hermite", [(0, 0.4, 0)] * 4, [(3.5, 1.2, 3.5), (2.0, 1.4, 4.6), (0.0, 1.6, 5.0), (-1.5, 1.7, 4.6)]),
        (6, "hermite", [(0, 0.5, 0), (0, 0.55, 0), (0, 0.6, 0), (0, 0.6, 0)],
         [(-1.5, 1.7, 4.6), (-3.0, 1.8, 3.8), (-3.6, 2.2, 2.0), (-3.2, 2.6, 1.0)]),
    ])
    s1 += ["  <Animations>"]
    commands = ['   <XFunction xfunctiontype="enablemodels" timer1="0" modelids="100 190 200 310 %s"/>'
                % " ".join(str(311 + i) for i in range(len(carousel_colours)))]
    for n, (mid, _, (x, y, z)) in enumerate(wall):
        t = 1.0 + 0.6 * n
        commands.append('   <XFunction xfunctiontype="enablemodels" timer1="%g" modelids="%d"/>' % (t, mid))
        s1 += ['   <Animation modelid="%d">' % mid,
               '    <KeyFramePosition keytime="%g" position="%s"/>' % (t, vec(x, y + 0.8, z)),
               '    <KeyFramePosition keytime="%g" position="%s" interpolationfunction="hermite"/>'
               % (t + 0.45, vec(x, y, z)),
               '    <KeyFramePosition keytime="%g" position="%s"/>' % (t + 2, vec(x, y, z)),
               "   </Animation>"]
    s1 += ["  </Animations>", "  <XFunctions>"] + commands + ["  </XFunctions>"]
    s1 += fades([("blackfadein", 0, 2), ("blackfadeout", 11, 12)])
    s1 += ['  <TextChunk starttime="0.5" endtime="5">',
           '   <Text loadfont="caption.txf" color="1 0.85 0.3" position="-42 38" size="12" writetext="BrikBasics"/>',
           '   <Text color="1 1 1" position="-32 28" size="5" writetext="a film in toy bricks"/>',
           "  </TextChunk>"]
    film.sequences.append(sequence(12, s1))

    # --- Sequence 2: the rocket turns on its pad; an even camera drift.
    s2 = camera([(10, "linear", [(5, 0.8, 0)],
                  [(7.8, 1.0, 3.2), (6.6, 1.4, 3.6), (5.0, 1.8, 3.8), (3.4, 1.6, 3.6), (2.4, 1.2, 3.0)])])
    s2 += ["  <Animations>", '   <Animation modelid="200" loop="true">'] + [
        '    <KeyFrameRotation keytime="%g" rotation="0 1 0 %g"/>' % (t, a)
        for t, a in ((0, 0), (1.5, 120), (3, 240), (4.5, 360))] + ["   </Animation>", "  </Animations>"]
    s2 += fades([("blackfadein", 0, 1.5), ("whitefadeout", 9, 10)])
    film.sequences.append(sequence(10, s2))

    # --- Sequence 3: the carousel spins; the rocket lifts off.
    s3 = camera([
        (6, "hermite", [(-5, 0.3, 0)] * 4, [(-2.2, 1.6, 2.6), (-3.0, 2.0, 3.2), (-4.5, 2.2, 3.4), (-6.0, 2.0, 3.2)]),
        (6, "linear", [(-2, 0.8, 0), (1, 1.4, 0), (4, 2.5, 0), (5.5, 4.5, 0)],
         [(-6.0, 2.0, 3.2), (-4.0, 2.2, 6.0), (-1.0, 2.4, 8.0), (1.0, 2.6, 9.0)]),
    ])
    s3 += ["  <Animations>", '   <Animation modelid="301" loop="true">'] + [
        '    <KeyFrameRotation keytime="%g" rotation="0 1 0 %g"/>' % (t, a)
        for t, a in ((0, 0), (1.6, 120), (3.2, 240), (4.8, 360))] + ["   </Animation>"]
    s3 += ['   <Animation modelid="200" interpolationfunction="bspline">',
           '    <KeyFramePosition keytime="6.5" position="-100 -100 -100"/>'] + [
        '    <KeyFramePosition keytime="%g" position="%s"/>' % (t, vec(*p))
        for t, p in ((7, (5, 0.4, 0)), (8, (5.2, 2.0, 0)), (9, (5.8, 5.0, -0.5)), (11.5, (8, 14, -2)))]
    s3 += ["   </Animation>", "  </Animations>"]
    s3 += fades([("whitefadein", 0, 1.5), ("blackfadeout", 11, 12)])
    film.sequences.append(sequence(12, s3))

    # --- Sequence 4: a last look, then black and the end.
    s4 = camera([(10, "hermite", [(0, 0.4, 0), (-1, 0.4, 0), (-2, 0.4, 0), (-1, 0.4, 0)],
                  [(0.5, 3.5, 7.5), (-2.5, 4.5, 7.0), (-5.0, 5.0, 5.0), (-6.0, 5.5, 3.0)])])
    s4 += ["  <Animations>", '   <Animation modelid="301" loop="true">'] + [
        '    <KeyFrameRotation keytime="%g" rotation="0 1 0 %g"/>' % (t, a)
        for t, a in ((0, 0), (2, 120), (4, 240), (6, 360))] + ["   </Animation>", "  </Animations>"]
    s4 += ["  <XFunctions>", '   <XFunction xfunctiontype="exit" timer1="9.9"/>', "  </XFunctions>"]
    s4 += fades([("blackfadein", 0, 1.5), ("blackfadeout", 7, 9), ("stayblack", 9, 10.5)])
    film.sequences.append(sequence(10, s4))

    with open(out, "w") as f:
        f.write('<?xml version="1.0"?>\n<!-- BrikBasics: the demo film of xmoplay, made by'
                ' scripts/make-demo-film.py. -->\n<Movie>\n <Objects>\n')
        f.write("\n".join(film.objects) + "\n </Objects>\n <Models>\n")
        f.write("\n".join(film.models) + "\n </Models>\n <Sequences>\n")
        for s in film.sequences:
            f.write("\n".join(s) + "\n")
        f.write(" </Sequences>\n</Movie>\n")


if __name__ == "__main__":
    main()
