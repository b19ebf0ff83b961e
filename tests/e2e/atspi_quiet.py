#!/usr/bin/python3
"""Listens to what a program's window tells the accessibility bus (at-spi) while nobody touches
it, and times calls into it, as a screen reader makes them. Prints one JSON object:
  "seconds":  how long it listened
  "events":   the events the program sent meanwhile, counted by type, role and name of the source
  "calls_ms": the times of single calls into the window, in milliseconds, in the order made

Usage: atspi_quiet.py PID TITLE SECONDS [ROLE=NAME...]
With ROLE=NAME pairs ("status bar=正在播放") it listens once the window holds a control of each
(a programme that was starting plays): what a start tells is news, not the window playing on its
own.
Exits 2 when the window, or its controls, do not come in time.
"""
import json
import sys
import time

import pyatspi
from gi.repository import GLib

WINDOW_DEADLINE_S = 120
CALLS = 200
POLL_S = 0.1


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
        except Exception:  # an application or window that is coming or going
            continue
    return None


def holds(window, role, name):
    try:
        found = pyatspi.findDescendant(
            window, lambda each: each.getRoleName() == role and each.name == name)
        return found is not None
    except Exception:  # a control that is coming or going
        return False


def timed_calls(window):
    """The time of each of CALLS calls into the window, in milliseconds, in the order made: the
    window's place on the screen, which the bus asks the program for every time (names and
    states are kept by the bus's client side once read)."""
    component = window.queryComponent()
    times = []
    for _ in range(CALLS):
        start = time.monotonic()
        component.getExtents(pyatspi.DESKTOP_COORDS)
        times.append((time.monotonic() - start) * 1000)
    return times


def main():
    pid, title, seconds = int(sys.argv[1]), sys.argv[2], float(sys.argv[3])
    end = time.monotonic() + WINDOW_DEADLINE_S
    window = find_window(pid, title)
    while window is None:
        if time.monotonic() > end:
            print(f"atspi_quiet: no window {title!r} within {WINDOW_DEADLINE_S} s", file=sys.stderr)
            sys.exit(2)
        time.sleep(POLL_S)
        window = find_window(pid, title)

    end = time.monotonic() + WINDOW_DEADLINE_S
    for wanted in sys.argv[4:]:
        role, name = wanted.split("=", 1)
        while not holds(window, role, name):
            if time.monotonic() > end:
                print(f"atspi_quiet: no {role} {name!r} in the window", file=sys.stderr)
                sys.exit(2)
            time.sleep(POLL_S)

    events = {}

    def count(event):
        try:
            if event.host_application.get_process_id() != pid:
                return
        except Exception:  # an application that went away
            return
        try:
            told = f"{event.type} {event.source.getRoleName()} {event.source.name}"
        except Exception:  # a source that went away
            told = event.type
        events[told] = events.get(told, 0) + 1

    types = ["object:", "window:", "focus:"]
    pyatspi.Registry.registerEventListener(count, *types)
    started = time.monotonic()
    GLib.timeout_add(int(seconds * 1000), pyatspi.Registry.stop)
    pyatspi.Registry.start()
    listened = time.monotonic() - started
    pyatspi.Registry.deregisterEventListener(count, *types)
    print(json.dumps({"seconds": listened, "events": events, "calls_ms": timed_calls(window)},
                     ensure_ascii=False))


if __name__ == "__main__":
    main()
