#!/usr/bin/env bash
# Builds the Debian package from the build tree, unpacks it into a scratch root and runs the
# installed program from there; lintian must find no error in it.
# usage: package_test.sh BUILD_DIR
set -euo pipefail
build=$(cd "$1" && pwd)
if ! command -v dpkg-deb >/dev/null; then
  echo "dpkg-deb is missing: no Debian package can be built here"
  exit 77
fi
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
fail() { echo "FAIL: $*" >&2; exit 1; }

cpack --config "$build/CPackConfig.cmake" -B "$scratch/out" >"$scratch/cpack.log" 2>&1 ||
  { cat "$scratch/cpack.log"; fail "cpack could not build the package"; }
deb=$(ls "$scratch"/out/corvane_*.deb)
echo "built $(basename "$deb")"

dpkg-deb -c "$deb" | awk '{print $NF}' > "$scratch/contents"
for f in ./usr/bin/corvane ./usr/bin/corvane-mkdb ./usr/lib/corvane/corvane-xlsread \
         ./usr/share/applications/corvane.desktop ./usr/share/metainfo/corvane.metainfo.xml \
         ./usr/share/man/man1/corvane.1.gz ./usr/share/man/man1/corvane-mkdb.1.gz \
         ./usr/share/doc/corvane/copyright ./usr/share/doc/corvane/changelog.Debian.gz; do
  grep -qx "$f" "$scratch/contents" || fail "the package lacks $f"
done
for size in 16 22 24 32 48 64 128 256; do
  grep -qx "./usr/share/icons/hicolor/${size}x${size}/apps/corvane.png" "$scratch/contents" ||
    fail "the package lacks the ${size}x${size} icon"
done
if grep -q -e '/tests/' -e 'bench' -e 'corvane-render-icons' "$scratch/contents"; then
  fail "the package carries build tools or tests"
fi

root="$scratch/root"
dpkg -x "$deb" "$root"
[ -x "$root/usr/lib/corvane/corvane-xlsread" ] || fail "the workbook reader is not executable"
help=$("$root/usr/bin/corvane" --help) || fail "corvane --help failed"
grep -q -- '--backup' <<<"$help" || fail "--help does not list --backup"

# Installed: config.txt in the user's configuration folder, since none lies beside /usr/bin.
export XDG_CONFIG_HOME="$scratch/config"
mkdir -p "$XDG_CONFIG_HOME/corvane"
"$root/usr/bin/corvane-mkdb" --demo "$scratch/shop.db" >/dev/null || fail "corvane-mkdb failed"
printf '"Corvane"\nDatabase,"%s"\nPriceChangeCutoff,1/1/2010\n' "$scratch/shop.db" > "$XDG_CONFIG_HOME/corvane/config.txt"
"$root/usr/bin/corvane" --report crptMaterialReport --csv "$scratch/materials.csv" ||
  fail "the installed program could not write a document"
[ "$(wc -l < "$scratch/materials.csv")" -gt 1 ] || fail "the document holds no rows"
"$root/usr/bin/corvane" --backup >/dev/null || fail "the installed program could not make a backup"
ls "$scratch"/backups/shop-*.db >/dev/null || fail "no backup beside the shop file"

command -v lintian >/dev/null || fail "lintian is missing (scripts/deps.sh installs it)"
lintian --fail-on error --tag-display-limit 0 "$deb" | tee "$scratch/lintian.log" ||
  fail "lintian found errors"
echo "package ok"
