#!/usr/bin/env python3
"""Turns foundation/Texts.txt into the scrambled text table (a C++ source).

Texts.txt holds one line per identifier: the identifier, one or more blanks,
then the text. "\\n", "\\t" and "\\\\" stand for a line break, a tab and a
backslash. Lines starting with "#" and empty lines are ignored. Every
identifier from 2000 to 2722 must be there exactly once. Placeholders are
"%1" to "%4"; callers fill at most four.

Each 16-bit unit is scrambled with a keystream from a linear congruential
generator seeded with the text's identifier (foundation/Strings.cpp undoes it).
"""
import re
import sys

FIRST, LAST = 2000, 2722


def unescape(text, where):
    out, i = [], 0
    while i < len(text):
        c = text[i]
        if c == "\\":
            if i + 1 == len(text):
                sys.exit(f"{where}: a backslash ends the text (write \\\\ for a backslash)")
            nxt = text[i + 1]
            mapping = {"n": "\n", "t": "\t", "\\": "\\"}
            if nxt not in mapping:
                sys.exit(f"{where}: unknown escape \\{nxt}")
            out.append(mapping[nxt])
            i += 2
        else:
            out.append(c)
            i += 1
    return "".join(out)


def scramble(ident, units):
    seed = ident & 0xFFFFFFFF
    out = []
    for u in units:
        seed = (seed * 1103515245 + 12345) & 0xFFFFFFFF
        out.append(u ^ ((seed >> 16) & 0xFFFF))
    return out


def main(src, dst):
    texts = {}
    with open(src, encoding="utf-8-sig") as f:
        for number, line in enumerate(f, 1):
            line = line.rstrip("\r\n")
            if not line.strip() or line.startswith("#"):
                continue
            head, _, text = line.partition(" ")
            where = f"{src}:{number}"
            if not head.isdigit():
                sys.exit(f"{where}: a line must start with the text identifier")
            ident = int(head)
            if not FIRST <= ident <= LAST:
                sys.exit(f"{where}: identifier {ident} outside {FIRST}..{LAST}")
            if ident in texts:
                sys.exit(f"{where}: identifier {ident} given twice")
            text = unescape(text.lstrip(" "), where)
            if not text:
                sys.exit(f"{where}: identifier {ident} has an empty text")
            if re.search(r"%[05-9]", text):
                sys.exit(f"{where}: identifier {ident}: placeholders run from %1 to %4")
            texts[ident] = text
    missing = [i for i in range(FIRST, LAST + 1) if i not in texts]
    if missing:
        sys.exit(f"{src}: no text for identifiers {missing[:10]}{' ...' if len(missing) > 10 else ''}")

    data, offsets = [], []
    for ident in range(FIRST, LAST + 1):
        encoded = texts[ident].encode("utf-16-le")
        units = [int.from_bytes(encoded[k:k + 2], "little") for k in range(0, len(encoded), 2)]
        offsets.append(len(data))
        data.extend(scramble(ident, units))
    offsets.append(len(data))

    with open(dst, "w", encoding="ascii", newline="\n") as f:
        f.write("// Made from foundation/Texts.txt by tools/make-text-table.py. Do not edit.\n")
        f.write('#include "foundation/TextTable.h"\n\n')
        f.write("namespace {\n\nconst unsigned short kUnits[] = {\n")
        for k in range(0, len(data), 12):
            f.write("    " + ", ".join(f"0x{u:04X}" for u in data[k:k + 12]) + ",\n")
        f.write("};\n\nconst unsigned int kOffsets[] = {\n")
        for k in range(0, len(offsets), 12):
            f.write("    " + ", ".join(str(o) for o in offsets[k:k + 12]) + ",\n")
        f.write("};\n\n}  // namespace\n\n")
        f.write("CScrambledText GetScrambledText(int index)\n{\n")
        f.write("    return { kUnits + kOffsets[index], int(kOffsets[index + 1] - kOffsets[index]) };\n}\n")


if __name__ == "__main__":
    if len(sys.argv) != 3:
        sys.exit("usage: make-text-table.py Texts.txt TextTable.cpp")
    main(sys.argv[1], sys.argv[2])
