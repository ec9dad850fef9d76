#!/usr/bin/env python3
"""Writes a full commented program: segments 1 to 9 hold 255 commands each
(switching outputs on and off, setting their state), every one with a
comment with Polish letters; segment 10 is empty.

    tests/wine/full_program.py FILE.prg    (and FILE.cmt beside it)
"""
import sys

path = sys.argv[1]
image = bytearray([0xFF] * (10 * 255 * 3))
comments = []
for segment in range(9):
    for command in range(255):
        kind = (segment + command) % 3
        if kind == 0:
            row = (1, 1 + command % 4, command)  # output on, time
        elif kind == 1:
            row = (2, 1 + command % 4, 255 - command)  # output off, time
        else:
            row = (3, (command * 7) % 256, segment)  # outputs state, time
        at = (segment * 255 + command) * 3
        image[at:at + 3] = bytes(row)
        comments.append(f"{segment + 1:02d}:{command + 1:03d} "
                        f"Krok {command + 1} segmentu {segment + 1}: źródło "
                        f"łączy wyjście\r\n")
# The configuration: controller number 1, the rest zero.
image += bytes([1]) + bytes(30) + b"K" + bytes(32)
with open(path, "wb") as f:
    f.write(image)
with open(path[:-3] + "cmt", "wb") as f:
    f.write("".join(comments).encode("cp1250"))
