# SPDX-License-Identifier: MIT
# Sourced by the scripts that fetch Debian source packages. add_deb_src: apt-get source needs a
# deb-src entry for the suites the machine installs from. It goes into a file of its own, next to
# the system's list, which stays as it is. Needs $sudo ("" as root, else "sudo").
. "$(dirname "${BASH_SOURCE[0]}")/apt.sh"
add_deb_src() {
    local list=/etc/apt/sources.list.d/credcipher-deb-src
    if [ -f /etc/apt/sources.list.d/debian.sources ]; then
        sed -E 's/^Types:.*/Types: deb-src/' /etc/apt/sources.list.d/debian.sources |
            $sudo tee "$list.sources" >/dev/null
    elif grep -qs '^deb ' /etc/apt/sources.list; then
        sed -n 's/^deb /deb-src /p' /etc/apt/sources.list | $sudo tee "$list.list" >/dev/null
    else
        # shellcheck disable=SC1091
        . /etc/os-release
        echo "deb-src http://deb.debian.org/debian $VERSION_CODENAME main" |
            $sudo tee "$list.list" >/dev/null
    fi
    apt_update
}
