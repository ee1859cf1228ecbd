# SPDX-License-Identifier: MIT
# Sourced by the scripts that install from Debian's archive. apt_update: Debian's mirrors refuse
# an index now and then while they sync ("File has unexpected size"); a later try finds them
# whole. Needs $sudo ("" as root, else "sudo").
apt_update() {
    local try
    for try in 1 2 3 4; do
        $sudo apt-get update -qq && return 0
        echo "apt_update: apt-get update failed (try $try of 4)" >&2
        if [ "$try" -lt 4 ]; then sleep $((try * 15)); fi
    done
    return 1
}
