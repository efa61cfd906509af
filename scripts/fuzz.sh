#!/usr/bin/env bash
# Runs one fuzz target with libFuzzer, in one process, for a number of seconds:
#   scripts/fuzz.sh TARGET [SECONDS] [LIBFUZZER_OPTION...]
# TARGET: cef_archive, command_line, config_record, event_table or sector_stream; SECONDS
# defaults to 60.
# Builds the fuzz preset (clang, ASan, UBSan, assertions on) and starts from the checked-in corpus.
# New inputs go to build/fuzz/corpus/TARGET, never into fuzz/corpus; a crash, leak, timeout
# (10 s per input) or UBSan report stops the run and leaves its input in build/fuzz/crashes/TARGET.
# A reproducer replays with build/fuzz/fuzz/TARGET_fuzz FILE; once fixed, it joins fuzz/corpus.
set -euo pipefail
cd "$(dirname "${BASH_SOURCE[0]}")/.."
target=${1:?usage: scripts/fuzz.sh TARGET [SECONDS] [LIBFUZZER_OPTION...]}
seconds=${2:-60}
shift $(($# < 2 ? $# : 2))
[ -f "fuzz/${target}_fuzz.cpp" ] || { echo "fuzz.sh: no fuzz target $target" >&2; exit 2; }
cmake --preset fuzz >/dev/null
cmake --build --preset fuzz --target "${target}_fuzz"
# Absolute paths: the command-line target works in a sandbox folder of its own.
scratch=$PWD/build/fuzz/corpus/$target
artifacts=$PWD/build/fuzz/crashes/$target
mkdir -p "$scratch" "$artifacts"
# Sector streams and event chains need room for a few sectors more than the seeds hold.
max_len=4096
case $target in sector_stream | event_table) max_len=8192 ;; esac
exec "build/fuzz/fuzz/${target}_fuzz" "$scratch" "$PWD/fuzz/corpus/$target" \
    -max_total_time="$seconds" -timeout=10 -max_len="$max_len" -print_final_stats=1 \
    -artifact_prefix="$artifacts/" "$@"
