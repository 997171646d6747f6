#!/usr/bin/env bash
# Packs the build as scripts/package does, unpacks the package into a
# temporary root (no installation, no network) and creates a database with
# the unpacked zapo-admin.
#   install-test.sh BUILD_DIR VERSION
set -euo pipefail
build=$1
version=$2
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
fail() { echo "FAIL: $*" >&2; exit 1; }

cpack --config "$build/CPackConfig.cmake" -B "$work/out" >"$work/cpack.log" 2>&1 || { cat "$work/cpack.log"; fail "cpack"; }
deb=$(ls "$work"/out/zapo_*.deb)
echo "package: $(basename "$deb") ($(du -k "$deb" | cut -f1) kB)"

[ "$(dpkg-deb --field "$deb" Package)" = zapo ] || fail "package name"
[ "$(dpkg-deb --field "$deb" Version)" = "$version" ] || fail "version is not the project's $version"
depends=$(dpkg-deb --field "$deb" Depends)
echo "Depends: $depends"
# Computed from the binaries, plus the database drivers loaded at run time.
for lib in libqt6core6 libqt6widgets6 libcurl4 libshp libpq5 libodbc libc6 libqt6sql6-sqlite libqt6sql6-psql; do
  case "$depends" in *"$lib"*) ;; *) fail "Depends lacks $lib" ;; esac
done

root=$work/root
dpkg -x "$deb" "$root"
for f in usr/bin/zapo usr/bin/zapo-admin; do
  [ -x "$root/$f" ] || fail "$f missing"
  if ldd "$root/$f" | grep -q "not found"; then ldd "$root/$f"; fail "$f misses a library"; fi
done
desktop=$root/usr/share/applications/zapo.desktop
[ -f "$desktop" ] || fail "desktop entry missing"
grep -qx 'Exec=zapo' "$desktop" || fail "desktop entry does not start zapo"
grep -qx 'Icon=zapo' "$desktop" || fail "desktop entry names another icon"
icon=$root/usr/share/icons/hicolor/128x128/apps/zapo.png
[ -f "$icon" ] || fail "icon missing"
cmp -s "$icon" "$(dirname "$0")/../../src/app/icons/zapo.png" || fail "the menu icon is not the windows' icon"

mkdir "$work/db"
"$root/usr/bin/zapo-admin" init "$work/db/zapo.db" | tee "$work/init.log"
grep -q "Banco de dados criado" "$work/init.log" || fail "init said nothing"
echo segredo | "$root/usr/bin/zapo-admin" add-user "$work/db/zapo.db" --unit CENTRO --name "Maria Silva" --login maria \
  || fail "add-user on the new database"
echo "ok"
