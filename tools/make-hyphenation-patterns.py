#!/usr/bin/env python3
"""Writes graphics/HyphenationPatterns.cpp: the US English hyphenation
patterns that CHyphenator looks words up in, converted from TeX's hyphen.tex.

The table is committed, so the build does not need hyphen.tex; run this again
only to change it (Debian: texlive-base holds the file):

    tools/make-hyphenation-patterns.py path/to/hyphen.tex [output.cpp]

Every pattern of the \\patterns list is taken as it stands (letters, "." at a
word edge, digits 1-5 between them). Every word of the \\hyphenation list
becomes a whole-word pattern: the word between dots, with 7 where the list
allows a break and 6 between every other two letters ("ta-ble" gives
".t6a7b6l6e."), so it outweighs every ordinary pattern. The entries are
sorted by their letters, digits ignored, for a binary search.
"""

import os
import re
import sys

PATTERN_COUNT = 4447
EXCEPTION_COUNT = 14

HEADER = """\
// The US English hyphenation patterns of Frank M. Liang, from TeX's hyphen.tex
// by Donald E. Knuth, converted into a table by
// tools/make-hyphenation-patterns.py (the file's licence allows modified
// copies under another name); do not edit.
//
// Digits 1-5 are the patterns' own; the exception words are whole-word
// patterns with 7 (break) and 6 (no break) between every two letters. Sorted
// by letters, digits ignored; a null pointer ends the table.
#include "graphics/Hyphenator.h"

const char* const g_hyphenationPatterns[] = {
"""


def read_lists(path):
    with open(path, encoding="ascii") as f:
        text = "\n".join(line.split("%", 1)[0] for line in f)
    lists = {}
    for name, body in re.findall(r"\\(patterns|hyphenation)\s*\{([^}]*)\}", text):
        lists[name] = body.split()
    return lists["patterns"], lists["hyphenation"]


def exception_pattern(word):
    parts = word.split("-")
    letters = "".join(parts)
    breaks = set()
    position = 0
    for part in parts[:-1]:
        position += len(part)
        breaks.add(position)
    coded = letters[0]
    for i in range(1, len(letters)):
        coded += ("7" if i in breaks else "6") + letters[i]
    return "." + coded + "."


def letters_of(pattern):
    return re.sub(r"[0-9]", "", pattern)


def main():
    if len(sys.argv) < 2:
        sys.exit(__doc__)
    top = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
    output = sys.argv[2] if len(sys.argv) > 2 else os.path.join(top, "graphics", "HyphenationPatterns.cpp")
    patterns, exceptions = read_lists(sys.argv[1])
    if len(patterns) != PATTERN_COUNT or len(exceptions) != EXCEPTION_COUNT:
        sys.exit("expected %d patterns and %d exceptions, found %d and %d"
                 % (PATTERN_COUNT, EXCEPTION_COUNT, len(patterns), len(exceptions)))
    for pattern in patterns:
        if not re.fullmatch(r"\.?[0-9]?([a-z][0-9]?)+\.?", pattern):
            sys.exit("unexpected pattern " + pattern)
    for word in exceptions:
        if not re.fullmatch(r"[a-z]+(-[a-z]+)*", word):
            sys.exit("unexpected exception word " + word)
    entries = patterns + [exception_pattern(word) for word in exceptions]
    keys = [letters_of(entry) for entry in entries]
    if len(set(keys)) != len(keys):
        sys.exit("two entries have the same letters")
    entries.sort(key=letters_of)
    with open(output, "w", newline="\n") as f:
        f.write(HEADER)
        for start in range(0, len(entries), 8):
            f.write("    " + " ".join('"%s",' % entry for entry in entries[start:start + 8]) + "\n")
        f.write("    nullptr,\n};\n")
    print("%d entries written to %s" % (len(entries), output))


if __name__ == "__main__":
    main()
