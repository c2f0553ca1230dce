#!/usr/bin/env python3
"""Fails when a source file includes a header its library may not use.

    check-layers.py <layers.txt written by the build> <source folder>

Each line of the layers file is one of
  "folder F: U1 U2 ..."   the files of folder F may include the folders U;
  "upward H N: A B ..."   the header H of the upward library N may be
                          included by the folders or libraries A, B;
  "piece S N: L1 L2 ..."  the files of stem S are built into the library N,
                          which links only L1, L2, ...;
  "header S N: A B ..."   the header of stem S is used through itself alone
                          by the folders or libraries A, B.
A piece's files may include the headers of their own library, of the
libraries they link (a folder brings the folders it uses) and the upward
headers that name their library. A header used through itself alone may
include what each of its users may. Everything else in a folder may include
what the folder uses and the upward headers that name the folder.
"""
import os
import re
import sys

INCLUDE = re.compile(r'\s*#\s*include\s+"([^"]+)"')


def read_layers(path):
    uses, upward, pieces, shared = {}, {}, {}, {}
    with open(path, encoding='utf-8') as lines:
        for line in lines:
            words = line.split()
            if not words:
                continue
            if words[0] == 'folder':
                uses[words[1].rstrip(':')] = set(words[2:])
            elif words[0] == 'upward':
                upward[words[1]] = (words[2].rstrip(':'), set(words[3:]))
            elif words[0] == 'piece':
                pieces[words[1]] = (words[2].rstrip(':'), set(words[3:]))
            elif words[0] == 'header':
                shared[words[1]] = (words[2].rstrip(':'), set(words[3:]))
    return uses, upward, pieces, shared


def folder_of(header, folders):
    # The longest folder that holds the header directly ("objects/equipment").
    best = None
    for folder in folders:
        if header.startswith(folder + '/') and '/' not in header[len(folder) + 1:]:
            best = folder if best is None or len(folder) > len(best) else best
    return best


class Layers:
    def __init__(self, path):
        self.uses, self.upward, self.pieces, self.shared = read_layers(path)
        self.folder_of_library = {folder.replace('/', '_'): folder for folder in self.uses}
        self.library_of_header = {header: library for header, (library, _) in self.upward.items()}
        self.links_of_library = {library: links for library, links in self.pieces.values()}

    def user_may_include(self, user, header):
        # user: a folder or an upward library.
        target = folder_of(header, self.uses)
        if target is None or user in self.upward.get(header, ('', ()))[1]:
            return True
        if user in self.uses:
            return target == user or target in self.uses[user]
        links = self.links_of_library.get(user, set())
        if self.library_of_header.get(header) in links | {user}:
            return True
        for link in links:
            linked = self.folder_of_library.get(link)
            if linked is not None and (target == linked or target in self.uses[linked]):
                return True
        return False

    def may_include(self, folder, name, header):
        stem = '%s/%s' % (folder, os.path.splitext(name)[0])
        if stem in self.pieces:
            return self.user_may_include(self.pieces[stem][0], header)
        if stem in self.shared and name.endswith('.h'):
            library, users = self.shared[stem]
            return self.library_of_header.get(header) == library or \
                all(self.user_may_include(user, header) for user in users)
        return self.user_may_include(folder, header)


def main():
    layers = Layers(sys.argv[1])
    top = sys.argv[2]
    faults = []
    for folder in sorted(layers.uses):
        directory = os.path.join(top, folder)
        for name in sorted(os.listdir(directory)):
            if not name.endswith(('.cpp', '.h')):
                continue
            with open(os.path.join(directory, name), encoding='utf-8', errors='replace') as source:
                for number, line in enumerate(source, 1):
                    match = INCLUDE.match(line)
                    if match and not layers.may_include(folder, name, match.group(1)):
                        faults.append('%s/%s:%d: may not include %s' % (folder, name, number, match.group(1)))
    for fault in faults:
        print(fault)
    if faults:
        print('%d include(s) against the layers (see the upward edges in CMakeLists.txt)' % len(faults))
        return 1
    print('%d folders checked' % len(layers.uses))
    return 0


if __name__ == '__main__':
    sys.exit(main())
