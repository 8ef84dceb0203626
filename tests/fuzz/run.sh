#!/usr/bin/env bash
# Builds the parseWave fuzz target natively with clang (libFuzzer, address and undefined-behaviour
# sanitizers) and runs a short bounded fuzz session seeded from the program's own sounds.
#   tests/fuzz/run.sh [SECONDS]     (default 20)
set -euo pipefail
root=$(cd "$(dirname "$0")/../.." && pwd)
out="$root/build/fuzz"
seconds="${1:-20}"
mkdir -p "$out"

clang++ -std=c++17 -g -O1 -fsanitize=fuzzer,address,undefined -fno-sanitize-recover=all \
    -I "$root" "$root/tests/fuzz/parse_wave_fuzz.cpp" "$root/sound/wave.cpp" -o "$out/parse_wave_fuzz"

# Seeds: every sound as it is, and a short copy of each (the data chunk cut to 16 bytes) so the
# fuzzer starts from small well-formed images.
seeds="$out/seeds"
rm -rf "$seeds"
mkdir -p "$seeds"
python3 - "$seeds" "$root"/resources/sounds/*.wav <<'PY'
import os, struct, sys
seeds = sys.argv[1]
for path in sys.argv[2:]:
    image = open(path, 'rb').read()
    name = os.path.basename(path)
    open(os.path.join(seeds, name), 'wb').write(image)
    chunks, at = [], 12
    while at + 8 <= len(image):
        cid, size = image[at:at + 4], struct.unpack('<I', image[at + 4:at + 8])[0]
        body = image[at + 8:at + 8 + size]
        if cid == b'data':
            body = body[:16]
        chunks.append(cid + struct.pack('<I', len(body)) + body + (b'\0' if len(body) % 2 else b''))
        at += 8 + size + (size & 1)
    form = b'WAVE' + b''.join(chunks)
    open(os.path.join(seeds, 'short-' + name), 'wb').write(b'RIFF' + struct.pack('<I', len(form)) + form)
PY

corpus="$out/corpus"
mkdir -p "$corpus"
cd "$out"
if ! ./parse_wave_fuzz -max_total_time="$seconds" -max_len=4096 -dict="$root/tests/fuzz/wave.dict" \
    -print_final_stats=1 "$corpus" "$seeds" >fuzz.log 2>&1; then
    tail -n 80 fuzz.log
    echo "fuzz: parseWave failed; the input is saved in $out (crash-*)" >&2
    exit 1
fi
grep -E '^(Done|stat::number_of_executed_units|stat::new_units_added)' fuzz.log || true
echo "fuzz: parseWave survived ${seconds} s"
