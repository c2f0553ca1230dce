#!/usr/bin/env python3
"""Writes graphics/EpsGlyphNames.cpp: the PostScript glyph names that the EPS
canvas puts into its font encoding for characters outside printable ASCII,
taken from the Adobe Glyph List 2.0 as fontTools carries it.

The table is committed, so the build does not need fontTools; run this again
only to change it (Debian: python3-fonttools):

    tools/make-eps-glyph-names.py [output.cpp]

Every entry of the list that maps to a single code point is kept (4200 of
4281), in the list's own order, which is the alphabetical order of the
names: a code point with several names finds the alphabetically first one
first.
"""

import os
import sys

from fontTools import agl
from fontTools.agl import LEGACY_AGL2UV

ENTRY_COUNT = 4200

HEADER = """\
// The single-code-point entries of the Adobe Glyph List 2.0, as
// python3-fonttools carries it, in the list's alphabetical order of names.
// Written by tools/make-eps-glyph-names.py; do not edit. The list's notice:
//
%s

#include "graphics/EpsGraphics.h"

const CGlyphName kGlyphNames[kGlyphNameCount] = {
"""


def list_notice():
    """The list's own comment lines, its copyright notice and licence among
    them, up to its description of the format."""
    lines = []
    for line in agl._aglText.splitlines():
        if not line.startswith("#") or line.startswith("# Format:"):
            break
        lines.append("//" + line[1:])
    while lines and lines[-1].strip() == "//":
        lines.pop()
    return "\n".join(lines)


def main():
    top = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
    output = sys.argv[1] if len(sys.argv) > 1 else os.path.join(top, "graphics", "EpsGlyphNames.cpp")
    names = list(LEGACY_AGL2UV)
    if names != sorted(names):
        sys.exit("the glyph list is not in the order of its names")
    entries = [(name, codes[0]) for name, codes in LEGACY_AGL2UV.items() if len(codes) == 1]
    if len(entries) != ENTRY_COUNT:
        sys.exit("expected %d single-code-point entries, found %d" % (ENTRY_COUNT, len(entries)))
    with open(output, "w", newline="\n") as out:
        out.write(HEADER % list_notice())
        for name, code in entries:
            out.write('    {0x%04X, "%s"},\n' % (code, name))
        out.write("};\n")


if __name__ == "__main__":
    main()
