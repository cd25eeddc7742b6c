# shellcheck shell=bash
# Debian systems in a folder, for checks that need a release other than the running one or a
# freshly installed one: made with debootstrap from Debian's mirror, entered with chroot.
# Sourced by the release and package checks; needs root.
#
# A minbase system is made once per release and kept as a tarball in $DEBIAN_ROOTS (the build
# folder), so that later runs on the same machine start from it in seconds; a fresh clone
# makes it anew.

DEBIAN_ROOTS=${DEBIAN_ROOTS:-$PWD/build/debian}
DEBIAN_MIRROR=${DEBIAN_MIRROR:-http://deb.debian.org/debian}
debian_mounted=()

# debian_minbase_tarball <release>: prints the tarball's path, making it first if needed.
debian_minbase_tarball() {
    local release=$1 tarball="$DEBIAN_ROOTS/$1-minbase.tar"
    if [[ ! -s "$tarball" ]]; then
        local dir="$DEBIAN_ROOTS/$release-debootstrap"
        mkdir -p "$DEBIAN_ROOTS"
        rm -rf "$dir"
        echo "Making a minbase Debian $release with debootstrap ..." >&2
        if ! /usr/sbin/debootstrap --variant=minbase "$release" "$dir" "$DEBIAN_MIRROR" \
            >"$DEBIAN_ROOTS/$release-debootstrap.log" 2>&1; then
            tail -n 20 "$DEBIAN_ROOTS/$release-debootstrap.log" >&2
            echo "FAIL: debootstrap of Debian $release failed" >&2
            return 1
        fi
        # The release's own security and update suites, as an installed system has them.
        {
            echo "deb $DEBIAN_MIRROR $release main"
            echo "deb $DEBIAN_MIRROR $release-updates main"
            echo "deb ${DEBIAN_MIRROR%/debian}/debian-security $release-security main"
        } >"$dir/etc/apt/sources.list"
        tar -C "$dir" -cf "$tarball.part" . && mv "$tarball.part" "$tarball"
        rm -rf "$dir"
    fi
    echo "$tarball"
}

# debian_root_fresh <release> <dir>: a freshly installed minbase system in <dir>.
debian_root_fresh() {
    local tarball
    tarball=$(debian_minbase_tarball "$1") || return 1
    debian_root_remove "$2"
    mkdir -p "$2"
    tar -C "$2" -xf "$tarball"
}

# debian_root_enter <dir>: mounts what programs inside need (proc, sys, dev, the X socket
# folder) and the host's name resolution; debian_root_leave undoes it.
debian_root_enter() {
    local dir=$1 m
    cp /etc/resolv.conf "$dir/etc/resolv.conf" 2>/dev/null || true
    mkdir -p "$dir/tmp/.X11-unix"
    [[ -d /tmp/.X11-unix ]] || install -d -m 1777 /tmp/.X11-unix
    for m in proc sys dev dev/pts tmp/.X11-unix; do
        mount --bind "/$m" "$dir/$m"
        debian_mounted=("$dir/$m" "${debian_mounted[@]}")
    done
}
debian_root_leave() {
    local m
    for m in "${debian_mounted[@]}"; do umount -l "$m" 2>/dev/null || true; done
    debian_mounted=()
}

# debian_root_remove <dir>: removes a system folder, never following a mount still inside it.
debian_root_remove() {
    local dir=$1 m
    [[ -d "$dir" ]] || return 0
    awk -v d="$(realpath "$dir")/" 'index($2, d) == 1 {print $2}' /proc/mounts | sort -r |
        while read -r m; do umount -l "$m" 2>/dev/null || true; done
    rm -rf --one-file-system "$dir"
}

# debian_run <dir> <command...>: runs a command inside as root, with a plain environment.
debian_run() {
    local dir=$1
    shift
    chroot "$dir" /usr/bin/env -i HOME=/root PATH=/usr/sbin:/usr/bin:/sbin:/bin LANG=C.UTF-8 \
        DEBIAN_FRONTEND=noninteractive ${DISPLAY:+DISPLAY=$DISPLAY} "$@"
}
