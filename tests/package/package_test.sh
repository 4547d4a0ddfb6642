#!/usr/bin/env bash
# Checks the Debian package as installed: unpacks it into a temporary root and, for the check
# named first, starts the unpacked program there (offscreen, with throw-away settings) or runs a
# validator over the unpacked files.
# Usage: package_test.sh CHECK PACKAGE.deb VERSION SAMPLES_DIR
set -euo pipefail
check=$1 package=$2 version=$3 samples=$4

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
root=$work/root
dpkg-deb -x "$package" "$root"
app_id=com.quillmere.Gantrylux

fail() {
    echo "FAIL: $*" >&2
    exit 1
}

# Starts the unpacked program through its link in bin and waits for the report it writes once
# its start-up has finished.
start_for_report() {
    mkdir -p "$work/config" "$work/runtime"
    chmod 700 "$work/runtime"
    QT_QPA_PLATFORM=offscreen XDG_CONFIG_HOME=$work/config XDG_RUNTIME_DIR=$work/runtime \
        GANTRYLUX_STARTUP_REPORT=$work/report timeout 60 "$root/usr/bin/gantrylux" "$@" ||
        fail "the program did not start and end cleanly (exit $?)"
    [[ -f $work/report ]] || fail "the program wrote no report"
}

case $check in
files)
    # Its samples, hand pointer and drag icon, found beside the real executable; no skin,
    # since the package is built without it.
    start_for_report
    {
        echo "program folder: $root/usr/libexec/gantrylux"
        echo "hand pointer: file"
        echo "drag pointer: file"
        echo "layout: left-to-right"
        echo "skin: none"
        for sample in "$samples"/*; do
            echo "sample: ${sample##*/}"
        done
    } | sort > "$work/expected"
    sort "$work/report" | diff -u "$work/expected" - || fail "the program found other files"
    [[ ! -e $root/usr/libexec/gantrylux/x && ! -e $root/usr/share/gantrylux/x ]] ||
        fail "the skin is packaged although it was not asked for"
    ;;
version)
    output=$(QT_QPA_PLATFORM=offscreen XDG_CONFIG_HOME=$work/config "$root/usr/bin/gantrylux" --version) ||
        fail "--version exited with $?"
    [[ $output == "gantrylux $version" ]] || fail "--version printed '$output'"
    ;;
path)
    # A folder and a file:// URL, as "Open With" gives them.
    mkdir -p "$work/given/Sub"
    echo x > "$work/given/a.txt"
    echo x > "$work/given/Sub/b.txt"
    echo x > "$work/single file.txt"
    start_for_report "$work/given" "file://$work/single%20file.txt"
    grep '^file: ' "$work/report" | sort > "$work/files"
    printf 'file: %s\n' "$work/given/Sub/b.txt" "$work/given/a.txt" "$work/single file.txt" |
        sort | diff -u - "$work/files" || fail "the paths did not reach the file list"
    ;;
validators)
    desktop-file-validate "$root/usr/share/applications/$app_id.desktop"
    grep -qx 'X-GNOME-SingleWindow=true' "$root/usr/share/applications/$app_id.desktop" ||
        fail "the desktop entry does not say that there is one window"
    [[ $(dpkg-deb -f "$package" Recommends) == *qt6-wayland* ]] ||
        fail "the package does not recommend qt6-wayland"
    appstreamcli validate --no-net "$root/usr/share/metainfo/$app_id.metainfo.xml"
    ;;
lintian)
    lintian --fail-on error,warning "$package"
    ;;
*)
    fail "unknown check $check"
    ;;
esac
echo "ok: $check"
