#!/usr/bin/python3
"""Reads a program's window over the accessibility bus (at-spi) and prints it as JSON.

Usage: atspi_window.py PID TITLE [KEY...]

Waits until the process with PID shows a window named TITLE on the bus and a status bar in it
says READY_NAME (the environment variable, when set), then prints one JSON object:
  "focus":   after each KEY (an xdotool key name, pressed in the window), the objects that
             say they have the focus, once the focus has moved away from where it was; a KEY
             written KEY=NAME waits instead until a status bar says NAME, and presses KEY again
             every few seconds while it does not (a programme that ends just as the key comes
             moves on instead of pausing); one written KEY@NAME is pressed once and waits until
             the object named NAME says it is checked
  "objects": every object of the window once the keys are pressed: role, name, description,
             value, states
  "windows": the names of the application's own windows
Exits 2 when the window or a move of the focus does not come in time.
"""
import json
import os
import subprocess
import sys
import time

import pyatspi

WINDOW_DEADLINE_S = 120
KEY_DEADLINE_S = 20
KEY_AGAIN_S = 3
KEY_STEADY_S = 2
POLL_S = 0.1

STATES = {
    "focused": pyatspi.STATE_FOCUSED,
    "focusable": pyatspi.STATE_FOCUSABLE,
    "showing": pyatspi.STATE_SHOWING,
    "visible": pyatspi.STATE_VISIBLE,
    "checkable": pyatspi.STATE_CHECKABLE,
    "checked": pyatspi.STATE_CHECKED,
    "expandable": pyatspi.STATE_EXPANDABLE,
    "expanded": pyatspi.STATE_EXPANDED,
    "collapsed": pyatspi.STATE_COLLAPSED,
}


def describe(node):
    states = node.getState()
    entry = {
        "role": node.getRoleName(),
        "name": node.name or "",
        "description": node.description or "",
        "states": [name for name, state in STATES.items() if states.contains(state)],
    }
    try:
        value = node.queryValue()
        entry["value"] = value.currentValue
        entry["maximum"] = value.maximumValue
    except NotImplementedError:
        pass
    return entry


def walk_nodes(node):
    """node and every object under it; objects that go while they are read are left out."""
    try:
        children = [node.getChildAtIndex(i) for i in range(node.childCount)]
    except Exception:  # the object went away meanwhile
        return [node]
    found = [node]
    for child in children:
        if child is not None:
            found += walk_nodes(child)
    return found


def described(nodes, keep=lambda node: True):
    """The objects of nodes that keep() takes, described; objects that go meanwhile are left
    out."""
    found = []
    for node in nodes:
        try:
            if keep(node):
                found.append(describe(node))
        except Exception:  # the object went away meanwhile
            continue
    return found


def walk(node, keep=lambda node: True):
    """The objects under node that keep() takes, described."""
    return described(walk_nodes(node), keep)


def find_application(pid):
    desktop = pyatspi.Registry.getDesktop(0)
    for index in range(desktop.childCount):
        try:
            application = desktop.getChildAtIndex(index)
            if application is not None and application.get_process_id() == pid:
                return application
        except Exception:  # an application that is starting or ending
            continue
    return None


def windows_of(application):
    try:
        return [application.getChildAtIndex(child) for child in range(application.childCount)]
    except Exception:  # the application went away meanwhile
        return []


def find_window(pid, title):
    application = find_application(pid)
    for window in windows_of(application) if application is not None else []:
        try:
            if window is not None and window.name == title:
                return window
        except Exception:  # a window that is coming or going
            continue
    return None


def is_checked(nodes, name):
    try:
        return any(node.name == name and node.getState().contains(pyatspi.STATE_CHECKED)
                   for node in nodes)
    except Exception:  # an object that went away is not checked
        return False


def give_up(what, deadline_s, window=None):
    print(f"atspi_window: no {what} within {deadline_s} s", file=sys.stderr)
    if window is not None:  # what the window said instead
        said = walk(window, lambda node: node.getRoleName() == "status bar" or
                    node.getState().contains(pyatspi.STATE_FOCUSED))
        print(json.dumps(said, ensure_ascii=False), file=sys.stderr)
    sys.exit(2)


def wait_for(condition, deadline_s, what, window=None):
    end = time.monotonic() + deadline_s
    while time.monotonic() < end:
        result = condition()
        if result:
            return result
        time.sleep(POLL_S)
    give_up(what, deadline_s, window)


def press_until_said(key, name, status_bars, window):
    """Presses key until a status bar says name and keeps saying it for a while (a programme
    still opening says it is loading once more); again when a few seconds pass without it."""
    end = time.monotonic() + KEY_DEADLINE_S
    pressed_at = said_since = None
    heard = False  # the key had its effect once: pressed again it would undo it
    while True:
        now = time.monotonic()
        if now > end:
            give_up(f"{name!r} held after {key}", KEY_DEADLINE_S, window)
        if says(status_bars, name):
            heard = True
            said_since = said_since or now
            if now - said_since >= KEY_STEADY_S:
                return
        else:
            said_since = None
            if not heard and (pressed_at is None or now - pressed_at >= KEY_AGAIN_S):
                subprocess.run(["xdotool", "key", key], check=True)
                pressed_at = now
        time.sleep(POLL_S)


def focused(nodes):
    """The objects of nodes that say they have the focus, described."""
    return described(nodes, lambda node: node.getState().contains(pyatspi.STATE_FOCUSED))


def says(status_bars, name):
    try:
        return any(node.name == name for node in status_bars)
    except Exception:  # a bar that went away says nothing
        return False


def main():
    pid, title, keys = int(sys.argv[1]), sys.argv[2], sys.argv[3:]
    ready = os.environ.get("READY_NAME", "")

    window = wait_for(lambda: find_window(pid, title), WINDOW_DEADLINE_S, f"window {title!r}")
    # The status bars, then read by name alone: a walk of the whole window takes seconds, and
    # the programme playing goes on meanwhile.
    status_bars = wait_for(lambda: [node for node in walk_nodes(window)
                                    if node.getRoleName() == "status bar"],
                           WINDOW_DEADLINE_S, "status bar")
    if ready:
        wait_for(lambda: says(status_bars, ready), WINDOW_DEADLINE_S,
                 f"status bar saying {ready!r}", window)

    x_window = subprocess.run(
        ["xdotool", "search", "--all", "--onlyvisible", "--pid", str(pid), "--name", title],
        check=True, capture_output=True, text=True).stdout.split()[0]
    subprocess.run(["xdotool", "windowfocus", "--sync", x_window], check=True)
    result = {"focus": []}
    # The window's objects, walked once when the keys start and again after a KEY=NAME (the
    # window may change then); the focus is read from them, an object at a time.
    nodes = walk_nodes(window)
    before = focused(nodes)
    for key in keys:
        key, _, shows = key.partition("=")
        key, _, checks = key.partition("@")
        if shows:
            press_until_said(key, shows, status_bars, window)
            nodes = walk_nodes(window)
            after = focused(nodes)
        elif checks:
            subprocess.run(["xdotool", "key", key], check=True)
            wait_for(lambda: is_checked(nodes, checks), KEY_DEADLINE_S,
                     f"{checks!r} checked after {key}", window)
            after = focused(nodes)
        else:
            subprocess.run(["xdotool", "key", key], check=True)
            after = wait_for(lambda: (lambda now: now if now and now != before else None)(
                focused(nodes)), KEY_DEADLINE_S, f"move of the focus after {key}", window)
        result["focus"].append(after)
        before = after
    result["objects"] = walk(window)
    result["windows"] = [node.name for node in windows_of(find_application(pid))]
    print(json.dumps(result, ensure_ascii=False))


if __name__ == "__main__":
    main()
