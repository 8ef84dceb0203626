#!/usr/bin/env bash
# Builds the fuzz targets natively with clang (libFuzzer, address and undefined-behaviour sanitizers) and runs a
# short bounded session of each, seeded from the program's own sounds and outlines.
#   tests/fuzz/run.sh [SECONDS]     (seconds per target, default 15)
set -euo pipefail
root=$(cd "$(dirname "$0")/../.." && pwd)
out="$root/build/fuzz"
seconds="${1:-15}"
mkdir -p "$out"

build() { # NAME SOURCES...
    local name=$1
    shift
    clang++ -std=c++17 -g -O1 -fsanitize=fuzzer,address,undefined -fno-sanitize-recover=all \
        -I "$root" "$@" -o "$out/$name"
}
build parse_wave_fuzz "$root/tests/fuzz/parse_wave_fuzz.cpp" "$root/sound/wave.cpp"
build region_data_fuzz "$root/tests/fuzz/region_data_fuzz.cpp" "$root/engine/region_data.cpp"

# Wave seeds: every sound as it is, and a short copy of each (the data chunk cut to 16 bytes) so the
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

# Outline seeds: every frame's outline.
region_seeds="$out/region-seeds"
rm -rf "$region_seeds"
mkdir -p "$region_seeds"
cp "$root"/resources/frames/*.rgn "$region_seeds"/

status=0
run() { # NAME CORPUS SEEDS [libFuzzer options]
    local name=$1 corpus="$out/$2" seedDir=$3
    shift 3
    mkdir -p "$corpus"
    if ! (cd "$out" && "./$name" -max_total_time="$seconds" -print_final_stats=1 "$@" "$corpus" "$seedDir" \
        >"$name.log" 2>&1); then
        tail -n 80 "$out/$name.log"
        echo "fuzz: $name failed; the input is saved in $out (crash-*)" >&2
        status=1
        return
    fi
    grep -E '^(Done|stat::number_of_executed_units|stat::new_units_added)' "$out/$name.log" || true
    echo "fuzz: $name survived ${seconds} s"
}
run parse_wave_fuzz corpus "$seeds" -max_len=4096 -dict="$root/tests/fuzz/wave.dict"
run region_data_fuzz region-corpus "$region_seeds" -max_len=8192
exit $status
