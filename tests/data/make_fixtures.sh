#!/usr/bin/env bash
# Remakes the fixture recordings and their expected decodes. Needs espeak-ng, sox and ffmpeg;
# the tests themselves need none of them. Run from this folder.
set -euo pipefail
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
ff() { ffmpeg -nostdin -loglevel error -y "$@"; }

espeak-ng -w "$work/speech.wav" "Korvane keeps every recording safe."
sox "$work/speech.wav" -r 8000 -c 1 -b 16 "$work/speech8k.wav"
sox "$work/speech8k.wav" "$work/short8k.wav" trim 0 0.3
# A loud square wave whose encoding overshoots: its decode saturates at both limits.
sox -n -r 8000 -c 1 -b 16 "$work/square.wav" synth 0.2 square 3000

# sox: 50-byte format chunk, "fact" chunk, 256-byte blocks.
sox "$work/speech8k.wav" -e ms-adpcm sox_speech.wav
sox "$work/short8k.wav" -e ms-adpcm sox_short.wav
# ffmpeg writes a "LIST" chunk before "data" unless told not to.
ff -i "$work/short8k.wav" -c:a adpcm_ms -block_size 256 ffmpeg_list_256.wav
ff -i "$work/short8k.wav" -c:a adpcm_ms -block_size 128 ffmpeg_list_128.wav
ff -i "$work/short8k.wav" -c:a adpcm_ms ffmpeg_list_1024.wav
ff -i "$work/square.wav" -c:a adpcm_ms -block_size 256 ffmpeg_square.wav
ff -i "$work/short8k.wav" -ar 16000 -c:a adpcm_ms -block_size 256 ffmpeg_16k.wav

for f in sox_speech sox_short ffmpeg_square ffmpeg_list_256 ffmpeg_list_128 ffmpeg_list_1024 ffmpeg_16k; do
  ff -i "$f.wav" -f s16le -acodec pcm_s16le "$f.s16"
done

# Bundled samples for the quick start.
mkdir -p ../../samples
cp sox_speech.wav ../../samples/greeting.wav
espeak-ng -w "$work/two.wav" "Two short words."
sox "$work/two.wav" -r 8000 -c 1 "$work/two8k.wav"
sox "$work/two8k.wav" -e ms-adpcm ../../samples/words.wav

# A recording cut inside its fourth block, as a full memory card leaves it.
head -c $((90 + 3 * 256 + 100)) sox_speech.wav > sox_cut.wav
ff -i sox_cut.wav -f s16le -acodec pcm_s16le sox_cut.s16
