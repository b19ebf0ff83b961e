#!/usr/bin/python3
"""Reads a program's window over the accessibility bus (at-spi) and prints it as JSON.

Usage: atspi_window.py PID TITLE [KEY...]

Waits until the process with PID shows a window named TITLE on the bus and an object named
READY_NAME (the environment variable, when set) shows in it, then prints one JSON object:
  "objects": every object of the window: role, name, description, value, states
  "focus":   after each KEY (an xdotool key name, pressed in the window), the objects that
             say they have the focus, once the focus has moved away from where it was; a KEY
             written KEY=NAME waits instead until an object named NAME shows
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
POLL_S = 0.1

STATES = {
    "focused": pyatspi.STATE_FOCUSED,
    "focusable": pyatspi.STATE_FOCUSABLE,
    "showing": pyatspi.STATE_SHOWING,
    "visible": pyatspi.STATE_VISIBLE,
    "checkable": pyatspi.STATE_CHECKABLE,
    "checked": pyatspi.STATE_CHECKED,
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


def walk(node, found, keep=lambda node: True):
    """The objects under node that keep() takes, described; objects that go while they are
    read are left out."""
    try:
        if keep(node):
            found.append(describe(node))
        children = [node.getChildAtIndex(i) for i in range(node.childCount)]
    except Exception:  # the object went away meanwhile
        return found
    for child in children:
        if child is not None:
            walk(child, found, keep)
    return found


def find_window(pid, title):
    desktop = pyatspi.Registry.getDesktop(0)
    for index in range(desktop.childCount):
        try:
            application = desktop.getChildAtIndex(index)
            if application is None or application.get_process_id() != pid:
                continue
            for child in range(application.childCount):
                window = application.getChildAtIndex(child)
                if window is not None and window.name == title:
                    return window
        except Exception:  # an application that is starting or ending
            continue
    return None


def wait_for(condition, deadline_s, what):
    end = time.monotonic() + deadline_s
    while time.monotonic() < end:
        result = condition()
        if result:
            return result
        time.sleep(POLL_S)
    print(f"atspi_window: no {what} within {deadline_s} s", file=sys.stderr)
    sys.exit(2)


def focused(window):
    return walk(window, [], lambda node: node.getState().contains(pyatspi.STATE_FOCUSED))


def showing(window, name):
    return walk(window, [], lambda node: node.name == name and
                node.getState().contains(pyatspi.STATE_SHOWING))


def main():
    pid, title, keys = int(sys.argv[1]), sys.argv[2], sys.argv[3:]
    ready = os.environ.get("READY_NAME", "")

    def window_ready():
        window = find_window(pid, title)
        if window is None:
            return None
        if ready and not showing(window, ready):
            return None
        return window

    window = wait_for(window_ready, WINDOW_DEADLINE_S, f"window {title!r} holding {ready!r}")
    result = {"objects": walk(window, []), "focus": []}

    x_window = subprocess.run(
        ["xdotool", "search", "--all", "--onlyvisible", "--pid", str(pid), "--name", title],
        check=True, capture_output=True, text=True).stdout.split()[0]
    subprocess.run(["xdotool", "windowfocus", "--sync", x_window], check=True)
    before = focused(window)
    for key in keys:
        key, _, shows = key.partition("=")
        subprocess.run(["xdotool", "key", key], check=True)
        if shows:
            wait_for(lambda: showing(window, shows), KEY_DEADLINE_S, f"{shows!r} after {key}")
            after = focused(window)
        else:
            after = wait_for(lambda: (lambda now: now if now and now != before else None)(
                focused(window)), KEY_DEADLINE_S, f"move of the focus after {key}")
        result["focus"].append(after)
        before = after
    print(json.dumps(result, ensure_ascii=False))


if __name__ == "__main__":
    main()
