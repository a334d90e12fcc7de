# Shared settings for running the x86_64 Windows build under 64-bit Wine. Sourced by
# tools/wine-run and tools/with-wine; not run by itself.
#
# Why each setting:
# - Only the 64-bit loader can run here (no 32-bit code executes on these kernels), and the
#   /usr/bin/wine wrapper would pick the 32-bit one, so the loader is called directly.
# - A private prefix inside the build tree keeps runs independent of the user's ~/.wine.
# - LANG=zh_CN.UTF-8 makes GetACP() 936, the code page of the dictionary's texts.
# - mscoree/mshtml are disabled so no Mono/Gecko installer dialog can block a headless run.
wl_root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
export WINELOADER=/usr/lib/wine/wine64
export WINESERVER=/usr/lib/wine/wineserver64
export WINEPREFIX=${WL_WINEPREFIX:-$wl_root/build/wineprefix}
export WINEDEBUG=${WINEDEBUG:--all}
export WINEDLLOVERRIDES=${WINEDLLOVERRIDES:-mscoree,mshtml=}
export LANG=zh_CN.UTF-8
export LC_ALL=zh_CN.UTF-8
unset LANGUAGE

# Creates the prefix once (under a lock, so parallel callers wait for one initialisation).
wl_prefix_ready() {
  mkdir -p "$(dirname "$WINEPREFIX")"
  (
    flock 9
    if [ ! -f "$WINEPREFIX/.wl-ready" ]; then
      rm -rf "$WINEPREFIX"
      "$WINELOADER" wineboot </dev/null >/dev/null 2>&1 || true
      # Without a window manager Wine waits 2 s whenever a managed top-level window is hidden
      # or destroyed; unmanaged windows avoid that.
      "$WINELOADER" reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /d N /f \
        </dev/null >/dev/null 2>&1
      # A crashing test must end, not wait in the debugger.
      "$WINELOADER" reg add 'HKLM\Software\Microsoft\Windows NT\CurrentVersion\AeDebug' \
        /v Auto /d 0 /f </dev/null >/dev/null 2>&1
      "$WINELOADER" reg delete 'HKLM\Software\Microsoft\Windows NT\CurrentVersion\AeDebug' \
        /v Debugger /f </dev/null >/dev/null 2>&1 || true
      "$WINESERVER" -w
      touch "$WINEPREFIX/.wl-ready"
    fi
  ) 9>"$WINEPREFIX.lock"
}

# Starts a private Xvfb and exports DISPLAY; the caller kills $wl_xvfb_pid when done.
wl_start_xvfb() {
  local fdfile
  fdfile=$(mktemp)
  Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp 3>"$fdfile" >/dev/null 2>&1 &
  wl_xvfb_pid=$!
  for _ in $(seq 100); do
    [ -s "$fdfile" ] && break
    sleep 0.05
  done
  export DISPLAY=":$(head -n1 "$fdfile")"
  rm -f "$fdfile"
}
