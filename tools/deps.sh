#!/usr/bin/env bash
# Installs the Debian packages Tesselpad needs to build, test and run, where any is missing.
# Usage: tools/deps.sh [run|test]
set -euo pipefail
need=(cmake g++ ninja-build pkg-config qt6-base-dev libqscintilla2-qt6-dev libpcre2-dev libgl-dev
      libxcb1-dev   # X11: the frame comes to the front with a second launch's startup id
      libtidy-dev   # HTML Tidy: the HTML check as you type
      libhunspell-dev   # spelling as you type
      hunspell-en-us    # an English dictionary for it (the spelling test uses it)
      fonts-liberation   # the sans serif the splash and About box are laid out for
      qt6-tools-dev qt6-l10n-tools   # lrelease builds the translations into the program
      qt6-translations-l10n)   # Qt's own translations, for the standard dialogs
if [ "${1:-}" = run ]; then
  need+=(xdg-utils)   # xdg-open: the Help menu's read-me and web pages
fi
if [ "${1:-}" = test ]; then
  # PDF text checks (printing), the fuzzing build (clang's libFuzzer and lld), user and mount
  # namespaces and small ext2/ext4 disks, the desktop entry's and the AppStream metadata's
  # validators, the real-display smoke test (an X server, a window manager, X key events), the
  # Debian package's build and its checker.
  need+=(poppler-utils clang libclang-rt-14-dev lld util-linux e2fsprogs desktop-file-utils appstream
         xvfb openbox xdotool dpkg-dev debhelper lintian)
fi
missing=()
for p in "${need[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
  echo "Installing: ${missing[*]}"
  SUDO=""
  [ "$(id -u)" = 0 ] || SUDO=sudo
  $SUDO apt-get update -qq
  DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y -qq "${missing[@]}" >/dev/null
fi
