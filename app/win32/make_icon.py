#!/usr/bin/env python3
"""Writes quarnel.ico: one 32 by 32, 24-bit image of the palette's two rows of four cells."""
import struct
import sys

SIZE = 32
BACK = (0x2B, 0x57, 0x9A)  # blue frame
CELL = (0xF2, 0xF2, 0xF2)  # light cells
NOTE = (0x3C, 0xB3, 0x71)  # the note box, green


def pixel(x, y):
    # Cells 6 wide and 11 high, gaps of 1 and 2, starting at 2 and 3 (y counts from the top).
    for row, top in enumerate((4, 17)):
        for col, left in enumerate((2, 9, 16, 23)):
            if left <= x < left + 7 and top <= y < top + 11:
                return NOTE if (row, col) == (0, 3) else CELL
    return BACK


def main(path):
    rows = []
    for y in reversed(range(SIZE)):  # bottom-up, as bitmaps are stored
        rows.append(b"".join(bytes((b, g, r)) for r, g, b in (pixel(x, y) for x in range(SIZE))))
    xor = b"".join(rows)  # 96 bytes a row: already a multiple of 4
    and_mask = bytes(4 * SIZE)  # every pixel opaque
    header = struct.pack("<IiiHHIIiiII", 40, SIZE, SIZE * 2, 1, 24, 0, len(xor) + len(and_mask), 0, 0, 0, 0)
    image = header + xor + and_mask
    directory = struct.pack("<HHH", 0, 1, 1) + struct.pack("<BBBBHHII", SIZE, SIZE, 0, 0, 1, 24, len(image), 22)
    with open(path, "wb") as out:
        out.write(directory + image)


if __name__ == "__main__":
    main(sys.argv[1] if len(sys.argv) > 1 else "quarnel.ico")
