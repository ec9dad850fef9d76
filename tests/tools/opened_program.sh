# shellcheck shell=bash
# Sourced by the tests that open a program file as a desktop does (a file
# manager on Linux, `start` under wine): a program whose rows the grid shows
# in a colour nothing else in the window has, and the look for that colour.

# Background of a row whose comment starts with "8" (the grid's row palette).
MARKED_ROW_COLOUR='#31E2F0'

# write_marked_program FILE.prg: three commands commented "8 ...", and the
# comment file beside it.
write_marked_program() {
  python3 - "$1" <<'PY'
import sys
path = sys.argv[1]
# A configuration the pages keep as it is (controller number 1), so that
# closing asks nothing.
image = bytearray([0xFF] * (10 * 255 * 3)) + bytes([1]) + bytes(30) + b"K" \
    + bytes(32)
rows = [(1, 1, 5), (2, 1, 5), (1, 2, 10)]
for index, row in enumerate(rows):
    image[index * 3:index * 3 + 3] = bytes(row)
with open(path, "wb") as f:
    f.write(image)
comments = "".join(f"01:{i + 1:03d} 8 Pompa główna, krok {i + 1}\r\n"
                   for i in range(len(rows)))
with open(path[:-3] + "cmt", "wb") as f:
    f.write(comments.encode("cp1250"))
PY
}

# marked_rows_shown WINDOW_ID [PNG]: the window shows at least two rows' worth
# of the marked colour (the current row is drawn in the selection's colour).
# PNG keeps the picture.
marked_rows_shown() {
  local png=${2:-$(mktemp --suffix=.png)} count
  import -window "$1" "$png" 2>/dev/null || return 1
  count=$(convert "$png" -fill black +opaque "$MARKED_ROW_COLOUR" \
    -fill white -opaque "$MARKED_ROW_COLOUR" -format '%[fx:int(mean*w*h)]' info:)
  [[ -z ${2:-} ]] && rm -f "$png"
  ((count >= 2000))
}
