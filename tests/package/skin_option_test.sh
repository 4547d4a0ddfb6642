#!/usr/bin/env bash
# The skin sits beside the program only while GANTRYLUX_INSTALL_SKIN is on, in the build tree
# and in the installed tree alike: configures a scratch build with the option on, then off, and
# places and installs just the skin each time (nothing is compiled).
# Usage: skin_option_test.sh SOURCE_DIR
set -euo pipefail
source_dir=$1
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
build=$work/build

fail() {
    echo "FAIL: $*" >&2
    exit 1
}

for option in ON OFF; do
    cmake -S "$source_dir" -B "$build" -G Ninja -DGANTRYLUX_INSTALL_SKIN=$option \
        -DGANTRYLUX_BUILD_TESTS=OFF -DGANTRYLUX_BUILD_BENCH=OFF > "$work/configure.log" ||
        { cat "$work/configure.log"; fail "configuring with the skin $option"; }
    cmake --build "$build" --target gantrylux_skin > /dev/null
    rm -rf "$work/root"
    cmake --install "$build" --component skin --prefix "$work/root" > /dev/null
    built=$build/x/o.cjs
    installed=$work/root/libexec/gantrylux/x/o.cjs
    if [[ $option == ON ]]; then
        cmp "$source_dir/assets/x/o.cjs" "$built" || fail "no skin in the build tree"
        cmp "$source_dir/assets/x/o.cjs" "$installed" || fail "no skin beside the installed program"
    else
        [[ ! -e $built ]] || fail "the skin stayed in the build tree with the option off"
        [[ ! -e $installed ]] || fail "the skin was installed with the option off"
    fi
done
echo "ok"
