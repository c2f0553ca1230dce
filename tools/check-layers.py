#!/usr/bin/env python3
"""Fails when a source file includes a header of a folder its own folder may
not use.

    check-layers.py <layers.txt written by the build> <source folder>

Each line of the layers file is "folder F: U1 U2 ..." (F may include the
folders U), "upward H N: F1 F2 ..." (the header H of the upward library N may
be included by the folders F) or "piece S N: L1 L2 ..." (the files of stem
S, built into N, may include the folders of the libraries L it links).
"""
import os
import re
import sys

INCLUDE = re.compile(r'\s*#\s*include\s+"([^"]+)"')


def read_layers(path):
    uses, upward, pieces = {}, {}, {}
    with open(path, encoding='utf-8') as lines:
        for line in lines:
            words = line.split()
            if not words:
                continue
            if words[0] == 'folder':
                uses[words[1].rstrip(':')] = set(words[2:])
            elif words[0] == 'upward':
                upward[words[1]] = set(words[3:])
            elif words[0] == 'piece':
                pieces[words[1]] = set(words[3:])
    return uses, upward, pieces


def folder_of(header, folders):
    # The longest folder that holds the header directly ("objects/equipment").
    best = None
    for folder in folders:
        if header.startswith(folder + '/') and '/' not in header[len(folder) + 1:]:
            best = folder if best is None or len(folder) > len(best) else best
    return best


def main():
    uses, upward, pieces = read_layers(sys.argv[1])
    top = sys.argv[2]
    folders = set(uses)
    folder_of_library = {folder.replace('/', '_'): folder for folder in folders}
    faults = []
    for folder in sorted(uses):
        directory = os.path.join(top, folder)
        for name in sorted(os.listdir(directory)):
            if not name.endswith(('.cpp', '.h')):
                continue
            path = os.path.join(directory, name)
            links = pieces.get('%s/%s' % (folder, os.path.splitext(name)[0]), ())
            allowed = uses[folder] | {folder_of_library[link] for link in links if link in folder_of_library}
            with open(path, encoding='utf-8', errors='replace') as source:
                for number, line in enumerate(source, 1):
                    match = INCLUDE.match(line)
                    if not match:
                        continue
                    header = match.group(1)
                    target = folder_of(header, folders)
                    if target is None or target == folder or target in allowed:
                        continue
                    if folder in upward.get(header, ()):
                        continue
                    faults.append('%s/%s:%d: %s may not include %s' % (folder, name, number, folder, header))
    for fault in faults:
        print(fault)
    if faults:
        print('%d include(s) against the layers (see the upward edges in CMakeLists.txt)' % len(faults))
        return 1
    print('%d folders checked' % len(uses))
    return 0


if __name__ == '__main__':
    sys.exit(main())
