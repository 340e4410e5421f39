#!/bin/bash
# Times `krelby-cli flights` over a folder of many short flight files, without the logbook's
# cache (cold) and with it (warm), for each build given; the folder is made once with the
# first build's krelby-gen and krelby-cli.
# Usage: bench/logbook-listing.sh FLIGHTS BUILD...   e.g. bench/logbook-listing.sh 32000 build
set -euo pipefail
flights=$1
shift
root=$(mktemp -d "${TMPDIR:-/dev/shm}/krelby-listing.XXXXXX")
trap 'rm -rf "$root"' EXIT
"$1/krelby-gen" --flights "$flights" --seconds 20 --monitors 1 "$root/rec.DAT" >/dev/null
"$1/krelby-cli" import "$root/rec.DAT" --folder "$root" >/dev/null
echo "$(ls "$root/Flights_INT" | wc -l) flight files, $(du -sh "$root/Flights_INT" | cut -f1)"
# The least of five runs each: the machine may be busy with other work.
run() {
    local best=
    for _ in 1 2 3 4 5; do
        [ "$1" = cold ] && rm -f "$root"/Logbook.sqlite*
        start=$(date +%s.%N)
        "$build/krelby-cli" flights --folder "$root" >"$root/out.csv"
        t=$(echo "$(date +%s.%N) - $start" | bc)
        if [ -z "$best" ] || [ "$(echo "$t < $best" | bc)" = 1 ]; then best=$t; fi
    done
    printf '%s %s: %.2f s, %d lines\n' "$build" "$1" "$best" "$(($(wc -l <"$root/out.csv") - 1))"
}
for build in "$@"; do
    run cold
    run warm
done
