#!/usr/bin/env bash
# Builds the Debian package from this build tree, unpacks it into a temporary root and runs the
# programs from there, so a file the package lacks fails here and not on a user's desk.
#   debian_package.sh BUILD_DIR SOURCE_DIR VERSION
set -euo pipefail
build=$1
source_dir=$2
version=$3

for tool in cpack dpkg-deb dpkg-shlibdeps; do
    if ! command -v "$tool" >/dev/null; then
        echo "SKIP: $tool is missing (apt-get install dpkg-dev)"
        exit 77
    fi
done

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
fail() {
    echo "FAIL: $*"
    exit 1
}

(cd "$build" && cpack -G DEB -B "$work/out") >"$work/cpack.log" 2>&1 ||
    fail "cpack: $(cat "$work/cpack.log")"
deb=$work/out/norvane_${version}_$(dpkg --print-architecture).deb
[ -f "$deb" ] || fail "no $(basename "$deb") among: $(ls "$work/out")"

root=$work/root
dpkg-deb -x "$deb" "$root"
expected_files=(
    usr/bin/norvane usr/bin/norvane-cli
    usr/libexec/norvane/norvane-cli-pdf usr/libexec/norvane/norvane-cli-sync
    usr/libexec/norvane/norvane-cli-exchange
    usr/share/applications/norvane.desktop
    usr/share/metainfo/example.norvane.Norvane.metainfo.xml
    usr/share/icons/hicolor/scalable/apps/norvane.svg
    usr/share/man/man1/norvane.1.gz usr/share/man/man1/norvane-cli.1.gz
    usr/share/bash-completion/completions/norvane-cli
    usr/share/doc/norvane/copyright usr/share/doc/norvane/changelog.gz
    usr/share/norvane/holidays/germany.txt
)
for size in 16 22 24 32 48 64 128 256; do
    expected_files+=("usr/share/icons/hicolor/${size}x${size}/apps/norvane.png")
done
for file in "${expected_files[@]}"; do
    [ -f "$root/$file" ] || fail "the package lacks /$file"
done
# An installed program keeps its settings in the per-user directory, never beside itself.
stray=$(find "$root" -name norvane-portable -o -name Settings.ini)
[ -z "$stray" ] || fail "the package holds ${stray#"$root"}"

for program in norvane norvane-cli; do
    said=$("$root/usr/bin/$program" --version)
    [ "$said" = "$program $version" ] || fail "$program --version said: $said"
done

# One agenda of a sample data folder, as the golden-folder test expects it.
export HOME=$work/home XDG_DATA_HOME=$work/home/data XDG_CONFIG_HOME=$work/home/config
mkdir -p "$HOME"
cp -r "$source_dir/tests/data/folders/recurring" "$work/folder"
expected=$source_dir/tests/data/folders/recurring.expected
read -r -a words <"$expected"
"$root/usr/bin/norvane-cli" "${words[@]}" --folder "$work/folder" >"$work/agenda"
diff <(tail -n +2 "$expected") "$work/agenda" >"$work/agenda.diff" ||
    fail "the packaged norvane-cli printed another agenda: $(cat "$work/agenda.diff")"
# A command of a helper program: norvane-cli finds it where the package put it.
ics=$("$root/usr/bin/norvane-cli" export-ics "${words[1]}" "${words[2]}" \
    --folder "$work/folder" 2>&1) || fail "the packaged norvane-cli export-ics failed: $ics"
[ "$(head -n 1 <<<"$ics")" = $'BEGIN:VCALENDAR\r' ] ||
    fail "the packaged norvane-cli export-ics printed: $(head -n 3 <<<"$ics")"

info=$(dpkg -I "$deb")
for dependency in libqt6core6 libqt6widgets6 qt6-qpa-plugins qt6-translations-l10n; do
    grep -q "^ Depends:.*\b$dependency\b" <<<"$info" || fail "Depends lacks $dependency: $info"
done
echo "$(basename "$deb") installs and runs"
