#!/usr/bin/env bash
# Runs a program under Orca, Debian's screen reader, on a virtual X display, types keys into it
# with xdotool and prints what Orca spoke, one line each, with the keys as Orca received them.
#
#   tools/orca-speech.sh PROGRAM [KEY...]
#
# Each KEY is an xdotool key name (Right, Return, shift+l, alt+c), `type:TEXT` or
# `sleep:SECONDS`. With ORCA_SPEECH_DRIVER=COMMAND, the keys the command prints, one a line, follow;
# it can read what Orca has said so far in the file named by $ORCA_LOG. Orca runs
# with its default settings; speech goes through speech-dispatcher and espeak-ng to a null sound
# device, and what was spoken is read from Orca's debug file (`SPEECH OUTPUT: '…'`). Everything
# lives in a private bus, display and set of folders that are removed at the end.
# With ORCA_SPEECH_LOG=FILE, Orca's whole debug file is kept there.
# Needs: orca, speech-dispatcher, espeak-ng, xvfb, xdotool, at-spi2-core, dbus, python3.
set -euo pipefail

if [[ $# -lt 1 ]]; then
    echo "usage: $0 PROGRAM [KEY...]" >&2
    exit 2
fi

work=$(mktemp -d)
trap 'kill $(jobs -p) 2>/dev/null || true; rm -rf "$work"' EXIT
export HOME=$work/home XDG_CONFIG_HOME=$work/config XDG_DATA_HOME=$work/data \
    XDG_CACHE_HOME=$work/cache XDG_RUNTIME_DIR=$work/runtime
mkdir -p "$HOME" "$XDG_CONFIG_HOME/speech-dispatcher" "$XDG_DATA_HOME" "$XDG_CACHE_HOME"
mkdir -m 700 "$XDG_RUNTIME_DIR"
cat >"$XDG_CONFIG_HOME/speech-dispatcher/speechd.conf" <<'CONF'
AudioOutputMethod "alsa"
AudioALSADevice "null"
AddModule "espeak-ng" "sd_espeak-ng" "espeak-ng.conf"
DefaultModule espeak-ng
DefaultLanguage "zh"
CONF

# A free display number.
display=99
while [[ -e /tmp/.X11-unix/X$display || -e /tmp/.X$display-lock ]]; do
    display=$((display + 1))
done
Xvfb ":$display" -screen 0 1024x768x24 -nolisten tcp >"$work/xvfb.log" 2>&1 &
export DISPLAY=":$display"
for _ in $(seq 50); do
    xdotool getmouselocation >/dev/null 2>&1 && break
    sleep 0.1
done

export ORCA_LOG=$work/orca.log
# Orca writes its debug file in blocks of 8 KiB; a driver follows it line by line.
mkdir "$work/python"
cat >"$work/python/sitecustomize.py" <<'PYTHON'
import builtins
import os

_open = builtins.open


def _open_debug_file_by_lines(file, mode="r", buffering=-1, *args, **kwargs):
    if file == os.environ.get("ORCA_LOG") and buffering == -1:
        buffering = 1
    return _open(file, mode, buffering, *args, **kwargs)


builtins.open = _open_debug_file_by_lines
PYTHON
dbus-run-session -- bash -s -- "$@" 2>"$work/session.log" <<'SESSION' || { grep '^orca-speech:' "$work/session.log" >&2; exit 1; }
set -euo pipefail
/usr/libexec/at-spi-bus-launcher --launch-immediately &
sleep 1
PYTHONPATH=${ORCA_LOG%/*}/python orca --replace --debug-file "$ORCA_LOG" >/dev/null 2>&1 &
# Orca is ready once it has loaded its default script.
for _ in $(seq 100); do
    grep -q "SPEECH OUTPUT" "$ORCA_LOG" 2>/dev/null && break
    sleep 0.1
done
program=$1
shift
BROWSER=true QT_LINUX_ACCESSIBILITY_ALWAYS_ON=1 "$program" >/dev/null 2>&1 &
pid=$!
window=$(timeout 30 xdotool search --sync --onlyvisible --pid $pid 2>/dev/null | head -n 1 || true)
if [[ -z $window ]]; then
    echo "orca-speech: $program showed no window within 30 s" >&2
    exit 1
fi
# Without a window manager nothing gives the keyboard back to the window when a box closes.
keep_focus() {
    local focused
    focused=$(xdotool getwindowfocus 2>/dev/null || true)
    if ! xdotool search --onlyvisible --pid $pid 2>/dev/null | grep -qx "$focused"; then
        xdotool windowfocus --sync "$window" 2>/dev/null || true
    fi
}
press() {
    if [[ $1 == sleep:* ]]; then
        sleep "${1#sleep:}"
    elif [[ $1 == type:* ]]; then
        keep_focus
        xdotool type --delay 20 "${1#type:}"
    else
        keep_focus
        xdotool key --clearmodifiers "$1"
        sleep 0.4
    fi
}
keep_focus
sleep 2
for key in "$@"; do
    press "$key"
done
if [[ -n ${ORCA_SPEECH_DRIVER:-} ]]; then
    while read -r key; do
        press "$key"
    done < <($ORCA_SPEECH_DRIVER)
fi
sleep 1
kill $(jobs -p) 2>/dev/null || true
SESSION

[[ -z ${ORCA_SPEECH_LOG:-} ]] || cp "$ORCA_LOG" "$ORCA_SPEECH_LOG"

# The keys Orca received ("key: Return") and what it spoke ("said: …"), in order; a text spoken
# over several lines is joined with " / ".
python3 - "$ORCA_LOG" <<'PARSE'
import re
import sys

pressed = False
speech = None
for line in open(sys.argv[1], encoding="utf-8", errors="replace"):
    line = line.rstrip("\n")
    if speech is not None:
        speech.append(line)
    elif "type=ATSPI_KEY_PRESSED_EVENT" in line:
        pressed = True
        continue
    elif pressed and "event_string=(" in line:
        print("key:", line.split("event_string=(", 1)[1].rstrip(")"))
        pressed = False
        continue
    elif "SPEECH OUTPUT: '" in line:
        speech = [line.split("SPEECH OUTPUT: '", 1)[1]]
    if speech is not None:
        end = re.search(r"' ?\{'[a-z-]+':.*\}$", speech[-1])
        if end:
            speech[-1] = speech[-1][: end.start()]
            print("said:", " / ".join(speech).strip())
            speech = None
PARSE
