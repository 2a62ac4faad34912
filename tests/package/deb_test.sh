#!/usr/bin/env bash
# Builds the Debian package, unpacks it into a temporary root and starts its launcher as
# two unprivileged users with homes of their own, until the main menu is painted.
#
#   deb_test.sh SOURCE_DIR BUILD_DIR START_PROBE
set -euo pipefail
source_dir=$1
build=$2
probe=$3
skip() {
    echo "SKIP: $1"
    exit 77
}
command -v dpkg-deb >/dev/null || skip "dpkg-deb is missing (scripts/setup.sh installs it)"
command -v setpriv >/dev/null || skip "setpriv is missing"
[ "$(id -u)" = 0 ] || skip "starting the program as other users needs root"

deb=$(BUILD_DIR=$build "$source_dir/scripts/package.sh" --no-build | tail -n 1)
[ -f "$deb" ] || { echo "no package: $deb"; exit 1; }
case ${deb##*/} in
taviro_*_*.deb) ;;
*) echo "badly named package: $deb"; exit 1 ;;
esac

tmp=$(mktemp -d /tmp/taviro-deb.XXXXXX)
trap 'rm -rf "$tmp"' EXIT
chmod 755 "$tmp"
dpkg-deb -x "$deb" "$tmp/root"
faults=0
fault() {
    echo "FAIL: $1"
    faults=$((faults + 1))
}

listing=$(dpkg-deb -c "$deb")
grep -q ' \./opt' <<<"$listing" && fault "the package ships /opt"
for file in usr/bin/taviro usr/lib/taviro/taviro usr/lib/taviro/taviro-refresh \
    usr/share/taviro/Drive.mdb usr/share/taviro/Yes.bmp usr/share/taviro/No.bmp \
    usr/share/taviro/CLOCK.AVI usr/share/taviro/html usr/share/taviro/VERSION \
    usr/share/applications/cn.quorin.Taviro.desktop \
    usr/share/metainfo/cn.quorin.Taviro.metainfo.xml usr/share/doc/taviro/copyright; do
    [ -e "$tmp/root/$file" ] || fault "missing $file"
done
# Only what differs between architectures lies under /usr/lib.
[ "$(ls "$tmp/root/usr/lib/taviro")" = "$(printf 'taviro\ntaviro-refresh')" ] ||
    fault "/usr/lib/taviro holds more than the programs: $(ls "$tmp/root/usr/lib/taviro")"
grep -qx 'StartupWMClass=taviro' "$tmp/root/usr/share/applications/cn.quorin.Taviro.desktop" ||
    fault "desktop entry without its window class"
if command -v readelf >/dev/null; then
    for program in usr/lib/taviro/taviro usr/lib/taviro/taviro-refresh; do
        # Read whole: grep -q would end the pipe early, which pipefail takes for a failure.
        dynamic=$(readelf -d "$tmp/root/$program")
        symbols=$(readelf -s --wide "$tmp/root/$program")
        grep -q 'BIND_NOW' <<<"$dynamic" || fault "$program is not bound now"
        grep -q '__[a-z]*_chk@' <<<"$symbols" || fault "$program uses no fortified functions"
    done
fi
for size in 16 22 24 32 48 64 128 256; do
    icon=$tmp/root/usr/share/icons/hicolor/${size}x${size}/apps/taviro.png
    if [ ! -f "$icon" ]; then
        fault "missing icon $size"
    elif command -v identify >/dev/null && [ "$(identify -format '%wx%h' "$icon")" != "${size}x${size}" ]; then
        fault "icon $size is $(identify -format '%wx%h' "$icon")"
    fi
done
grep -qx 'Name=机动车驾驶人理论学习系统' "$tmp/root/usr/share/applications/cn.quorin.Taviro.desktop" ||
    fault "desktop entry without its name"
grep -qx 'Categories=Education;' "$tmp/root/usr/share/applications/cn.quorin.Taviro.desktop" ||
    fault "desktop entry not in Education"
if command -v desktop-file-validate >/dev/null; then
    desktop-file-validate "$tmp/root/usr/share/applications/cn.quorin.Taviro.desktop" ||
        fault "desktop entry does not validate"
fi
if command -v appstreamcli >/dev/null; then
    appstreamcli validate --no-net --explain "$tmp/root/usr/share/metainfo/cn.quorin.Taviro.metainfo.xml" ||
        fault "metainfo does not validate"
fi
depends=$(dpkg-deb -f "$deb" Depends)
for needed in libqt6widgets6 libsqlcipher fonts-arphic-uming; do
    grep -q "$needed" <<<"$depends" || fault "Depends lacks $needed: $depends"
done

# The probe must be readable by the users.
cp "$probe" "$tmp/probe.so"
chmod 644 "$tmp/probe.so"

start_as() {
    local uid=$1 home=$2
    mkdir -p "$home"
    chown "$uid:$uid" "$home"
    setpriv --reuid="$uid" --regid="$uid" --clear-groups \
        env -i HOME="$home" PATH=/usr/bin:/bin LC_ALL=C.UTF-8 QT_QPA_PLATFORM=offscreen \
        LD_PRELOAD="$tmp/probe.so" TAVIRO_PROBE_FD=3 \
        timeout 120 "$tmp/root/usr/bin/taviro" 3>"$home.probe" >"$home.out" 2>&1 || true
}

check_user() {
    local uid=$1 home=$2 folder=$2/.local/share/taviro
    grep -q '^menu ' "$home.probe" || {
        fault "user $uid: no menu was painted"
        cat "$home.out"
    }
    [ -f "$folder/Drive.mdb" ] && [ ! -L "$folder/Drive.mdb" ] || fault "user $uid: no bank of its own"
    [ "$(stat -c %u "$folder/Drive.mdb" 2>/dev/null)" = "$uid" ] || fault "user $uid: the bank is not theirs"
    [ "$(stat -c %a "$folder" 2>/dev/null)" = 700 ] || fault "user $uid: the folder is open to others"
    [ ! -e "$folder/taviro" ] || fault "user $uid: a copy of the program in its folder"
    [ -z "$(find "$folder" -type l)" ] || fault "user $uid: links in its folder"
}

start_as 65534 "$tmp/home-a"
check_user 65534 "$tmp/home-a"
start_as 65533 "$tmp/home-b"
check_user 65533 "$tmp/home-b"
a=$(stat -c %i "$tmp/home-a/.local/share/taviro/Drive.mdb" 2>/dev/null || echo a)
b=$(stat -c %i "$tmp/home-b/.local/share/taviro/Drive.mdb" 2>/dev/null || echo b)
[ "$a" != "$b" ] || fault "the two users share one bank"
# Nothing of the package was written by the users.
[ -z "$(find "$tmp/root" -newer "$deb" -user 65534 -o -newer "$deb" -user 65533)" ] ||
    fault "a user wrote into the package's folders"

if [ "$faults" -gt 0 ]; then
    echo "$faults faults"
    exit 1
fi
echo "package $deb: installs, starts for two users, each with a bank of their own"
