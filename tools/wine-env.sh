# Sourced by the test, run and bench scripts: a Wine prefix, HOME and Xvfb display of our own.
#   wine_env_up <folder>   prepares <folder>/prefix and <folder>/home, starts Xvfb and a persistent wineserver
#   wine_env_down          stops what wine_env_up started, and nothing else
# Never the user's ~/.wine nor the Linux desktop: HOME is ours and the menu builder is disabled.

wine_env_up() {
  local root; root=$(mkdir -p "$1" && cd "$1" && pwd)
  export WINEARCH=win32
  export WINEPREFIX="$root/prefix"
  export HOME="$root/home"
  export XDG_CONFIG_HOME="$HOME/.config" XDG_DATA_HOME="$HOME/.local/share" XDG_CACHE_HOME="$HOME/.cache"
  export WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d"
  export WINEDEBUG=-all
  # A Chinese system: ANSI code page 936.
  export LC_ALL=zh_CN.UTF-8 LANG=zh_CN.UTF-8
  mkdir -p "$HOME"

  local n=${DUSK_DISPLAY:-}
  if [ -z "$n" ]; then
    n=77
    while [ -e "/tmp/.X$n-lock" ] || [ -e "/tmp/.X11-unix/X$n" ]; do n=$((n + 1)); done
  fi
  Xvfb ":$n" -screen 0 "${DUSK_SCREEN:-1280x1024x24}" -nolisten tcp >"$root/xvfb.log" 2>&1 &
  DUSK_XVFB_PID=$!
  export DISPLAY=":$n"
  local i
  for i in $(seq 1 100); do
    [ -e "/tmp/.X11-unix/X$n" ] && break
    sleep 0.1
  done

  if [ ! -f "$WINEPREFIX/.dusk-ready-2" ]; then
    rm -rf "$WINEPREFIX"
    wineboot -i >"$root/wineboot.log" 2>&1 </dev/null
    wineserver -w
    wine_settings >>"$root/wineboot.log" 2>&1
    touch "$WINEPREFIX/.dusk-ready-2"
  fi
  # Service processes inherit the first command's output: give them a file, never a pipe.
  wineserver -p >"$root/wineserver.log" 2>&1 </dev/null
  wine wineboot >"$root/services.log" 2>&1 </dev/null
}

# Maps the Chinese UI font names onto WenQuanYi Zen Hei so that GDI and GDI+ find them, and
# leaves top-level windows unmanaged: with no window manager on Xvfb, hiding a managed window
# makes Wine wait a second for a withdrawal that never comes.
wine_settings() {
  local reg="$WINEPREFIX/settings.reg" name
  {
    printf 'Windows Registry Editor Version 5.00\r\n\r\n[HKEY_CURRENT_USER\\Software\\Wine\\Fonts\\Replacements]\r\n'
    for name in 宋体 SimSun 新宋体 微软雅黑 "Microsoft YaHei" 黑体 SimHei Tahoma; do
      printf '"%s"="WenQuanYi Zen Hei"\r\n' "$name"
    done
    printf '\r\n[HKEY_CURRENT_USER\\Software\\Wine\\X11 Driver]\r\n"Managed"="N"\r\n'
  } | iconv -f UTF-8 -t UTF-16 >"$reg"
  wine regedit /S "$reg" </dev/null
  wineserver -w
}

wine_env_down() {
  [ -n "${WINEPREFIX:-}" ] && wineserver -k 2>/dev/null
  if [ -n "${DUSK_XVFB_PID:-}" ]; then
    kill "$DUSK_XVFB_PID" 2>/dev/null
    wait "$DUSK_XVFB_PID" 2>/dev/null
  fi
  DUSK_XVFB_PID=
}
