#!/usr/bin/env bash
# Whole-process comparison of korvane with what a user would run instead: a loop of sox or of
# ffmpeg over the same files, and with merely writing a file of the output's size.
#
#   bench/compare.sh [path/to/korvane] [runs]
#
# Needs bash, sox, ffmpeg, espeak-ng and /usr/bin/time. Prints the best of several interleaved
# runs of each contender, the ratios korvane ÷ other (lower is better), and peak memory.
set -euo pipefail
korvane=$(realpath "${1:-build-bench/korvane}")
runs=${2:-5}
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cd "$work"

echo "making recordings in $work ..."
mkdir batch long minute
espeak-ng -w speech.wav "A short note, recorded on the move."
sox speech.wav -r 8000 -c 1 -b 16 speech8k.wav
for i in $(seq -w 1 200); do
  sox speech8k.wav -e ms-adpcm "batch/rec$i.wav" pitch $((10#$i % 50))
done
sox -n -r 8000 -c 1 -b 16 tone.wav synth 3600 sine 300-3000 tremolo 5 40
sox tone.wav -e ms-adpcm long/hour.wav
sox -n -r 8000 -c 1 -b 16 tone1.wav synth 60 sine 300-3000 tremolo 5 40
sox tone1.wav -e ms-adpcm minute/minute.wav
rm tone.wav tone1.wav
cp -r batch batch.orig
cp -r long long.orig
cp -r minute minute.orig

now() { echo "${EPOCHREALTIME/./}"; }
declare -A best
record() {  # name start end
  local us=$(($3 - $2))
  if [[ -z ${best[$1]:-} || $us -lt ${best[$1]} ]]; then best[$1]=$us; fi
}
restore() { rm -rf "$1" && cp -r "$1.orig" "$1"; }

sox_loop() {
  mkdir -p out && for f in "$1"/*.wav; do sox "$f" -e signed -b 16 "out/${f##*/}"; done
  [[ $(ls out | wc -l) == $(ls "$1" | wc -l) ]] || { echo "the sox loop missed files" >&2; exit 1; }
  rm -rf out
}
ffmpeg_loop() {
  mkdir -p out && for f in "$1"/*.wav; do
    ffmpeg -nostdin -loglevel error -y -i "$f" -c:a pcm_s16le "out/${f##*/}"
  done
  [[ $(ls out | wc -l) == $(ls "$1" | wc -l) ]] || { echo "the ffmpeg loop missed files" >&2; exit 1; }
  rm -rf out
}

restore long
"$korvane" 'long/*.wav' >/dev/null
hour_output=$(stat -c %s long/hour.wav)
restore batch
converted=$("$korvane" 'batch/*.wav' | grep -c ' OK\.$' || true)
[[ $converted == 200 ]] || { echo "korvane converted $converted of 200 files" >&2; exit 1; }

for run in $(seq 1 "$runs"); do
  echo "run $run of $runs ..."
  restore batch; sync
  t0=$(now); "$korvane" 'batch/*.wav' >/dev/null; t1=$(now); record batch_korvane "$t0" "$t1"
  restore batch; sync
  t0=$(now); sox_loop batch; t1=$(now); record batch_sox "$t0" "$t1"
  t0=$(now); ffmpeg_loop batch; t1=$(now); record batch_ffmpeg "$t0" "$t1"

  restore long; sync
  t0=$(now); "$korvane" 'long/*.wav' >/dev/null; t1=$(now); record hour_korvane "$t0" "$t1"
  restore long; sync
  t0=$(now); sox_loop long; t1=$(now); record hour_sox "$t0" "$t1"
  t0=$(now); ffmpeg_loop long; t1=$(now); record hour_ffmpeg "$t0" "$t1"
  t0=$(now); head -c "$hour_output" /dev/zero > floor.bin; t1=$(now); record hour_floor "$t0" "$t1"
  rm -f floor.bin
done

restore minute
peak_minute=$( { /usr/bin/time -f %M "$korvane" 'minute/*.wav' >/dev/null; } 2>&1 )
restore long
peak_hour=$( { /usr/bin/time -f %M "$korvane" 'long/*.wav' >/dev/null; } 2>&1 )

ms() { awk -v us="$1" 'BEGIN { printf "%.1f ms", us / 1000 }'; }
ratio() { awk -v a="$1" -v b="$2" 'BEGIN { printf "%.3f", a / b }'; }
echo
echo "| workload | korvane | other | time of other | korvane ÷ other |"
echo "|---|---|---|---|---|"
for pair in "batch sox" "batch ffmpeg" "hour sox" "hour ffmpeg" "hour floor"; do
  read -r load other <<<"$pair"
  label=$([[ $load == batch ]] && echo "200 short recordings" || echo "1-hour recording")
  [[ $other == floor ]] && other_label="write floor" || other_label="$other loop"
  echo "| $label | $(ms "${best[${load}_korvane]}") | $other_label | $(ms "${best[${load}_${other}]}") | $(ratio "${best[${load}_korvane]}" "${best[${load}_${other}]}") |"
done
echo
echo "peak memory: $peak_minute KiB for 1 minute, $peak_hour KiB for 1 hour"
