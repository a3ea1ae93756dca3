#!/bin/sh
# Speaks a sentence into the virtual microphone: espeak-ng voices it, sox makes it
# 16 kHz mono 16-bit with a short lead-in, paplay plays it into micsink at real time.
# Usage: speak.sh "text"
set -eu
dir=$(mktemp -d "${TMPDIR:-/tmp}/nelo-speak.XXXXXX")
trap 'rm -rf "$dir"' EXIT
espeak-ng -w "$dir/raw.wav" "$1"
sox "$dir/raw.wav" -r 16000 -c 1 -b 16 "$dir/speech.wav" pad 0.3 0
paplay --device=micsink "$dir/speech.wav"
