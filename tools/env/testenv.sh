#!/usr/bin/env bash
# The test and demo environment: Xvfb on a private display, a user-mode
# PulseAudio with a virtual speaker and microphone, a private Wine prefix,
# and the built modules registered there. Stops only what it started.
#
#   testenv.sh run CMD [ARGS...]   start what is missing, run CMD inside, stop what this call started
#   testenv.sh start | stop        keep the environment up across commands (stop ends what start began)
#   testenv.sh shell-env           print the exports, for `eval "$(testenv.sh shell-env)"`
#
# NELO_ENV_DIR (default build/env) holds the prefix, the audio runtime folder
# and the process ids; NELO_BIN_DIR (default build/bin) the modules to register.
set -euo pipefail

repo=$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)
state=${NELO_ENV_DIR:-$repo/build/env}
bin=$(realpath -m "${NELO_BIN_DIR:-$repo/build/bin}")
mkdir -p "$state"
state=$(cd "$state" && pwd)

export WINEPREFIX=$state/wine
export WINEARCH=win64
[ -x /usr/lib/wine/wine64 ] && export WINELOADER=/usr/lib/wine/wine64
wine() { "${WINELOADER:-wine}" "$@"; }
export WINEDEBUG=${WINEDEBUG:--all}
export WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d"
export XDG_RUNTIME_DIR=$state/xdg
export PULSE_SERVER=unix:$XDG_RUNTIME_DIR/pulse/native
export WINEPATH="Z:${bin//\//\\}"

log() { echo "testenv: $*" >&2; }

alive() { [ -f "$1" ] && kill -0 "$(cat "$1")" 2>/dev/null; }

start_display() {
  if alive "$state/xvfb.pid"; then export DISPLAY=$(cat "$state/display"); return 1; fi
  local n
  for n in $(seq 91 160); do
    [ -e /tmp/.X$n-lock ] || [ -e /tmp/.X11-unix/X$n ] && continue
    Xvfb ":$n" -screen 0 1024x768x24 -nolisten tcp >"$state/xvfb.log" 2>&1 &
    echo $! >"$state/xvfb.pid"
    for _ in $(seq 50); do [ -e /tmp/.X11-unix/X$n ] && break; sleep 0.1; done
    if kill -0 "$(cat "$state/xvfb.pid")" 2>/dev/null; then
      echo ":$n" >"$state/display"; export DISPLAY=:$n; return 0
    fi
  done
  log "no free display for Xvfb"; exit 1
}

start_audio() {
  mkdir -p -m 700 "$XDG_RUNTIME_DIR"
  if alive "$state/pulse.pid"; then return 1; fi
  pulseaudio -n --daemonize=yes --exit-idle-time=-1 --disallow-exit \
    -L module-native-protocol-unix \
    -L "module-null-sink sink_name=spk" \
    -L "module-null-sink sink_name=micsink rate=16000 channels=1 format=s16le" \
    --log-target=file:"$state/pa.log" 2>/dev/null
  for _ in $(seq 50); do [ -f "$XDG_RUNTIME_DIR/pulse/pid" ] && break; sleep 0.1; done
  cp "$XDG_RUNTIME_DIR/pulse/pid" "$state/pulse.pid"
  pactl set-default-sink spk
  pactl set-default-source micsink.monitor
  return 0
}

prepare_wine() {
  if [ ! -f "$WINEPREFIX/system.reg" ]; then
    log "creating the Wine prefix (first time only)"
    wine wineboot -i >/dev/null 2>&1 || true
    wineserver -w
  fi
  # Keep one server and Wine's own service processes up for the whole run, so
  # each test program does not pay a full Wine start. Their output goes nowhere:
  # a service that inherited a test runner's pipe would keep the runner waiting.
  wineserver -p </dev/null >/dev/null 2>&1
  wine cmd /c exit </dev/null >/dev/null 2>&1 || true
}

register_modules() {
  local dll
  for dll in NeloRecognition.dll; do
    [ -f "$bin/$dll" ] || continue
    wine regsvr32 /s "$bin/$dll" >/dev/null 2>&1 || log "regsvr32 $dll failed"
  done
}

started=""
do_start() {
  if start_display; then started+=" display"; fi
  if start_audio; then started+=" audio"; fi
  prepare_wine
  register_modules
}

do_stop() {
  local what=${1-display audio}
  wineserver -k 2>/dev/null || true
  if [[ $what == *audio* ]] && alive "$state/pulse.pid"; then
    pulseaudio --kill 2>/dev/null || kill "$(cat "$state/pulse.pid")" 2>/dev/null || true
    rm -f "$state/pulse.pid"
  fi
  if [[ $what == *display* ]] && alive "$state/xvfb.pid"; then
    kill "$(cat "$state/xvfb.pid")" 2>/dev/null || true
    rm -f "$state/xvfb.pid" "$state/display"
  fi
}

case "${1:-}" in
  run)
    shift
    trap 'do_stop "$started"' EXIT
    do_start
    "$@"
    ;;
  start) do_start ;;
  stop) do_stop ;;
  shell-env)
    cat <<ENV
export WINELOADER='${WINELOADER:-}' WINEPREFIX='$WINEPREFIX' WINEARCH=win64 WINEDEBUG='$WINEDEBUG' WINEDLLOVERRIDES='$WINEDLLOVERRIDES'
export XDG_RUNTIME_DIR='$XDG_RUNTIME_DIR' PULSE_SERVER='$PULSE_SERVER' WINEPATH='$WINEPATH'
export DISPLAY='$(cat "$state/display" 2>/dev/null)'
ENV
    ;;
  *) sed -n '2,12p' "$0"; exit 2 ;;
esac
