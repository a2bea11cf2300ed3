#!/usr/bin/env bash
# Times every benchmark program with the given kavor binary. Not a test: it only reports.
set -u
kavor=$(realpath "${1:-./build/kavor}")
cd "$(dirname "$0")" || exit 1
for program in *.kv; do
  start=$(date +%s%N)
  "$kavor" "$program" > /dev/null
  status=$?
  end=$(date +%s%N)
  printf '%-16s %6d ms  (status %d)\n' "$program" $(((end - start) / 1000000)) "$status"
done
