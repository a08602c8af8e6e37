#!/usr/bin/env python3
"""Writes assets/demo/BrikBasics.xmo, the demo film.

Seven sequences, 75 seconds, on one set laid out on the flat middle of the
terrain (shadows fall towards -x and -z, so each piece has open ground
behind it on that side):

  1. Opening (10 s): the title card, then the title caption while the camera
     sweeps over the whole set with an eased path; the rocket turns on its
     pad (a looping animation) and the carousel spins (a ModelTransform).
  2. Bricks fall (12 s): a shower of physical bricks tumbles onto the ground
     and onto each other; the camera circles at an even pace.
  3. The wall (12 s): a wall of physical bricks topples when a force key
     throws a brick at it.
  4. Joins and contacts (13 s): a chain of three bricks hangs from a join
     under a gallows and swings; then two bricks thrown at each other pass
     through each other, being a contact pair.
  5. Countdown (8 s): the launch site, the rocket's shadow across the bricks
     beside its pad, a fir tree from a glTF file behind it; the second music
     cue starts.
  6. Lift-off (10 s): a burst of smoke particles from the file, a trail from
     a "createparticles" command, and the rocket's B-spline flight, which the
     camera's look-at path follows.
  7. Credits (10 s): a last look over the set under the credits captions,
     then the credits card, black, and the exit command.

The film's other files: caption.txf (scripts/make-caption-fonts),
rocket.x3d (scripts/make-demo-rocket.py), tree.glb
(scripts/make-import-models.py), title-card.png and
credits-card.png (scripts/make-demo-cards.py), theme.mp3 and liftoff.mp3
(scripts/make-demo-music.py), and the world's images
(scripts/make-demo-world.py).
"""
import math
import os
import sys

PLATE = 0.08   # world units per plate
STUD = 0.2     # world units per stud
# A physical brick's box reaches this far above its top (the studs' base),
# and its body is centred on that box, not on the brick's origin.
BOX_EXTRA = 1 / 150.0

ROCKET = 200
ROCKET_PAD = (4.5, -2.0)
FIR = 195
CAROUSEL = 301
WALL_AT = (0.0, -2.5)
SHOWER_AT = (-2.5, 1.6)
GALLOWS_AT = (-5.0, -2.0)
PASS_AT = (-5.0, 0.8)

TITLE_COLOUR = (1, 0.85, 0.3)


def vec(*v):
    return " ".join("%g" % round(x, 4) for x in v)


def caption_width(words, size):
    """About how wide the caption font prints a text, in caption units."""
    return 0.7 * size * len(words)


def resting_centre(height_plates, below=0.0):
    """The body centre of a physical brick resting on `below`."""
    return below + (height_plates * PLATE + BOX_EXTRA) / 2


class Film:
    def __init__(self):
        self.objects, self.models, self.joins, self.contacts, self.sounds = [], [], [], [], []
        self.sequences = []
        self.scenery = []          # models switched on when the film starts
        self.placed = {}           # model id -> position in the file
        self._brick_ids = {}

    def brick(self, size, colour):
        """The object id of a brick of this size and colour, made once."""
        key = (tuple(size), colour)
        if key not in self._brick_ids:
            oid = 10 + len(self._brick_ids)
            self._brick_ids[key] = oid
            self.objects.append('  <BrikObject id="%d" size="%s" color="%d"/>' % (oid, vec(*size), colour))
        return self._brick_ids[key]

    def model(self, mid, oid, position, rotation=None, mass=None, shadow=True, held=False, indent="  "):
        attrs = 'id="%d" objectid="%d" position="%s"' % (mid, oid, vec(*position))
        if rotation:
            attrs += ' rotation="%s"' % vec(*rotation)
        if shadow:
            attrs += ' castshadow="true"'
        if mass is not None:
            attrs += ' physicalbased="true" mass="%g"' % mass
        if held:
            attrs += ' animatephysics="true"'
        self.models.append("%s<Model %s/>" % (indent, attrs))
        self.placed[mid] = position
        return mid


class Sequence:
    def __init__(self, duration):
        self.duration = duration
        self.camera, self.animations, self.commands, self.effects = [], [], [], []
        self.particles, self.texts, self.tiles = [], [], []

    def shot(self, duration, look, eye, eased):
        self.camera += ['   <CameraElement duration="%g" interpolationfunction="%s">'
                        % (duration, "hermite" if eased else "linear"),
                        "    <LookAt>" + "".join('<Point position="%s"/>' % vec(*p) for p in look) + "</LookAt>",
                        "    <Eye>" + "".join('<Point position="%s"/>' % vec(*p) for p in eye) + "</Eye>",
                        "   </CameraElement>"]

    def animation(self, mid, keys, loop=False, bspline=False):
        head = '   <Animation modelid="%d"' % mid
        head += ' loop="true"' if loop else ""
        head += ' interpolationfunction="bspline"' if bspline else ""
        self.animations += [head + ">"] + ["    " + k for k in keys] + ["   </Animation>"]

    def spin(self, mid, period):
        """A turn about +y every `period` seconds, for as long as the sequence runs."""
        self.animation(mid, ['<KeyFrameRotation keytime="%g" rotation="0 1 0 %g"/>' % (period * k / 3, 120 * k)
                             for k in range(4)], loop=True)

    def throw(self, film, mid, keytime, velocity):
        """A force key that throws a physical brick resting on the ground.
        It also lifts the brick clear of the ground: otherwise the ground's
        grip takes most of the sideways speed in the first step."""
        x, y, z = film.placed[mid]
        self.animation(mid, ['<KeyFrameForce keytime="%g" linearvelocity="%s" position="%s" angularvelocity="0 0 0"/>'
                             % (keytime, vec(*velocity), vec(x, y + 0.03, z))])

    def command(self, kind, timer, **targets):
        attrs = "".join(' %s="%s"' % (k, v) for k, v in targets.items())
        self.commands.append('   <XFunction xfunctiontype="%s" timer1="%g"%s/>' % (kind, timer, attrs))

    def enable(self, timer, mids):
        self.command("enablemodels", timer, modelids=" ".join(str(m) for m in mids))

    def fade(self, kind, start, end):
        self.effects.append('   <SpecialEffect type="%s" starttime="%g" endtime="%g"/>' % (kind, start, end))

    def centred(self, start, end, lines):
        """Lines of (height, size, colour, text), each centred across the screen."""
        self.caption(start, end, [((-caption_width(words, size) / 2, y), size, colour, words)
                                  for y, size, colour, words in lines])

    def caption(self, start, end, lines):
        """Lines of (position, size, colour, text); the font is loaded by the first caption of the film."""
        self.texts.append('  <TextChunk starttime="%g" endtime="%g">' % (start, end))
        for position, size, colour, words in lines:
            self.texts.append('   <Text color="%s" position="%s" size="%g" writetext="%s"/>'
                              % (vec(*colour), vec(*position), size, words))
        self.texts.append("  </TextChunk>")

    def title(self, start, end, heading, line):
        """A sequence title at the top left: a heading and one line under it."""
        self.caption(start, end, [((-55, 46), 6, TITLE_COLOUR, heading), ((-55, 38), 3.5, (1, 1, 1), line)])

    def tile(self, image, start, end):
        self.tiles.append('  <Tiles loadimage="%s" starttime="%g" endtime="%g"/>' % (image, start, end))

    def lines(self):
        out = ['<Sequence duration="%g">' % self.duration, "  <Camera>"] + self.camera + ["  </Camera>"]
        for name, items in (("Animations", self.animations), ("XFunctions", self.commands),
                            ("SpecialEffects", self.effects), ("Particles", self.particles)):
            if items:
                out += ["  <%s>" % name] + items + ["  </%s>" % name]
        return out + self.texts + self.tiles + ["</Sequence>"]


# --- The set -------------------------------------------------------------

def launch_site(film):
    """The rocket on its pad, and a low stack of bricks beside it, on the
    side its shadow falls."""
    x, z = ROCKET_PAD
    film.objects.insert(0, '  <Object id="1" filename="rocket.x3d" objectname="Rocket"/>')
    film.scenery.append(film.model(190, film.brick((8, 1, 8), 0), (x, PLATE / 2, z), shadow=False))
    film.scenery.append(film.model(ROCKET, 1, (x, PLATE, z)))
    stack = [((-1.5, -0.9), (4, 3, 2), 3, 0), ((-1.3, -1.0), (2, 3, 2), 15, 1), ((-0.9, -1.5), (2, 3, 4), 13, 0)]
    for i, ((dx, dz), size, colour, level) in enumerate(stack):
        film.scenery.append(film.model(191 + i, film.brick(size, colour),
                                       (x + dx, 3 * PLATE * (level + 0.5), z + dz)))
    # A fir from a glTF file, behind the pad and clear of the carousel,
    # a little taller than the rocket.
    film.objects.insert(1, '  <Object id="2" filename="tree.glb" scale="1.25"/>')
    film.scenery.append(film.model(FIR, 2, (x + 1.6, 0, z - 1.2)))


def carousel(film):
    """Pillars on a turntable: an outer transform places it, the inner one
    turns (a transform turns before it moves)."""
    x, z = ROCKET_PAD
    colours = [9, 13, 3, 5, 10, 7]
    film.models.append('  <ModelTransform id="300" position="%s">' % vec(x + 2.8, 0, z + 0.6))
    film.models.append('   <ModelTransform id="%d">' % CAROUSEL)
    film.scenery.append(film.model(310, film.brick((10, 1, 10), 1), (0, PLATE / 2, 0), shadow=False, indent="    "))
    for i, c in enumerate(colours):
        a = 2 * math.pi * i / len(colours)
        film.scenery.append(film.model(311 + i, film.brick((2, 6, 2), c),
                                       (0.75 * math.cos(a), PLATE + 3 * PLATE, 0.75 * math.sin(a)),
                                       rotation=(0, 1, 0, -math.degrees(a)), indent="    "))
    film.models += ["   </ModelTransform>", "  </ModelTransform>"]


def wall(film):
    """Five courses of physical bricks in running bond, and the brick that
    will be thrown at it lying in front. The wall's bodies are held where
    the file puts them until the throw: a stack left to the simulation
    for half a minute settles and, at a coarse frame rate, slumps.
    Returns the thrown brick's id and the wall's ids."""
    x0, z = WALL_AT
    long_colours, short_colours = [9, 13, 3, 5, 15, 2, 8], [10, 4, 11, 6]
    mid, ids = 110, []
    for row in range(5):
        y = resting_centre(3) + row * (3 * PLATE + BOX_EXTRA + 0.001)
        if row % 2 == 0:
            places = [(-0.8, 4), (0.0, 4), (0.8, 4)]
        else:
            places = [(-1.0, 2), (-0.4, 4), (0.4, 4), (1.0, 2)]
        for k, (dx, width) in enumerate(places):
            colours = long_colours if width == 4 else short_colours
            oid = film.brick((width, 3, 2), colours[(row * 3 + k) % len(colours)])
            ids.append(film.model(mid, oid, (x0 + dx, y, z), mass=0.4, held=True))
            mid += 1
    film.scenery += ids
    thrown = film.model(150, film.brick((2, 3, 2), 0), (x0 + 0.2, resting_centre(3), z + 2.2), mass=3)
    film.scenery.append(thrown)
    return thrown, ids


def shower(film):
    """Bricks held in the air, each switched on in turn; the later ones fall
    onto the earlier. Returns their ids in falling order."""
    x0, z0 = SHOWER_AT
    drops = [((2, 3, 4), 9, (0.0, 1.6, 0.0), (1, 0.2, 0, 30)),
             ((2, 3, 2), 13, (0.5, 2.0, -0.3), (0, 0.3, 1, 50)),
             ((4, 3, 2), 3, (-0.4, 2.2, 0.3), (1, 1, 0, 70)),
             ((1, 3, 4), 5, (0.1, 2.6, 0.1), (0, 0, 1, 80)),
             ((2, 2, 2), 15, (-0.2, 2.4, -0.4), (1, 0, 1, 40)),
             ((4, 3, 2), 10, (0.3, 2.8, 0.2), (0.2, 1, 0.4, 60)),
             ((2, 3, 4), 2, (-0.5, 3.0, -0.1), (1, 0, 0, 85)),
             ((2, 3, 2), 8, (0.2, 3.2, -0.2), (0, 1, 1, 25)),
             ((2, 6, 2), 6, (0.0, 3.4, 0.4), (1, 0, 0.3, 75)),
             ((2, 3, 2), 13, (-0.3, 3.6, 0.0), (0.5, 0.5, 1, 45))]
    ids = []
    for i, (size, colour, (dx, y, dz), rotation) in enumerate(drops):
        ids.append(film.model(400 + i, film.brick(size, colour), (x0 + dx, y, z0 + dz), rotation, mass=1))
    return ids


def gallows(film):
    """Two posts and a beam (not physical), and a chain of three physical
    bricks joined end to end, the first to a fixed point under the beam.
    The chain starts out level, so it swings down when switched on."""
    x0, z = GALLOWS_AT
    post, beam = film.brick((2, 32, 2), 14), film.brick((20, 2, 2), 1)
    top = 32 * PLATE
    for i, dx in enumerate((-1.8, 1.8)):
        film.scenery.append(film.model(500 + i, post, (x0 + dx, top / 2, z)))
    film.scenery.append(film.model(502, beam, (x0, top + PLATE, z)))
    # Links end a little short of each joint: links that touch end to end
    # jam against each other and the chain swings as one stiff bar.
    links, anchor_y, pitch = [film.brick((1, 6, 1), 13), film.brick((1, 6, 1), 9)], top - 0.1, 0.56
    chain = []
    for k in range(3):
        chain.append(film.model(510 + k, links[k % 2], (x0 + pitch * (k + 0.5), anchor_y, z), (0, 0, 1, 90), mass=1))
        film.joins.append('  <Join id="%d" modelid0="%d"%s position="%s"/>'
                          % (k + 1, chain[k], ' modelid1="%d"' % chain[k - 1] if k else "",
                             vec(x0 + pitch * k, anchor_y, z)))
    return chain


def passing_pair(film):
    """Two bricks facing each other on the ground; a contact lets them pass."""
    x0, z = PASS_AT
    pair = [film.model(520, film.brick((2, 3, 2), 9), (x0 - 1.1, resting_centre(3), z), mass=1),
            film.model(521, film.brick((2, 3, 2), 3), (x0 + 1.1, resting_centre(3), z), mass=1)]
    film.contacts.append('  <Contact id="1" modelid0="%d" modelid1="%d"/>' % tuple(pair))
    film.scenery += pair
    return pair


# --- The sequences -------------------------------------------------------

def opening(film):
    s = Sequence(10)
    s.tile("title-card.png", 0, 3.2)
    s.fade("blackfadein", 0, 1.2)
    s.enable(0, film.scenery)
    s.shot(3.2, [(3, 0.6, -1.5)], [(6.5, 2.4, 4.5)], eased=False)
    s.shot(6.8, [(3, 0.6, -1.5), (1, 0.7, -1.5), (-2, 0.8, -1.2), (-4, 0.8, -1)],
           [(6.5, 2.4, 4.5), (3, 2.2, 5.5), (-2, 2.1, 5.5), (-7, 2.0, 3.5)], eased=True)
    s.spin(ROCKET, 4.5)
    s.spin(CAROUSEL, 4.8)
    s.texts.append('  <TextChunk starttime="3.3" endtime="8.8">')
    s.texts.append('   <Text loadfont="caption.txf" color="%s" position="-42 38" size="12" writetext="BrikBasics"/>'
                   % vec(*TITLE_COLOUR))
    s.texts.append('   <Text color="1 1 1" position="-35 28" size="5" writetext="a film in toy bricks"/>')
    s.texts.append("  </TextChunk>")
    s.fade("blackfadeout", 9, 10)
    return s


def falling_bricks(film, drops):
    s = Sequence(12)
    s.fade("blackfadein", 0, 1)
    s.title(0.5, 4, "Bricks fall", "and tumble over each other")
    x, z = SHOWER_AT
    for i, mid in enumerate(drops):
        s.enable(1.2 + 0.5 * i, [mid])
    s.shot(12, [(x, 0.6, z)], [(x + 3.2, 1.6, z + 2.4), (x + 1.5, 1.8, z + 3.6), (x - 0.5, 1.9, z + 3.9),
                               (x - 2.4, 2.0, z + 3.0), (x - 3.4, 2.1, z + 1.6)], eased=False)
    s.fade("blackfadeout", 11, 12.05)
    return s


def toppling_wall(film, thrown, wall_ids):
    s = Sequence(12)
    s.fade("blackfadein", 0, 1)
    s.title(0.5, 4, "Walls topple", "a force key throws a brick")
    s.command("disableanimatephysics", 3.8, modelids=" ".join(str(m) for m in wall_ids))
    s.throw(film, thrown, 4, (0, 3.4, -7))
    x, z = WALL_AT
    s.shot(6, [(x, 0.5, z)] * 4, [(x + 3.5, 1.4, z + 4.5), (x + 3.0, 1.3, z + 4.2), (x + 2.6, 1.2, z + 3.8),
                                  (x + 2.4, 1.2, z + 3.6)], eased=True)
    s.shot(6, [(x, 0.5, z), (x, 0.4, z - 0.3), (x - 0.2, 0.3, z - 0.6), (x - 0.2, 0.3, z - 0.8)],
           [(x + 2.4, 1.2, z + 3.6), (x + 3.0, 1.8, z + 2.6), (x + 3.6, 2.4, z + 1.0), (x + 3.8, 2.8, z - 0.5)],
           eased=True)
    s.fade("blackfadeout", 11, 12.05)
    return s


def joins_and_contacts(film, chain, pair):
    s = Sequence(13)
    s.fade("blackfadein", 0, 1)
    s.title(0.5, 4, "Joins and contacts", "a chain swings from its joins")
    s.enable(1, chain)
    for mid, vx in zip(pair, (2.4, -2.4)):
        s.throw(film, mid, 8.5, (vx, 5, 0))
    s.caption(7, 11.5, [((-55, 38), 3.5, (1, 1, 1), "a contact pair passes through itself")])
    gx, gz = GALLOWS_AT
    px, pz = PASS_AT
    s.shot(6.5, [(gx, 1.6, gz)] * 4, [(gx + 1.5, 1.8, gz + 5.0), (gx + 0.8, 1.7, gz + 5.2),
                                      (gx, 1.6, gz + 5.3), (gx - 0.4, 1.6, gz + 5.3)], eased=True)
    s.shot(6.5, [(gx, 1.6, gz), (px, 1.0, pz - 0.5), (px, 0.8, pz), (px, 0.8, pz)],
           [(gx - 0.4, 1.6, gz + 5.3), (px - 0.2, 1.4, pz + 4.2), (px, 1.2, pz + 3.6), (px, 1.2, pz + 3.5)],
           eased=True)
    s.fade("blackfadeout", 12, 13.05)
    return s


def countdown(film):
    s = Sequence(8)
    s.fade("blackfadein", 0, 1)
    s.title(0.5, 4.5, "Ready for lift-off", "an X3D rocket and a glTF fir")
    s.spin(CAROUSEL, 4.8)
    x, z = ROCKET_PAD
    s.shot(8, [(x - 0.5, 0.6, z), (x - 0.6, 0.6, z + 0.2), (x - 0.7, 0.7, z + 0.4), (x - 0.6, 0.8, z + 0.5)],
           [(x + 1.5, 2.2, z + 4.5), (x + 0.5, 1.8, z + 4.2), (x - 0.8, 1.6, z + 3.8), (x - 1.5, 1.5, z + 3.4)],
           eased=True)
    return s


def liftoff(film):
    s = Sequence(10)
    x, z = ROCKET_PAD
    base = (x, 0.15, z)
    for k in range(24):
        a = 2 * math.pi * k / 24
        speed = 1.6 + 0.4 * (k % 3)
        s.particles.append('   <Particle type="fade" position="%s" velocity="%s" fadetime="%g"/>'
                           % (vec(*base), vec(speed * math.cos(a), 0.3 + 0.4 * (k % 4), speed * math.sin(a)),
                              3 + 0.25 * (k % 4)))
    s.command("createparticles", 0.08, modelid=ROCKET)
    flight = [(x, 0.3, z), (x + 0.1, 2.0, z), (x + 0.6, 6.0, z - 0.5), (x + 2.5, 16.0, z - 2.0)]
    s.animation(ROCKET, ['<KeyFramePosition keytime="1.5" position="-100 -100 -100"/>'] +
                ['<KeyFramePosition keytime="%g" position="%s"/>' % (t, vec(*p))
                 for t, p in zip((3, 5, 7, 9.5), flight)], bspline=True)
    s.spin(CAROUSEL, 4.8)
    look = [(px, py + 0.8, pz) for px, py, pz in [(x, PLATE, z)] + flight]
    s.shot(1.5, [look[0]], [(x + 0.5, 1.4, z + 5.0)], eased=False)
    s.shot(8, look, [(x + 0.5, 1.4, z + 5.0), (x + 0.8, 2.0, z + 6.0), (x + 1.2, 3.0, z + 8.0),
                     (x + 1.8, 4.5, z + 10.0), (x + 2.0, 6.0, z + 12.0)], eased=False)
    s.fade("whitefadeout", 9, 10.05)
    return s


def credits(film):
    s = Sequence(10)
    s.fade("whitefadein", 0, 1.2)
    s.spin(CAROUSEL, 4.8)
    s.centred(1, 6, [(44, 8, TITLE_COLOUR, "BrikBasics"),
                     (35, 3.2, (1, 1, 1), "bricks, rocket, fir, world, cards and music"),
                     (30, 3.2, (1, 1, 1), "made by scripts in the xmoplay repository")])
    s.tile("credits-card.png", 6, 10)
    s.shot(6, [(1, 0.2, -1.5), (0, 0.3, -1.5), (-1, 0.4, -1.2), (-2, 0.4, -1)],
           [(5, 3.2, 7), (2, 3.5, 7.5), (-1.5, 3.8, 7.2), (-4.5, 4, 6.2)], eased=True)
    s.command("exit", 9.9)
    s.fade("blackfadeout", 8, 9.5)
    s.fade("stayblack", 9.4, 10.5)
    return s


def write(film, path):
    with open(path, "w") as f:
        f.write('<?xml version="1.0"?>\n<!-- BrikBasics: the demo film of xmoplay, made by'
                ' scripts/make-demo-film.py. -->\n<Movie>\n')
        for name, items in (("Objects", film.objects), ("Models", film.models), ("Joins", film.joins),
                            ("Contacts", film.contacts), ("Sounds", film.sounds)):
            f.write(" <%s>\n%s\n </%s>\n" % (name, "\n".join(items), name))
        f.write(" <Sequences>\n")
        for s in film.sequences:
            f.write("\n".join(s.lines()) + "\n")
        f.write(" </Sequences>\n</Movie>\n")


def main():
    out = sys.argv[1] if len(sys.argv) > 1 else os.path.join(
        os.path.dirname(__file__), "..", "assets", "demo", "BrikBasics.xmo")
    film = Film()
    launch_site(film)
    carousel(film)
    thrown, wall_ids = wall(film)
    pair = passing_pair(film)
    chain = gallows(film)
    drops = shower(film)
    film.sounds += ['  <Sound filename="theme.mp3" starttime="0"/>',
                    '  <Sound filename="liftoff.mp3" starttime="48.5"/>']
    film.sequences += [opening(film), falling_bricks(film, drops), toppling_wall(film, thrown, wall_ids),
                       joins_and_contacts(film, chain, pair), countdown(film), liftoff(film), credits(film)]
    write(film, out)


if __name__ == "__main__":
    main()
