#!/usr/bin/env bash
# Checks what 墨舟 installs and the Debian package built from it:
#   tools/check-package.sh BUILD_DIR [OUT_DIR]
# Installs BUILD_DIR into a temporary folder (DESTDIR, prefix /usr), compares the installed files
# with the expected list, validates the desktop entry and the AppStream file, reads the manual
# page (man's warnings, every option of --help), builds the .deb with CPack and compares its
# contents and dependencies. Touches nothing outside a temporary folder;
# with OUT_DIR the checked .deb is copied there. Exits non-zero on the first problem.
set -euo pipefail
export LC_ALL=C.UTF-8

build=${1:?usage: $0 BUILD_DIR [OUT_DIR]}
out=${2:-}
build=$(cd "$build" && pwd)
[ -f "$build/CPackConfig.cmake" ] || { echo "FAIL: $build is not a configured build folder" >&2; exit 1; }

app_id=org.example.mozhou
expected="bin/mozhou
share/applications/$app_id.desktop
share/icons/hicolor/scalable/apps/mozhou.svg
share/man/man1/mozhou.1.gz
share/metainfo/$app_id.metainfo.xml"
# Debian's own package names the .deb must depend on.
required_depends="libqt6core6 libqt6gui6 libqt6widgets6 libqt6network6 libqt6svg6
libespeak-ng1 espeak-ng-data fonts-wqy-microhei"
# and the ones it must recommend (native Wayland windows; xdg-open, which opens every address;
# Qt's Chinese texts).
required_recommends="qt6-wayland xdg-utils qt6-translations-l10n"

tmp=$(mktemp -d "${TMPDIR:-/tmp}/mozhou-package.XXXXXX")
trap 'rm -rf "$tmp"' EXIT
fail() { echo "FAIL: $*" >&2; exit 1; }

# Same list of files, one a line, sorted: prints a diff and fails otherwise.
same_files() { # what, expected, actual
    if [ "$2" != "$3" ]; then
        diff <(echo "$2") <(echo "$3") >&2 || true
        fail "$1 differs from the expected files (< expected, > found)"
    fi
}

echo "== install into a temporary prefix"
DESTDIR="$tmp/root" cmake --install "$build" --prefix /usr >"$tmp/install.log" ||
    { cat "$tmp/install.log" >&2; fail "cmake --install"; }
root="$tmp/root/usr"
installed=$(cd "$root" && find . ! -type d | sed 's|^\./||' | sort)
same_files "the installed tree" "$expected" "$installed"
echo "$installed" | sed 's|^|  /usr/|'

echo "== validate the desktop entry and the AppStream file"
desktop="$root/share/applications/$app_id.desktop"
metainfo="$root/share/metainfo/$app_id.metainfo.xml"
desktop-file-validate "$desktop" || fail "desktop-file-validate"
appstreamcli validate --no-net --pedantic "$metainfo" || fail "appstreamcli validate"

# The files must name each other: the entry starts the installed program and shows the installed
# icon; the AppStream file launches this entry.
entry() { sed -n "s/^$1=//p" "$desktop"; }
[ "$(entry Exec)" = mozhou ] || fail "Exec= is '$(entry Exec)', not the installed program"
[ -x "$root/bin/$(entry Exec)" ] || fail "the program of Exec= is not installed"
[[ ";$(entry Categories)" == *";Network;News;"* ]] || fail "Categories=$(entry Categories) does not hold Network;News;"
[ -n "$(entry 'Name\[zh_CN\]')" ] && [ -n "$(entry 'Comment\[zh_CN\]')" ] || fail "no Chinese Name, Comment"
[ -f "$root/share/icons/hicolor/scalable/apps/$(entry Icon).svg" ] ||
    fail "Icon=$(entry Icon) has no installed SVG"
grep -q "<launchable type=\"desktop-id\">$app_id.desktop</launchable>" "$metainfo" ||
    fail "the AppStream file does not launch $app_id.desktop"
grep -q '<screenshot type="default">' "$metainfo" || fail "no default screenshot"
grep -q '<release version="1.3"' "$metainfo" || fail "no release 1.3"

echo "== read the manual page as man does"
manual="$root/share/man/man1/mozhou.1.gz"
page=$(zcat "$manual" | sed 's/\\-/-/g') || fail "the manual page is not gzip-compressed"
# Every option the program's --help names is in the manual page.
options=$(QT_QPA_PLATFORM=offscreen "$build/app/mozhou" --help 2>/dev/null | grep -o -- '--[a-z-]*' | sort -u)
[ -n "$options" ] || fail "mozhou --help names no option"
for option in $options; do
    grep -q -- "$option" <<<"$page" || fail "the manual page lacks $option"
done
if command -v man >/dev/null; then
    warnings=$(MANROFFSEQ='' MANWIDTH=80 man --warnings -E UTF-8 -l -Tutf8 -Z "$manual" 2>&1 >/dev/null)
    [ -z "$warnings" ] || fail "the manual page does not read cleanly: $warnings"
fi

echo "== hardening of the installed program"
program="$root/bin/mozhou"
readelf -d "$program" | grep -q 'FLAGS.*BIND_NOW' || fail "the program is not linked with -z now"
readelf -lW "$program" | grep -q GNU_RELRO || fail "the program has no read-only relocations"
readelf -h "$program" | grep -q 'DYN (' || fail "the program is not position independent"
symbols=$(readelf --dyn-syms -W "$program")
grep -q __stack_chk_fail <<<"$symbols" || fail "the program has no stack protector"
echo "  bind now, read-only relocations, position independent, stack protector"

echo "== build the Debian package"
cpack --config "$build/CPackConfig.cmake" -G DEB -B "$tmp/pkg" >"$tmp/cpack.log" 2>&1 ||
    { cat "$tmp/cpack.log" >&2; fail "cpack -G DEB"; }
debs=("$tmp"/pkg/*.deb)
[ ${#debs[@]} -eq 1 ] && [ -f "${debs[0]}" ] || fail "cpack did not make exactly one .deb"
deb=${debs[0]}
echo "  $(basename "$deb")"

# Regular files must be exactly the installed ones; directories only their parents.
contents=$(dpkg-deb --contents "$deb" | awk '{print $NF}')
deb_files=$(echo "$contents" | grep -v '/$' | sed 's|^\./usr/||' | sort)
same_files "the .deb" "$expected" "$deb_files"
parents=$(echo "$expected" | while read -r f; do
    d=$(dirname "usr/$f")
    while [ "$d" != . ]; do echo "./$d/"; d=$(dirname "$d"); done
done | sort -u)
deb_dirs=$(echo "$contents" | grep '/$' | grep -vx '\./' | sort)
same_files "the directories of the .deb" "$parents" "$deb_dirs"
dpkg-deb --contents "$deb" | sed 's|^|  |'

field() { dpkg-deb --field "$deb" "$1"; }
[ "$(field Package)" = mozhou ] || fail "Package is '$(field Package)'"
[ "$(field Version)" = 1.3-1 ] || fail "Version is '$(field Version)'"
field Maintainer | grep -q '@mozhou\.example\.org>$' || fail "Maintainer is '$(field Maintainer)'"
depends=$(field Depends)
names=$(echo "$depends" | tr ',|' '\n\n' | sed 's/(.*)//; s/:any//; s/ //g' | grep -v '^$' | sort -u)
for p in $required_depends; do
    echo "$names" | grep -qx "$p" || fail "Depends lacks $p: $depends"
done
echo "  Depends: $depends"
recommends=$(field Recommends | tr ',|' '\n\n' | sed 's/(.*)//; s/ //g' | grep -v '^$' | sort -u)
for p in $required_recommends; do
    echo "$recommends" | grep -qx "$p" || fail "Recommends lacks $p: $(field Recommends)"
done
echo "  Recommends: $(field Recommends)"

if [ -n "$out" ]; then
    mkdir -p "$out"
    cp "$deb" "$out/"
    echo "  copied to $out/$(basename "$deb")"
fi
echo "OK: installed files, desktop entry, AppStream file and .deb"
