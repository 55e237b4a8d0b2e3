#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# The writer in setups a hostile user or environment would make, one case at a time, driven by
# tst_config_file. Usage: config_file_cases.sh CASE PHASE, in the case's scratch directory,
# with the writer helper as $H and the text it writes in the file $NEW. The phases: setup
# (exit status 77: this machine cannot set the case up), run (prints what the writer says),
# check (succeeds when what is left on disk is right, else lists it) and clean.

# Words for the cases: `new FILE` (holds the new text), `only DIR NAME...` (nothing else there,
# no stray temporary file) and `as USER COMMAND...`.
new() { cmp -s "$1" "$NEW"; }
only() { [ "$(ls -A "$1" | tr '\n' ' ')" = "${*:2}${2+ }" ]; }
as() {
    [ $(id -u) != 0 ] && { "${@:2}"; return; }
    setpriv --reuid="$1" --regid="$(id -g "$1")" --clear-groups "${@:2}"
}
# LeakSanitizer cannot run under a tracer.
traced=(env "ASAN_OPTIONS=$ASAN_OPTIONS:detect_leaks=0" strace -f -qq -o /dev/null)

new_file_flush_fails_setup() { printf old > config.txt; }
new_file_flush_fails_run() { "${traced[@]}" -e trace=fdatasync -e inject=fdatasync:error=EIO "$H"; }
new_file_flush_fails_check() { [ "$(cat config.txt)" = old ] && only . config.txt; }

first_file_flush_fails_run() {
    "${traced[@]}" -e trace=fdatasync -e inject=fdatasync:error=ENOSPC "$H"
}
first_file_flush_fails_check() { only .; }

directory_flush_fails_setup() { printf old > config.txt; }
directory_flush_fails_run() { "${traced[@]}" -e trace=fsync -e inject=fsync:error=EIO "$H"; }
directory_flush_fails_check() { new config.txt && only . config.txt; }

planted_links_setup() {
    printf victim > victim; mkdir -m 1777 pub; mkdir -m 2775 pub2; chgrp users pub2
    ln -s ../victim pub/config.txt; ln -s ../victim pub2/config.txt
    chown -h nobody pub/config.txt pub2/config.txt
}
planted_links_run() { cd pub; "$H"; cd ../pub2; "$H"; }
planted_links_check() {
    [ "$(cat victim)" = victim ] && only pub config.txt && only pub2 config.txt &&
        only . pub pub2 victim
}

link_loop_setup() { ln -s config.txt config.txt; }
link_loop_run() { "$H"; }
link_loop_check() { [ -L config.txt ] && only . config.txt; }

full_device_setup() { mknod config.txt c 1 7; }
full_device_run() { "$H"; }
full_device_check() { [ -c config.txt ] && only . config.txt; }

link_to_null_device_setup() { mknod null c 1 3; ln -s null config.txt; }
link_to_null_device_run() { "$H"; }
link_to_null_device_check() { [ -L config.txt ] && [ -c null ] && only . config.txt null; }

fifo_without_reader_setup() { mkfifo config.txt; }
fifo_without_reader_run() { "$H"; }
fifo_without_reader_check() { [ -p config.txt ] && only . config.txt; }

append_only_directory_setup() {
    truncate -s 4M img && mkfs.ext4 -q img && mkdir mnt || exit 1
    mount -o loop img mnt || exit 77
    mkdir mnt/a mnt/b; printf old > mnt/a/config.txt
    chattr +a mnt/a mnt/b
}
append_only_directory_run() { cd mnt/a && "$H" && cd ../b && "$H"; }
append_only_directory_check() {
    new mnt/a/config.txt && new mnt/b/config.txt && only mnt/a config.txt &&
        only mnt/b config.txt
}

append_only_unreadable_directory_setup() {
    truncate -s 4M img && mkfs.ext4 -q img && mkdir mnt || exit 1
    mount -o loop img mnt || exit 77
    mkdir -m 703 mnt/c; printf old > mnt/c/config.txt
    chmod 666 mnt/c/config.txt; chattr +a mnt/c
}
append_only_unreadable_directory_run() { cd mnt/c && as nobody "$H"; }
append_only_unreadable_directory_check() { new mnt/c/config.txt && only mnt/c config.txt; }

others_file_in_sticky_directory_setup() {
    chmod 755 .; mkdir -m 1777 pub; printf old > pub/config.txt
    chown nobody:nogroup pub/config.txt; chmod 666 pub/config.txt
}
others_file_in_sticky_directory_run() { cd pub && as daemon "$H"; }
others_file_in_sticky_directory_check() {
    new pub/config.txt && only pub config.txt &&
        [ "$(stat -c %U:%G:%a pub/config.txt)" = nobody:nogroup:666 ]
}

acl_and_attributes_setup() {
    chmod 755 .; printf old > config.txt; chmod 644 config.txt
    setfacl -m u:daemon:rw,u:nobody:--- config.txt || exit 77
    setfattr -n user.note -v kept config.txt || exit 77
    getfacl -c config.txt > acl; stat -c %i config.txt > inode
    mkdir d; printf old > d/config.txt; setfacl -d -m u:bin:rwx d
}
acl_and_attributes_run() { "$H" && as daemon "$H" && cd d && "$H"; }
acl_and_attributes_check() {
    new config.txt && [ "$(getfacl -c config.txt)" = "$(cat acl)" ] &&
        [ "$(getfattr --only-values -n user.note config.txt)" = kept ] &&
        [ "$(stat -c %i config.txt)" != "$(cat inode)" ] &&
        new d/config.txt && [ -z "$(getfacl -cs d/config.txt)" ]
}

fuse_denies_chmod_setup() {
    [ -c /dev/fuse ] || { echo 'no /dev/fuse'; exit 77; }
    mkdir src mnt; printf old > src/config.txt; chmod 644 src/config.txt
    bindfs --chmod-deny src mnt
}
fuse_denies_chmod_run() { cd mnt && "$H" && "$H"; }
fuse_denies_chmod_check() { new src/config.txt && only src config.txt; }

in_place_without_room_setup() { chmod 755 .; printf old > config.txt; chmod 666 config.txt; }
in_place_without_room_run() {
    as nobody prlimit --fsize=40 "$H"
    as nobody "${traced[@]}" -e trace=fallocate,ftruncate -e inject=fallocate:error=EOPNOTSUPP \
        -e inject=ftruncate:error=EDQUOT "$H"
}
in_place_without_room_check() { [ "$(cat config.txt)" = old ] && only . config.txt; }

killed_while_writing_setup() { printf old > config.txt; }
killed_while_writing_run() {
    # In the shell's place, which would report the signal that ends the tracer too.
    exec "${traced[@]}" -e trace=fdatasync -e inject=fdatasync:signal=KILL "$H"
}
killed_while_writing_check() { [ "$(cat config.txt)" = old ] && only . config.txt; }

link_to_long_name_setup() { n=$(printf 'n%.0s' {1..250}); printf old > $n; ln -s $n config.txt; }
link_to_long_name_run() { "$H"; }
link_to_long_name_check() {
    [ -L config.txt ] && new $(readlink config.txt) && [ $(ls -A | wc -l) = 2 ]
}

root_keeps_owner_setup() {
    printf old > config.txt; chown nobody:nogroup config.txt
    chmod 640 config.txt
}
root_keeps_owner_run() { "$H"; }
root_keeps_owner_check() {
    new config.txt && only . config.txt &&
        [ "$(stat -c %U:%G:%a config.txt)" = nobody:nogroup:640 ]
}

latin1_directory_names_setup() {
    mkdir $'caf\xe9'; printf old > $'caf\xe9'/config.txt; ln -s $'caf\xe9'/config.txt config.txt
    mkdir $'\xe9t\xe9'
}
latin1_directory_names_run() { "$H" && cd $'\xe9t\xe9' && "$H"; }
latin1_directory_names_check() {
    [ -L config.txt ] && new $'caf\xe9'/config.txt && new $'\xe9t\xe9'/config.txt &&
        only $'caf\xe9' config.txt
}

unsearchable_ancestor_setup() {
    mkdir -p a/b; printf old > a/b/config.txt
    stat -c %i a/b/config.txt > inode; chmod 755 .; chown -R nobody:nogroup a
}
unsearchable_ancestor_run() { as nobody bash -c 'cd a/b && chmod 0 .. && "$H"; chmod 755 ..'; }
unsearchable_ancestor_check() {
    new a/b/config.txt && only a/b config.txt &&
        [ "$(stat -c %i a/b/config.txt)" != "$(cat inode)" ]
}

file_size_limit_setup() { printf old > config.txt; }
file_size_limit_run() { prlimit --fsize=16 "$H"; }
file_size_limit_check() { [ "$(cat config.txt)" = old ] && only . config.txt; }

deleted_working_directory_run() { mkdir gone && cd gone && rmdir ../gone && "$H"; }
deleted_working_directory_check() { only .; }

case $2 in
setup)
    # A case without one starts in an empty directory.
    set -e
    if declare -F "$1_setup" >/dev/null; then "$1_setup"; fi
    ;;
run) "$1_run" ;;
check) "$1_check" || { ls -lAR; exit 1; } ;;
clean)
    # QTemporaryDir cannot remove names that are not UTF-8.
    ! mountpoint -q mnt || umount mnt
    chmod -R u+rwX .; rm -rf ./*
    ;;
esac
