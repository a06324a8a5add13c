#!/usr/bin/env python3
"""The includes between the program's folders run one way: a folder's forms may include any
folder's core below them, a core never includes forms, and no chain of includes between
(folder, core|forms) units comes back to where it started. Exits 1 naming what breaks it."""
import collections
import os
import re
import sys

root = sys.argv[1] if len(sys.argv) > 1 else '.'
top = open(os.path.join(root, 'CMakeLists.txt')).read()
folders = re.search(r'set\(VORNEX_FOLDERS ([^)]*)\)', top).group(1).split()

layer = {}
for folder in folders:
    text = open(os.path.join(root, folder, 'CMakeLists.txt')).read()
    for m in re.finditer(r'target_sources\((vornex_core|vornex_forms) PRIVATE(.*?)\)', text, re.S):
        for name in m.group(2).split():
            layer[folder + '/' + name] = 'core' if m.group(1) == 'vornex_core' else 'forms'
layer['app/main.cpp'] = 'forms'

edges = collections.defaultdict(set)
why = {}
faults = []
for path, kind in layer.items():
    full = os.path.join(root, path)
    if not os.path.exists(full):
        continue
    folder = path.split('/')[0]
    for line in open(full, encoding='utf-8'):
        m = re.match(r'#include "(\w+/\w+\.h)"', line)
        if not m:
            continue
        target = m.group(1)
        target_kind = layer.get(target, 'core')
        if kind == 'core' and target_kind == 'forms':
            faults.append('%s (core) includes %s (forms)' % (path, target))
        a, b = (folder, kind), (target.split('/')[0], target_kind)
        if a != b:
            edges[a].add(b)
            why[(a, b)] = path + ' -> ' + target


def reaches(start, goal, seen):
    for n in edges[start]:
        if n == goal:
            return True
        if n not in seen:
            seen.add(n)
            if reaches(n, goal, seen):
                return True
    return False


for a in list(edges):
    for b in list(edges[a]):
        if reaches(b, a, set()):
            faults.append('a circle of includes through ' + why[(a, b)])
for fault in faults:
    print(fault)
sys.exit(1 if faults else 0)
