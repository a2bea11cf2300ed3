#!/bin/sh
# Runs each fuzz target in turn for the given number of seconds, one process at a time,
# starting from the corpus kept in the repository. New inputs go to a working corpus in the
# build folder; a crash stops the target and leaves its input in <build>/artifacts/.
# Usage: fuzz/run.sh <build folder> <seconds per target> [target ...]
set -eu
build=$1
seconds=$2
shift 2
targets=${*:-"program text_input binary_input"}
here=$(cd "$(dirname "$0")" && pwd)
mkdir -p "$build/artifacts"
for target in $targets; do
  work="$build/corpus/$target"
  mkdir -p "$work"
  dictionary=""
  [ "$target" = program ] && dictionary="-dict=$here/kavor.dict"
  echo "== $target: $seconds s"
  # Programs that loop or allocate without end are the program's choice, not faults: the
  # harness stops long runs itself, and fork mode skips the rest.
  "$build/fuzz/${target}_fuzzer" -fork=1 -ignore_timeouts=1 -ignore_ooms=1 -timeout=20 \
    -rss_limit_mb=3072 -malloc_limit_mb=2048 -max_len=2048 -max_total_time="$seconds" \
    -artifact_prefix="$build/artifacts/$target-" $dictionary "$work" "$here/corpus/$target" </dev/null
done
