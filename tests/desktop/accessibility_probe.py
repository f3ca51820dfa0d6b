#!/usr/bin/python3
# SPDX-License-Identifier: GPL-3.0-or-later
"""Reads the running program's window through AT-SPI, as a screen reader does, and checks that the window is a
frame, that each of the three lists has its name and the folder lists their description, and that the buttons'
names are their captions (an access key's mark is not read out).

usage: accessibility_probe.py APPLICATION_NAME
"""
import sys
import time

import pyatspi

LISTS = {
    "Folder 1": "Double-click item to remove it",
    "Folder 2": "Double-click item to remove it",
    "How often would you like to sync?": None,  # no description asked for
}
BUTTONS = ("1. Choose Folder 1", "2. Choose Folder 2", "Sync Now (Test)")


def find_application(name, seconds):
    deadline = time.time() + seconds
    while time.time() < deadline:
        for application in pyatspi.Registry.getDesktop(0):
            if application is not None and application.name == name:
                return application
        time.sleep(0.2)
    return None


def descendants(node, depth=0):
    if depth > 12:
        return
    for child in node:
        if child is not None:
            yield child
            yield from descendants(child, depth + 1)


def check(application):
    problems = []
    windows = [child for child in application if child is not None]
    frames = [window for window in windows if window.getRoleName() == "frame" and window.name == "Quillmere"]
    if not frames:
        problems.append("no frame named Quillmere, only: %s" % [(w.getRoleName(), w.name) for w in windows])
        return problems
    nodes = list(descendants(frames[0]))
    trees = {node.name: node for node in nodes if node.getRoleName() in ("tree", "tree table")}
    for name, description in LISTS.items():
        if name not in trees:
            problems.append("no list named %r among the lists %s" % (name, sorted(trees)))
        elif description is not None and trees[name].description != description:
            problems.append("the list %r is described as %r" % (name, trees[name].description))
    buttons = {node.name for node in nodes if node.getRoleName() == "push button"}
    problems += ["no button named %r among %s" % (name, sorted(buttons)) for name in BUTTONS if name not in buttons]
    return problems


def main():
    application = find_application(sys.argv[1], 20)
    if application is None:
        print("FAIL: %s is not on the accessibility bus" % sys.argv[1])
        return 1
    problems = check(application)
    for problem in problems:
        print("FAIL: " + problem)
    if not problems:
        print("the window is a frame, its lists are named and described, its buttons named by their captions")
    return 1 if problems else 0


if __name__ == "__main__":
    sys.exit(main())
