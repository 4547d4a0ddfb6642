#!/usr/bin/env bash
# Builds the RPM package of the release build, checks it with rpmlint, installs it into a
# scratch root, compares what it installed with the Debian package's files, and removes it
# again, which must leave nothing behind. Exits 77 (skipped) where this machine cannot.
# Usage: rpm_test.sh SOURCE_DIR RPM DEB
set -euo pipefail
source_dir=$1 package=$2 deb=$3

skip() {
    echo "SKIP: $*"
    exit 77
}
fail() {
    echo "FAIL: $*" >&2
    exit 1
}

command -v rpmbuild >/dev/null || skip "rpmbuild is missing (scripts/install-deps installs it)"
command -v rpmlint >/dev/null || skip "rpmlint is missing (scripts/install-deps installs it)"
((EUID == 0)) || skip "installing into a scratch root needs root, to give the files their owner"

make -C "$source_dir" package-rpm >/dev/null
[[ -f $package ]] || fail "make package-rpm made no $package"

rpmlint -c "$source_dir/packaging/rpmlint.toml" "$package" || fail "rpmlint found errors"

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
# Every file and link below a root, without the package database, as "type path".
tree() {
    (cd "$1" && find . -path ./var/lib/rpm -prune -o \( -type f -o -type l \) -printf '%y %P\n') |
        sort
}

dpkg-deb -x "$deb" "$work/deb"
root=$work/root
mkdir -p "$root"
rpm --root "$root" --dbpath /var/lib/rpm --initdb
rpm --root "$root" --dbpath /var/lib/rpm --nodeps -i "$package" || fail "rpm -i failed"
diff -u <(tree "$work/deb") <(tree "$root") || fail "the RPM installs other files than the .deb"
appstreamcli validate --no-net "$root"/usr/share/metainfo/*.metainfo.xml ||
    fail "the software centre metadata does not validate"
for link in usr/bin/gantrylux usr/libexec/gantrylux/Samples; do
    [[ $(readlink "$root/$link") == $(readlink "$work/deb/$link") ]] ||
        fail "$link points elsewhere than in the .deb"
done

rpm --root "$root" --dbpath /var/lib/rpm -e gantrylux || fail "rpm -e failed"
# What stays are the folders the system's own packages own (/usr/share/applications...), which
# the package does not claim: none of its files, links or folders.
left=$(tree "$root")
[[ -z $left ]] || fail "rpm -e left behind: $left"
while IFS= read -r owned; do
    [[ ! -e $root$owned ]] || fail "rpm -e left behind $owned"
done < <(rpm -qpl "$package")
echo "ok: rpm"
