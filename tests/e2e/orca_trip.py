#!/usr/bin/python3
"""Walks a keyboard trip through a program's window with the Orca screen reader listening, and
prints what Orca said after each key as JSON.

Usage: orca_trip.py DIR TITLE STEP...

Starts speech-dispatcher with a module of its own that writes every utterance into DIR/spoken.log
instead of speaking it, and Orca with its preferences in DIR; waits until Orca speaks, then until
it has said TITLE (the program's window, which the caller starts once the file DIR/orca-ready
appears, and which this script gives the keyboard). Each STEP is KEY=TEXT: the key (an xdotool key
name; "type:WORDS" types WORDS) is pressed and the step waits until Orca has said TEXT, which
may be written A|B for either, or "re:PATTERN" for a regular expression; an empty TEXT waits
for nothing. Prints one JSON object:
  "start":  seconds from the ready file to TITLE spoken
  "steps":  for each STEP: "key", "expect", "said" (what Orca said from the key on until TEXT),
            "seconds" (from the key to TEXT)
Exits 2 when Orca does not start, or TEXT is not said within STEP_DEADLINE_S (then what was said
is on standard error).
"""
import json
import os
import re
import subprocess
import sys
import time

START_DEADLINE_S = 120
STEP_DEADLINE_S = 90
POLL_S = 0.05

# The module opens a sound device though it plays nothing: ALSA's null device (ALSA_CONFIG_PATH).
SPEECHD_CONF = """\
AudioOutputMethod "alsa"
AddModule "logger" "sd_generic" "logger.conf"
DefaultModule logger
LanguageDefaultModule "zh" "logger"
LanguageDefaultModule "en" "logger"
"""
# One line per utterance; the text comes single-quoted from the module.
LOGGER_CONF = """\
GenericExecuteSynth "echo '$DATA' >> {log}"
GenericLanguage "en" "en" "utf-8"
GenericLanguage "zh" "zh" "utf-8"
AddVoice "en" "MALE1" "en"
AddVoice "zh" "MALE1" "zh"
"""


ALSA_CONF = """\
pcm.!default { type null }
ctl.!default { type hw card 0 }
"""


class Speech:
    """What was said so far, read from the log as it grows."""

    def __init__(self, log):
        self.log = log
        self.lines = []
        self.partial = b""
        self.offset = 0

    def read(self):
        try:
            with open(self.log, "rb") as file:
                file.seek(self.offset)
                data = file.read()
        except FileNotFoundError:
            return
        self.offset += len(data)
        data = self.partial + data
        *complete, self.partial = data.split(b"\n")
        self.lines += [line.decode("utf-8", "replace").strip() for line in complete]

    def wait_for(self, said, since, deadline_s):
        """The lines from `since` on up to the first of which said() holds; None if none comes
        in time."""
        end = time.monotonic() + deadline_s
        while time.monotonic() < end:
            self.read()
            for at in range(since, len(self.lines)):
                if said(self.lines[at]):
                    return self.lines[since:at + 1]
            time.sleep(POLL_S)
        return None


def matcher(expect):
    """Whether a line says what a step expects (see the usage above)."""
    if expect.startswith("re:"):
        pattern = re.compile(expect[3:])
        return lambda line: pattern.search(line) is not None
    texts = expect.split("|")
    return lambda line: any(text in line for text in texts)


def give_up(what, speech, since):
    print(f"orca_trip: {what}; Orca said meanwhile: {speech.lines[since:]}", file=sys.stderr)
    sys.exit(2)


def start_reader(directory):
    """A window manager, as a child's desktop has, speech-dispatcher with the logging module, then
    Orca; they end with this script."""
    config = os.path.join(directory, "speech-dispatcher")
    os.makedirs(os.path.join(config, "modules"), exist_ok=True)
    log = os.path.join(directory, "spoken.log")
    with open(os.path.join(config, "speechd.conf"), "w") as file:
        file.write(SPEECHD_CONF)
    with open(os.path.join(config, "modules", "logger.conf"), "w") as file:
        file.write(LOGGER_CONF.format(log=log))
    alsa = os.path.join(directory, "asound.conf")
    with open(alsa, "w") as file:
        file.write(ALSA_CONF)
    socket = os.path.join(directory, "speechd.sock")
    environment = dict(os.environ, SPEECHD_ADDRESS=f"unix_socket:{socket}", LANG="C.UTF-8",
                       LANGUAGE="C", ALSA_CONFIG_PATH=alsa)
    manager = subprocess.Popen(["openbox", "--sm-disable"], stdout=subprocess.DEVNULL,
                               stderr=subprocess.DEVNULL)
    dispatcher = subprocess.Popen(
        ["speech-dispatcher", "--run-single", "--config-dir", config, "--communication-method",
         "unix_socket", "--socket-path", socket, "--timeout", "0",
         "--log-dir", directory], env=environment,
        stdout=open(os.path.join(directory, "speech-dispatcher.out"), "w"),
        stderr=subprocess.STDOUT)
    end = time.monotonic() + START_DEADLINE_S
    while not os.path.exists(socket):
        if time.monotonic() > end or dispatcher.poll() is not None:
            print("orca_trip: speech-dispatcher did not start", file=sys.stderr)
            sys.exit(2)
        time.sleep(POLL_S)
    preferences = os.path.join(directory, "orca")
    os.makedirs(preferences, exist_ok=True)
    orca = subprocess.Popen(["orca", "--replace", "--user-prefs", preferences,
                             "--debug-file", os.path.join(directory, "orca-debug.out")],
                            env=environment, stdout=subprocess.DEVNULL,
                            stderr=open(os.path.join(directory, "orca.err"), "w"))
    return [orca, dispatcher, manager], Speech(log)


def main():
    directory, title, steps = sys.argv[1], sys.argv[2], sys.argv[3:]
    processes, speech = start_reader(directory)
    try:
        # Orca says that it is on once it listens.
        if speech.wait_for(lambda line: True, 0, START_DEADLINE_S) is None:
            give_up("Orca said nothing", speech, 0)
        since = len(speech.lines)
        ready = time.monotonic()
        open(os.path.join(directory, "orca-ready"), "w").close()
        x_window = None
        end = ready + START_DEADLINE_S
        while not x_window:
            if time.monotonic() > end:
                give_up(f"no window {title!r}", speech, since)
            found = subprocess.run(["xdotool", "search", "--onlyvisible", "--name", title],
                                   capture_output=True, text=True).stdout.split()
            x_window = found[0] if found else None
            time.sleep(POLL_S)
        subprocess.run(["xdotool", "windowfocus", "--sync", x_window], check=True)
        if speech.wait_for(matcher(title), since, START_DEADLINE_S) is None:
            give_up(f"{title!r} not said", speech, since)
        result = {"start": time.monotonic() - ready, "steps": []}

        for step in steps:
            key, _, expect = step.partition("=")
            since = len(speech.lines)
            pressed = time.monotonic()
            if key.startswith("type:"):
                subprocess.run(["xdotool", "type", "--delay", "100", key[5:]], check=True)
            elif key:
                subprocess.run(["xdotool", "key", key], check=True)
            said = speech.wait_for(matcher(expect), since, STEP_DEADLINE_S) if expect else []
            if said is None:
                give_up(f"{expect!r} not said after {key}", speech, since)
            result["steps"].append({"key": key, "expect": expect, "said": said,
                                    "seconds": time.monotonic() - pressed})
        print(json.dumps(result, ensure_ascii=False))
    finally:
        for process in processes:
            process.terminate()
            try:
                process.wait(10)
            except subprocess.TimeoutExpired:
                process.kill()


if __name__ == "__main__":
    main()
