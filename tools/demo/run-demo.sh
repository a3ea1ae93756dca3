#!/usr/bin/env bash
# The demo of the whole product, run inside the test environment
# (tools/env/testenv.sh run tools/demo/run-demo.sh BIN); `make demo` does that.
#
#   run-demo.sh [BIN]   BIN: the 64-bit build's bin folder (default build/x64/bin)
#
# Makes a lesson from a sentence with the native authoring tool, puts it and
# its reference reading into the Resources folder next to the control, makes a
# learner's reading with another voice, and runs the demo script in the script
# host: record (the learner's reading played into the virtual microphone),
# score, show the results, play back, draw the picture. The picture, a copy of
# the recording and of the log end up in BIN/../demo/.
#
# NELO_LESSON_TOOL   the authoring tool (default build/native/bin/nelo-lesson)
# NELO_DEMO_SENTENCE the sentence to practise
set -euo pipefail

repo=$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)
bin=$(cd "${1:-$repo/build/x64/bin}" && pwd)
lesson_tool=${NELO_LESSON_TOOL:-$repo/build/native/bin/nelo-lesson}
sentence=${NELO_DEMO_SENTENCE:-"Please call Stella and ask her to bring these things."}
out=$(dirname "$bin")/demo

if [ -z "${WINEPREFIX:-}" ] || [ -z "${PULSE_SERVER:-}" ]; then
  echo "run-demo: run me inside the test environment: tools/env/testenv.sh run $0 $bin" >&2
  exit 2
fi
# A test run without the native tree reports a skip (NELO_DEMO_SKIP_CODE) rather than a failure.
if [ ! -x "$lesson_tool" ]; then
  echo "run-demo: no authoring tool at $lesson_tool; run make build (or set NELO_LESSON_TOOL)" >&2
  exit "${NELO_DEMO_SKIP_CODE:-2}"
fi
for f in "$bin/NeloHost.exe" "$bin/NeloRecognition.dll" "$bin/NeloWavePicture.exe"; do
  [ -e "$f" ] || { echo "run-demo: $f is missing; run make build first" >&2; exit 2; }
done

# Windows path of a Linux path: Wine maps the Linux root to drive Z:.
windows_path() { local p=${1//\//\\}; echo "Z:$p"; }

SECONDS=0
mkdir -p "$out" "$bin/Resources"
rm -f "$out"/learner.png "$out"/learner.wav "$out"/NeloRecognition.log

echo "== 0. Authoring: a lesson from the sentence (native tool $(basename "$lesson_tool"))"
"$lesson_tool" make "$sentence" -o "$bin/Resources/demo.nelo" --reference-wav "$bin/Resources/demo-reference.wav" |
  sed 's/^/  /'
# The learner: another voice, slower and higher, who says "the sings" for "these things".
learner_text=${sentence/these things/the sings}
"$lesson_tool" speak "$learner_text" -o "$out/learner-voice.wav" --voice en-gb-scotland --rate 140 --pitch 70
echo "  learner's reading (another voice): \"$learner_text\""

# On a terminal the live line ("  ~ ...") is redrawn in place; in a log it prints as lines.
# (Wine's sound driver notes a missing MIDI sequencer on stderr; that line is dropped.)
tty=0; [ -t 1 ] && tty=1
live_lines() {
  awk -v tty="$tty" '
    /^  ~ / && tty == 1 { printf "\r\033[K%s", $0; pending = 1; fflush(); next }
    { if (pending) { printf "\n"; pending = 0 } print; fflush() }
    END { if (pending) printf "\n" }'
}

set +e
"${WINELOADER:-wine}" "$bin/NeloHost.exe" --timeout 150 --lib "$repo/samples/practice.js" "$repo/tools/demo/demo.js" \
  learner="$out/learner-voice.wav" out="$(windows_path "$out")" \
  picture-tool="$(windows_path "$bin/NeloWavePicture.exe")" recording=learner.wav \
  2> >(grep -v '^ALSA lib' >&2) | live_lines
status=${PIPESTATUS[0]}
set -e

# The log and the recording live in the Wine user's temporary folder; copies go next to the picture.
log=$(find "$WINEPREFIX/drive_c/users" -path '*/NeloRecognition/NeloRecognition.log' 2>/dev/null | head -n 1)
recording=$(find "$WINEPREFIX/drive_c/users" -path '*/NeloRecognition/_RecordTemp/learner.wav' 2>/dev/null | head -n 1)
[ -n "$log" ] && cp "$log" "$out/NeloRecognition.log"
[ -n "$recording" ] && cp "$recording" "$out/learner.wav"

echo
if [ "$status" -ne 0 ]; then
  echo "run-demo: the demo failed (exit code $status)${log:+; see the log $out/NeloRecognition.log}" >&2
  exit "$status"
fi
for f in learner.png learner.wav NeloRecognition.log; do
  [ -s "$out/$f" ] || { echo "run-demo: $out/$f was not made" >&2; exit 1; }
done
echo "The demo took $SECONDS s. On this machine:"
echo "  log:       $out/NeloRecognition.log"
echo "  recording: $out/learner.wav"
echo "  picture:   $out/learner.png"
