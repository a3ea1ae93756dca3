#!/bin/sh
# Makes the spoken test sentences: espeak-ng voices them, sox turns them into
# 16 kHz mono 16-bit WAVs (the recorder's format). Usage: make_speech.sh DIR
set -eu
out=$1
mkdir -p "$out"
make() {
    espeak-ng -w "$out/$1.raw.wav" "$2"
    sox "$out/$1.raw.wav" -r 16000 -c 1 -b 16 "$out/$1.wav"
    rm -f "$out/$1.raw.wav"
}
make sentence1 "Please read this sentence aloud after the tone."
make sentence2 "The quick brown fox jumps over the lazy dog."
# For the live tests: the first sentence with a short lead-in of silence.
sox "$out/sentence1.wav" "$out/sentence1-lead.wav" pad 0.3 0
