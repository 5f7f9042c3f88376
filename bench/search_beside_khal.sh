#!/usr/bin/env bash
# norvane-cli search beside khal's search on the same appointments: a data folder and a vdir
# of N events (20,000 by default) made alike, each searched for a word in a few hundred of them,
# the first time (no index of either: both read everything) and again (nothing changed). Prints
# the medians of RUNS runs and the ratios. Installs khal when it is missing.
#   bench/search_beside_khal.sh [BUILD_DIR] [N] [RUNS]
set -euo pipefail
build=${1:-build}
count=${2:-20000}
runs=${3:-5}
cli=$(realpath "$build/bin/norvane-cli")
command -v khal >/dev/null || sudo -n apt-get install -y -q khal >/dev/null ||
    apt-get install -y -q khal >/dev/null
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

python3 - "$work" "$count" <<'EOF'
import datetime, os, sys
work, count = sys.argv[1], int(sys.argv[2])
first = datetime.date(2024, 1, 1)
os.makedirs(os.path.join(work, "vdir"))
words = ["Budget", "Review", "Call", "Planning", "Visit", "Training", "Workshop", "Lunch"]
for i in range(count):
    day = first + datetime.timedelta(days=i // 14)
    hour = 8 + i % 10
    text = "Dentist anna" if i % 97 == 0 else "%s %d" % (words[i % len(words)], i)
    folder = os.path.join(work, "data", "y%d" % day.year, "m%d" % day.month, "d%d" % day.day)
    os.makedirs(folder, exist_ok=True)
    with open(os.path.join(folder, "%d.nv3" % (i + 1)), "w", newline="") as f:
        f.write("[AppointmentSettings]\r\nDateYear=%d\r\nDateMonth=%d\r\nDateDay=%d\r\n"
                "StartTimeHour=%d\r\nStartTimeMinute=0\r\nEndTimeHour=%d\r\nEndTimeMinute=30\r\n"
                "Color=1\r\nText=%s\r\nProducer=anna\r\nIsReminder=0\r\n"
                % (day.year, day.month, day.day, hour, hour, text))
    stamp = day.strftime("%Y%m%d")
    with open(os.path.join(work, "vdir", "%d.ics" % (i + 1)), "w", newline="") as f:
        f.write("BEGIN:VCALENDAR\r\nVERSION:2.0\r\nPRODID:-//bench//EN\r\nBEGIN:VEVENT\r\n"
                "UID:%d@bench\r\nDTSTAMP:20240101T000000Z\r\nDTSTART:%sT%02d0000\r\n"
                "DTEND:%sT%02d3000\r\nSUMMARY:%s\r\nEND:VEVENT\r\nEND:VCALENDAR\r\n"
                % (i + 1, stamp, hour, stamp, hour, text))
with open(os.path.join(work, "khal.conf"), "w") as f:
    f.write("[calendars]\n[[bench]]\npath = %s/vdir\n[locale]\ntimeformat = %%H:%%M\n"
            "dateformat = %%Y-%%m-%%d\nlongdateformat = %%Y-%%m-%%d\n"
            "datetimeformat = %%Y-%%m-%%d %%H:%%M\nlongdatetimeformat = %%Y-%%m-%%d %%H:%%M\n"
            "[sqlite]\npath = %s/khal.db\n" % (work, work))
EOF
# As a folder in use is: an index trusts no time of the last few seconds.
find "$work/data" "$work/vdir" -exec touch -h -d '2 hours ago' {} +

# Milliseconds of one run of the command.
ms() {
    local start end
    start=$(date +%s%N)
    "$@" >/dev/null 2>&1
    end=$(date +%s%N)
    echo $(((end - start) / 1000000))
}
median() { sort -n | awk '{a[NR]=$1} END {print a[int((NR + 1) / 2)]}'; }

norvane=(env XDG_CACHE_HOME="$work/cache" "$cli" search dentist anna --folder "$work/data"
    --from 1900-01-01 --to 2999-12-31)
khal=(khal -c "$work/khal.conf" search dentist)
declare -A first again
for name in norvane khal; do
    firsts=()
    agains=()
    for ((run = 0; run < runs; run++)); do
        rm -rf "$work/cache" "$work/khal.db"
        declare -n command=$name
        firsts+=("$(ms "${command[@]}")")
        agains+=("$(ms "${command[@]}")")
    done
    first[$name]=$(printf '%s\n' "${firsts[@]}" | median)
    again[$name]=$(printf '%s\n' "${agains[@]}" | median)
done
hits=$("${norvane[@]}" | wc -l)
printf '%d appointments, %d found, medians of %d runs\n' "$count" "$hits" "$runs"
printf '  %-28s %10s %10s\n' "" "norvane" "khal"
printf '  %-28s %8d ms %8d ms   norvane / khal = %s\n' "first search, no index" \
    "${first[norvane]}" "${first[khal]}" "$(echo "scale=2; ${first[norvane]} / ${first[khal]}" | bc)"
printf '  %-28s %8d ms %8d ms   norvane / khal = %s (goal: at most 0.20)\n' \
    "the same search again" "${again[norvane]}" "${again[khal]}" \
    "$(echo "scale=2; ${again[norvane]} / ${again[khal]}" | bc)"
