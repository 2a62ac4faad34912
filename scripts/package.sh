#!/usr/bin/env bash
# Builds the Debian package build/taviro_<version>_<arch>.deb: the program and its
# helper under /usr/lib/taviro, the files it reads that are the same on every
# architecture (the bank, pictures, clip, pages) under /usr/share/taviro, the launcher
# /usr/bin/taviro that gives each user a folder of their own, the desktop entry, the
# icons and the AppStream metadata. Then lintian checks it when it is there; its errors
# and warnings fail the build.
#
#   scripts/package.sh [--no-build] [--no-lintian]
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${BUILD_DIR:-$root/build}
do_build=1
do_lintian=1
for arg in "$@"; do
    case $arg in
    --no-build) do_build=0 ;;
    --no-lintian) do_lintian=0 ;;
    *)
        echo "usage: $0 [--no-build] [--no-lintian]" >&2
        exit 2
        ;;
    esac
done
for tool in dpkg-deb dpkg-shlibdeps dpkg-architecture; do
    command -v "$tool" >/dev/null || {
        echo "package.sh: $tool is missing (scripts/setup.sh installs it)" >&2
        exit 1
    }
done

if [ "$do_build" = 1 ]; then
    if [ ! -f "$build/CMakeCache.txt" ]; then
        "$root/scripts/build.sh"
    fi
    cmake --build "$build" --target taviro taviro-refresh appfiles
fi
for file in "$build/taviro/taviro" "$build/taviro/Drive.mdb" "$build/tools/taviro-refresh"; do
    [ -f "$file" ] || {
        echo "package.sh: $file is missing; build first (scripts/build.sh)" >&2
        exit 1
    }
done

version=$(sed -n 's/^project(Taviro VERSION \([0-9.]*\).*/\1/p' "$root/CMakeLists.txt")
arch=$(dpkg-architecture -qDEB_HOST_ARCH)
deb=$build/taviro_${version}_${arch}.deb
work=$build/package
stage=$work/root
rm -rf "$work"
mkdir -p "$stage"
umask 022

lib=$stage/usr/lib/taviro
share=$stage/usr/share/taviro
DESTDIR=$stage cmake --install "$build" --prefix /usr/lib/taviro >/dev/null
# A bank the build left open has its journal beside it; the installed one is whole.
rm -f "$lib"/Drive.mdb?*
mkdir -p "$share"
for file in "$lib"/*; do
    [ "${file##*/}" = taviro ] || mv "$file" "$share/"
done
install -m 755 "$build/tools/taviro-refresh" "$lib/taviro-refresh"
printf '%s\n' "$version" >"$share/VERSION"
strip --strip-unneeded --remove-section=.comment --remove-section=.note \
    "$lib/taviro" "$lib/taviro-refresh"

install -D -m 755 "$root/packaging/taviro" "$stage/usr/bin/taviro"
install -d "$stage/usr/share/man/man1"
gzip -9n <"$root/packaging/taviro.1" >"$stage/usr/share/man/man1/taviro.1.gz"
install -D -m 644 "$root/packaging/cn.quorin.Taviro.desktop" \
    "$stage/usr/share/applications/cn.quorin.Taviro.desktop"
install -d "$stage/usr/share/metainfo"
sed -e "s/@VERSION@/$version/" -e "s/@DATE@/$(date -u -r "$root/CMakeLists.txt" +%Y-%m-%d)/" \
    "$root/packaging/cn.quorin.Taviro.metainfo.xml" \
    >"$stage/usr/share/metainfo/cn.quorin.Taviro.metainfo.xml"
for size in 16 22 24 32 48 64 128 256; do
    icon=$build/art/icons/taviro-$size.png
    [ -f "$icon" ] || {
        echo "package.sh: $icon is missing; the artwork was not drawn" >&2
        exit 1
    }
    install -D -m 644 "$icon" "$stage/usr/share/icons/hicolor/${size}x${size}/apps/taviro.png"
done
doc=$stage/usr/share/doc/taviro
install -D -m 644 "$root/packaging/copyright" "$doc/copyright"
{
    printf 'taviro (%s) unstable; urgency=medium\n\n' "$version"
    printf '  * Release %s.\n\n' "$version"
    printf ' -- Taviro authors <taviro@example.invalid>  %s\n' \
        "$(date -u -R -r "$root/CMakeLists.txt")"
} | gzip -9n >"$doc/changelog.gz"

find "$stage" -type d -exec chmod 755 {} +
find "$stage" -type f ! -perm -u+x -exec chmod 644 {} +

# dpkg-shlibdeps names the packages of the libraries the programs link.
mkdir -p "$work/src/debian"
printf 'Source: taviro\n\nPackage: taviro\nArchitecture: any\n' >"$work/src/debian/control"
shlibs=$(cd "$work/src" && dpkg-shlibdeps -O -e"$lib/taviro" -e"$lib/taviro-refresh" 2>/dev/null |
    sed -n 's/^shlibs:Depends=//p')
[ -n "$shlibs" ] || {
    echo "package.sh: dpkg-shlibdeps found no dependencies" >&2
    exit 1
}
# Neither the translations nor the fonts show in the links.
depends="$shlibs, qt6-translations-l10n, fonts-arphic-uming, fonts-arphic-ukai, fonts-noto-cjk"

mkdir -p "$stage/DEBIAN"
size=$(du -sk --exclude=DEBIAN "$stage" | cut -f1)
cat >"$stage/DEBIAN/control" <<CONTROL
Package: taviro
Version: $version
Architecture: $arch
Maintainer: Taviro authors <taviro@example.invalid>
Installed-Size: $size
Depends: $depends
Section: education
Priority: optional
Description: study aid for the Chinese driving licence theory exam
 Taviro helps learner drivers prepare for the written theory exam of the
 Chinese driving licence (small cars): read the traffic rules and the sign
 catalogue, work through the question bank with instant marking, and sit
 timed mock exams of 100 questions, marked at hand-in and reviewed question
 by question. Simplified Chinese interface.
 .
 Each user of the computer gets a folder of their own with their own question
 bank and exam paper on the first start.
CONTROL
(cd "$stage" && find usr -type f -print0 | sort -z | xargs -0 md5sum) >"$stage/DEBIAN/md5sums"
chmod 644 "$stage/DEBIAN/control" "$stage/DEBIAN/md5sums"

rm -f "$deb"
dpkg-deb --root-owner-group -Zxz --build "$stage" "$deb" >/dev/null
echo "$deb"

if [ "$do_lintian" = 1 ]; then
    if command -v lintian >/dev/null; then
        # lintian does not run as root unless told.
        report=$(lintian --allow-root --tag-display-limit 0 "$deb" 2>&1) || true
        [ -z "$report" ] || printf '%s\n' "$report" >&2
        if printf '%s\n' "$report" | grep -q '^[EW]:'; then
            echo "package.sh: lintian reports errors or warnings" >&2
            exit 1
        fi
    else
        echo "package.sh: lintian is missing, the package is not checked" >&2
    fi
fi
