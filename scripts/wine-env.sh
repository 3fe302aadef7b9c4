# Wine/Xvfb harness, sourced by the other scripts.
#   zapnix_wine_start  - private prefix (cached under build/), WINEDEBUG=-all, a private Xvfb display
#                        unless one is given, and a persistent wineserver
#   zapnix_wine_stop   - stops exactly what zapnix_wine_start started
# shellcheck shell=bash

ZAPNIX_ROOT="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
export WINEPREFIX="${ZAPNIX_WINEPREFIX:-$ZAPNIX_ROOT/build/wine-prefix}"
export WINEDEBUG=-all
export WINEARCH=win64
# No Mono or Gecko installers: Zapnix needs neither.
export WINEDLLOVERRIDES="mscoree,mshtml="

_zapnix_xvfb_pid=""

_zapnix_start_xvfb() {
  local n
  for n in $(seq 90 140); do
    [ -e "/tmp/.X${n}-lock" ] || [ -e "/tmp/.X11-unix/X${n}" ] && continue
    Xvfb ":$n" -screen 0 1280x1024x24 -nolisten tcp >/dev/null 2>&1 &
    _zapnix_xvfb_pid=$!
    local i
    for i in $(seq 1 50); do
      [ -e "/tmp/.X11-unix/X${n}" ] && break
      sleep 0.1
    done
    if kill -0 "$_zapnix_xvfb_pid" 2>/dev/null; then
      export DISPLAY=":$n"
      return 0
    fi
  done
  echo "wine-env: could not start Xvfb" >&2
  return 1
}

_zapnix_init_prefix() {
  local stamp="$WINEPREFIX/.zapnix-ready"
  [ -f "$stamp" ] && return 0
  mkdir -p "$WINEPREFIX"
  echo "wine-env: creating the Wine prefix $WINEPREFIX (once)"
  wineboot -i >/dev/null 2>&1 || true
  # Debian's Wine does not find the fonts of fonts-wine by itself (Tahoma, MS Sans Serif, and Marlett
  # for the caption buttons and tick boxes): fonts in the prefix's Fonts folder are always loaded.
  if [ -d /usr/share/wine/fonts ]; then
    cp /usr/share/wine/fonts/* "$WINEPREFIX/drive_c/windows/Fonts/" 2>/dev/null || true
  fi
  # Without a window manager, hiding a managed window blocks for seconds: let Wine manage none.
  wine reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /d N /f >/dev/null 2>&1
  # Unattended runs: a crash ends the program instead of opening a dialog.
  wine reg add 'HKCU\Software\Wine\WineDbg' /v ShowCrashDialog /t REG_DWORD /d 0 /f >/dev/null 2>&1
  wineserver -w
  touch "$stamp"
}

zapnix_wine_start() {
  if [ -z "${DISPLAY:-}" ] || [ -n "${ZAPNIX_PRIVATE_DISPLAY:-}" ]; then
    _zapnix_start_xvfb || return 1
  fi
  _zapnix_init_prefix
  wineserver -p
  # Start the session's system processes now, detached from the caller's output: started by the
  # first test instead, they would hold its output pipe open and CTest would wait for them.
  wineboot </dev/null >/dev/null 2>&1
  export ZAPNIX_WINE_READY=1
}

zapnix_wine_stop() {
  wineserver -k >/dev/null 2>&1 || true
  # Whatever of this prefix is left (helpers that would respawn the server), by id.
  local pid
  for pid in $(pgrep -f 'wine|\.exe' 2>/dev/null || true); do
    if { tr '\0' '\n' <"/proc/$pid/environ"; } 2>/dev/null | grep -qx "WINEPREFIX=$WINEPREFIX"; then
      kill -9 "$pid" 2>/dev/null || true
    fi
  done
  if [ -n "$_zapnix_xvfb_pid" ]; then
    kill "$_zapnix_xvfb_pid" 2>/dev/null || true
    wait "$_zapnix_xvfb_pid" 2>/dev/null || true
    _zapnix_xvfb_pid=""
  fi
  unset ZAPNIX_WINE_READY
}
