#!/usr/bin/env python3
"""Writes the demo film's two music cues into assets/demo/ as small MP3
files (mono, 22050 Hz, 32 kbit/s):

  "theme.mp3"    the opening theme, 48 s: a plucked arpeggio over a soft bass
                 and a pad, C - Am - F - G, which fades out as the rocket set
                 comes into view;
  "liftoff.mp3"  the lift-off cue, 25 s: the same chords twice as fast and
                 an octave up, climbing, ending on a long C major chord under
                 the credits.

The notes are synthesised here sample by sample (no random numbers, so the
same WAV every run) and encoded with Debian's lame.
"""
import math
import os
import shutil
import struct
import subprocess
import sys
import tempfile
import wave

RATE = 22050

# Chords as MIDI note numbers: root for the bass, then the arpeggio's notes.
CHORDS = {"C": (48, [60, 64, 67, 72]), "Am": (45, [57, 60, 64, 69]),
          "F": (41, [53, 57, 60, 65]), "G": (43, [55, 59, 62, 67])}
PROGRESSION = ["C", "Am", "F", "G"]


def frequency(note):
    return 440.0 * 2 ** ((note - 69) / 12.0)


def add_tone(buffer, start, length, note, level, decay, harmonics=(1.0, 0.35, 0.12)):
    """Adds a note that strikes at `start` seconds and dies away with time
    constant `decay`; a short attack and release keep it free of clicks."""
    f = frequency(note)
    first = int(start * RATE)
    count = min(int(length * RATE), len(buffer) - first)
    attack, release = int(0.005 * RATE), int(0.04 * RATE)
    for i in range(max(count, 0)):
        t = i / RATE
        envelope = level * math.exp(-t / decay)
        envelope *= min(1.0, i / attack) * min(1.0, (count - i) / release)
        wave_value = sum(a * math.sin(2 * math.pi * f * (k + 1) * t) for k, a in enumerate(harmonics))
        buffer[first + i] += envelope * wave_value


def play_bars(buffer, start, bar, chords, octave, pad_level):
    """One bar per chord: bass on the beat, an eight-note arpeggio, a pad."""
    for n, name in enumerate(chords):
        root, arpeggio = CHORDS[name]
        t0 = start + n * bar
        add_tone(buffer, t0, bar, root, 0.30, bar * 0.6, (1.0, 0.2))
        for k in range(8):
            note = arpeggio[(k if k < 4 else 7 - k) % 4] + 12 * octave
            add_tone(buffer, t0 + k * bar / 8, bar / 4, note, 0.16, bar / 10)
        for note in arpeggio[:3]:
            add_tone(buffer, t0, bar, note, pad_level, bar * 2, (1.0,))


def fade(buffer, start, end):
    for i in range(int(start * RATE), min(int(end * RATE), len(buffer))):
        buffer[i] *= 1.0 - (i / RATE - start) / (end - start)
    for i in range(int(end * RATE), len(buffer)):
        buffer[i] = 0.0


def theme():
    buffer = [0.0] * int(48 * RATE)
    bar = 2.4
    for rep in range(5):
        play_bars(buffer, rep * 4 * bar, bar, PROGRESSION, 0, 0.05)
    fade(buffer, 43, 48)
    return buffer


def liftoff():
    buffer = [0.0] * int(25 * RATE)
    bar = 1.2
    for rep in range(3):
        play_bars(buffer, rep * 4 * bar, bar, PROGRESSION, 1 if rep else 0, 0.06)
    climb = 3 * 4 * bar
    for k, note in enumerate([60, 64, 67, 72, 76, 79, 84]):
        add_tone(buffer, climb + k * 0.15, 1.0, note, 0.16, 0.4)
    end = climb + 7 * 0.15
    for note in (48, 60, 64, 67, 72):
        add_tone(buffer, end, 25 - end, note, 0.12, 4.0)
    fade(buffer, 21, 25)
    return buffer


def write_mp3(samples, path):
    peak = max(abs(s) for s in samples) or 1.0
    pcm = b"".join(struct.pack("<h", int(32000 * s / peak)) for s in samples)
    with tempfile.TemporaryDirectory() as work:
        wav = os.path.join(work, "cue.wav")
        with wave.open(wav, "wb") as w:
            w.setnchannels(1)
            w.setsampwidth(2)
            w.setframerate(RATE)
            w.writeframes(pcm)
        mp3 = os.path.join(work, "cue.mp3")
        subprocess.run(["lame", "--quiet", "--noreplaygain", "-b", "32", "-m", "m", wav, mp3], check=True)
        shutil.copyfile(mp3, path)


def main():
    root = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..")
    folder = sys.argv[1] if len(sys.argv) > 1 else os.path.join(root, "assets", "demo")
    write_mp3(theme(), os.path.join(folder, "theme.mp3"))
    write_mp3(liftoff(), os.path.join(folder, "liftoff.mp3"))


if __name__ == "__main__":
    main()
