# SPDX-License-Identifier: MIT
# Sourced by the scripts that install from Debian's archive. Needs $sudo ("" as root, else
# "sudo").
#
# apt_update: apt-get update, tried again when it fails. A mirror that is syncing refuses an
# index now and then ("File has unexpected size"); a later try usually finds it whole. Where the
# mirror keeps serving the same older copy, that copy is taken, unverified and with a warning,
# so that the machine can still install: apt has no other index for those packages, and the
# older copy differs from the signed one only by the newest updates.
apt_update() {
    local try log
    log=$(mktemp)
    for try in 1 2 3; do
        if $sudo apt-get update -qq 2>"$log"; then
            rm -f "$log"
            return 0
        fi
        cat "$log" >&2
        echo "apt_update: apt-get update failed (try $try of 3)" >&2
        if [ "$try" -lt 3 ]; then sleep $((try * 15)); fi
    done
    # apt's own helper fetches and unpacks: a new machine may have neither curl nor xz.
    local helper=/usr/lib/apt/apt-helper url name copy taken=0
    copy=$(mktemp -d)
    while read -r url; do
        name=${url#*://}
        name=${name%.xz}
        name=${name//\//_}
        echo "apt_update: WARNING: taking the mirror's older, unverified copy of $url" >&2
        $helper download-file "$url" "$copy/index.xz" >/dev/null &&
            $helper cat-file "$copy/index.xz" | $sudo tee "/var/lib/apt/lists/$name" >/dev/null ||
            break
        taken=1
    done < <(sed -n 's/^E: Failed to fetch \(http[^ ]*\.xz\)  File has unexpected size.*/\1/p' "$log")
    rm -rf "$log" "$copy"
    [ "$taken" -eq 1 ]
}
