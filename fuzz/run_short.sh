#!/usr/bin/env bash
# Builds the fuzz target (preset "fuzz") and fuzzes whole conversions for a
# bounded time, one job, from the seed corpus: the hand-written seeds, the
# regression inputs, and every real scene of the repository with the switch
# byte '?' (convert everything) in front, and again with DEL (the same in the
# extended mode). Fails on any finding: a crash, a
# sanitizer report, a broken rule, a timeout or running out of memory.
#
#   fuzz/run_short.sh [seconds] [default|extended]     (default: 120 s, both modes)
#
# With a mode, every input is held to it (KESTRUN_FUZZ_MODE sets or clears bit
# 6 of its first byte); a finding is saved as libFuzzer ran it before that, so
# set the bit as the mode says before adding it to tests/data/fuzz-regressions.
# Without libFuzzer, a sanitizer build has build/<preset>/fuzz/convert_mutations,
# which checks the same rules on blind random mutations of the seeds.
#
# New inputs collect in fuzz/corpus/, findings in fuzz/artifacts/ (both ignored by git).
set -euo pipefail
seconds="${1:-120}"
if [[ -n "${2:-}" ]]; then export KESTRUN_FUZZ_MODE="$2"; fi
cd "$(dirname "$0")/.."

cmake --preset fuzz >/dev/null
cmake --build --preset fuzz

corpus=fuzz/corpus${KESTRUN_FUZZ_MODE:+-$KESTRUN_FUZZ_MODE}
artifacts=fuzz/artifacts
mkdir -p "$corpus" "$artifacts"
for scene in tests/data/ase-corpus/*.ase tests/data/ase-corpus/*.ASE tests/data/extended/*.ase tests/data/cases/*.ase \
  examples/*.ase; do
  # Inputs are cut at -max_len anyway; the large scenes give their first 64 KiB.
  # '?' converts everything in the default mode, DEL (0x7F) in the extended mode.
  name="$(basename "$(dirname "$scene")")-$(basename "$scene")"
  { printf '?'; head -c 65535 "$scene"; } >"$corpus/seed-$name"
  { printf '\177'; head -c 65535 "$scene"; } >"$corpus/seed-extended-$name"
done

before=$(find "$artifacts" -type f | wc -l)
status=0
build/fuzz/fuzz/convert_fuzzer "$corpus" fuzz/seeds tests/data/fuzz-regressions \
  -dict=fuzz/ase.dict -max_len=65536 -timeout=10 -rss_limit_mb=2048 \
  -max_total_time="$seconds" -print_final_stats=1 -artifact_prefix="$artifacts/" || status=$?
after=$(find "$artifacts" -type f | wc -l)
if [[ $status -ne 0 || $after -ne $before ]]; then
  echo "fuzzing found a fault (exit status $status); the input is in $artifacts/" >&2
  exit 1
fi
echo "fuzzing: no finding in ${seconds}s"
