#!/usr/bin/env bash
# Builds the Debian package from a copy of the sources, as dpkg-buildpackage does on a build
# machine (the flags from dpkg-buildflags, dependencies from dpkg-shlibdeps), and checks it with
# lintian: no error and no warning may be reported. The informational and pedantic tags found are
# printed; each one is explained in the README.
# Usage: deb_test.sh SOURCE_DIR WORK_DIR           (exits 77, "skipped", without the tools)
set -uo pipefail
src=$1 work=$2
for tool in dpkg-buildpackage dh lintian; do
  command -v "$tool" >/dev/null || { echo "$tool is not installed (tools/deps.sh test installs it)"; exit 77; }
done

rm -rf "$work" && mkdir -p "$work/src" || exit 1
# The files of the source tree, without build folders or anything git ignores.
if git -C "$src" rev-parse --is-inside-work-tree >/dev/null 2>&1; then
  (cd "$src" && git ls-files -z --cached --others --exclude-standard | xargs -0 -I{} sh -c '[ -e "{}" ] && printf "%s\0" "{}"' |
     tar --null -T - -cf -) | tar -xf - -C "$work/src" || exit 1
else
  tar -C "$src" --exclude='./build*' --exclude=./.git -cf - . | tar -xf - -C "$work/src" || exit 1
fi

fail() { echo "FAIL: $*"; exit 1; }
cd "$work/src" || exit 1
version=$(dpkg-parsechangelog -S Version) || fail "debian/changelog cannot be read"
newest=$(grep -o '<release version="[^"]*"' packaging/*.metainfo.xml | head -n1 | cut -d'"' -f2)
[ "$newest" = "$version" ] || fail "the AppStream metadata's newest release is $newest, debian/changelog's $version"

# A compiler cache, where there is one, makes the second build of the same sources cheap.
if command -v ccache >/dev/null && [ -z "${CMAKE_CXX_COMPILER_LAUNCHER:-}" ]; then
  export CMAKE_CXX_COMPILER_LAUNCHER=ccache
fi
start=$(date +%s)
DEB_BUILD_OPTIONS="nocheck parallel=$(nproc)" dpkg-buildpackage -b -uc -us >"$work/build.log" 2>&1 ||
  { tail -n 40 "$work/build.log"; fail "dpkg-buildpackage failed (log: $work/build.log)"; }
echo "package built in $(( $(date +%s) - start )) s: $(cd "$work" && ls ./*.deb)"

# The packaged program, without a display, gives the version of the changelog and the address of
# the package's maintainer.
mkdir -p "$work/root" && dpkg-deb -x "$work/tesselpad_${version}_"*.deb "$work/root" || fail "the package cannot be unpacked"
shown=$(env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM "$work/root/usr/bin/tesselpad" --version) ||
  fail "tesselpad --version failed"
[ "$shown" = "Tesselpad $version" ] || fail "tesselpad --version prints '$shown', debian/changelog names $version"
maintainer=$(dpkg-deb -f "$work/tesselpad_${version}_"*.deb Maintainer)
address=${maintainer##*<}; address=${address%>}
env -u DISPLAY "$work/root/usr/bin/tesselpad" --help | grep -qF "<$address>" ||
  fail "tesselpad --help does not give the maintainer's address $address"

changes=$(ls "$work"/tesselpad_*.changes) || fail "no .changes file"
lintian --info --pedantic --display-experimental --fail-on error,warning "$changes" >"$work/lintian.log" 2>&1
rc=$?
cat "$work/lintian.log"
grep -q '^[EW]: ' "$work/lintian.log" && fail "lintian reports errors or warnings"
[ $rc = 0 ] || fail "lintian exited with $rc"
echo "lintian: no error, no warning"
