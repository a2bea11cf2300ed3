#!/usr/bin/env bash
# Times every benchmark program with the given kavor binary and compares it with its
# Python twin (NAME.py) and, when a Lua interpreter is installed, its Lua twin (NAME.lua).
# Each program runs BENCH_RUNS times (default 3); the table shows the median wall time and
# the largest peak resident memory. It is a report, not a test: every program is run and
# reported, but the script ends with status 1 when a kavor run failed or printed something
# other than its Python twin.
set -u

kavor=$(realpath "${1:-./build/kavor}")
runs=${BENCH_RUNS:-3}
if ! [[ $runs =~ ^[1-9][0-9]*$ ]]; then
  echo "run.sh: BENCH_RUNS must be a positive integer, not '$runs'" >&2
  exit 2
fi
cd "$(dirname "$0")" || exit 2

# The interpreter itself, not a wrapper such as a pyenv shim, whose start-up would be timed.
python=$(python3 -c 'import sys; print(sys.executable)' 2> /dev/null || true)
lua=""
for candidate in lua lua5.4 lua5.3 luajit; do
  if command -v "$candidate" > /dev/null; then
    lua=$(command -v "$candidate")
    break
  fi
done
[[ -x /usr/bin/time ]] && gnu_time=/usr/bin/time || gnu_time=""
if [[ -z $gnu_time && -z $python ]]; then
  echo "run.sh: needs /usr/bin/time or python3 to measure peak memory" >&2
  exit 2
fi

# The programs whose size is the point are written from their generator, not kept as text.
if [[ -n $python && -f generate.py ]]; then
  "$python" generate.py || exit 2
fi

scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT

# measure OUTPUT_FILE COMMAND...: runs the command once with its output in OUTPUT_FILE
# and prints "<wall ms> <peak KB> <exit status>".
measure() {
  local output=$1
  shift
  if [[ -n $gnu_time ]]; then
    local start end status
    start=$(date +%s%N)
    "$gnu_time" -o "$scratch/rss" -f '%M' "$@" > "$output" 2> "$scratch/stderr"
    status=$?
    end=$(date +%s%N)
    echo "$(((end - start) / 1000000)) $(tail -n 1 "$scratch/rss") $status"
  else
    "$python" - "$output" "$@" <<'PYTHON'
import os, subprocess, sys, time
with open(sys.argv[1], "wb") as output:
    start = time.monotonic()
    child = subprocess.Popen(sys.argv[2:], stdout=output, stderr=subprocess.DEVNULL)
    _, status, usage = os.wait4(child.pid, 0)
    elapsed = time.monotonic() - start
code = os.waitstatus_to_exitcode(status)
print(round(elapsed * 1000), usage.ru_maxrss, code if code >= 0 else 128 - code)
PYTHON
  fi
}

# median NUMBER...: the middle value (the mean of the two middle ones for an even count).
median() {
  printf '%s\n' "$@" | sort -n | awk '{v[NR] = $1} END {
    if (NR % 2) print v[(NR + 1) / 2]; else printf "%d\n", (v[NR / 2] + v[NR / 2 + 1]) / 2 }'
}

maximum() {
  printf '%s\n' "$@" | sort -n | tail -n 1
}

ratio() {
  if [[ $1 == - || $2 == - ]]; then echo -; else awk -v a="$1" -v b="$2" \
    'BEGIN { if (b > 0) printf "%.2f\n", a / b; else print "-" }'; fi
}

# bench TAG TOOL FILE: runs FILE with TOOL $runs times; sets ms, kb and statuses and leaves
# the output of every run in $scratch/TAG.<run>.
bench() {
  local tag=$1 tool=$2 file=$3 run wall peak status times=() peaks=()
  statuses=()
  for ((run = 1; run <= runs; run++)); do
    read -r wall peak status < <(measure "$scratch/$tag.$run" "$tool" "$file")
    times+=("$wall")
    peaks+=("$peak")
    statuses+=("$status")
  done
  ms=$(median "${times[@]}")
  kb=$(maximum "${peaks[@]}")
}

echo "kavor:  $kavor"
describe() {
  if [[ -n $2 ]]; then echo "$1 $("$2" "$3" 2>&1 | head -n 1) ($2)"; else echo "$1 not found"; fi
}
describe "python:" "$python" --version
describe "lua:   " "$lua" -v
echo "runs:   $runs per program (median wall time, largest peak memory)"
if [[ -z $gnu_time ]]; then
  # A child's peak memory includes that of the process it was started from, here python.
  read -r _ floor _ < <(measure /dev/null true)
  echo "memory: measured through python3 (no /usr/bin/time): each figure includes ~$floor KB"
fi
echo
format='%-14s %9s %9s %7s %9s %7s %10s %10s  %s\n'
# shellcheck disable=SC2059
printf "$format" program "kavor ms" "python ms" kv/py "lua ms" kv/lua "kavor KB" "python KB" check
failed=0
for program in *.kv; do
  name=${program%.kv}
  notes=()

  bench "$name.kavor" "$kavor" "$program"
  kavor_ms=$ms kavor_kb=$kb
  for ((run = 1; run <= runs; run++)); do
    if [[ ${statuses[run - 1]} != 0 ]]; then
      notes+=("KAVOR EXIT ${statuses[run - 1]} (run $run)")
      failed=1
      break
    fi
  done

  python_ms=- python_kb=-
  if [[ -z $python || ! -f $name.py ]]; then
    notes+=("no python twin")
  else
    bench "$name.python" "$python" "$name.py"
    python_ms=$ms python_kb=$kb
    expected=$scratch/$name.python.1
    for ((run = 1; run <= runs; run++)); do
      if ! cmp -s "$scratch/$name.kavor.$run" "$expected"; then
        notes+=("MISMATCH: kavor output differs from python (run $run)")
        diff "$scratch/$name.kavor.$run" "$expected" | head -n 6 > "$scratch/$name.diff"
        failed=1
        break
      fi
    done
  fi

  lua_ms=-
  if [[ -n $lua && -f $name.lua ]]; then
    bench "$name.lua" "$lua" "$name.lua"
    lua_ms=$ms
    if ! cmp -s "$scratch/$name.lua.1" "$scratch/$name.kavor.1"; then
      notes+=("lua output differs")
    fi
  fi

  ((${#notes[@]})) || notes=(ok)
  # shellcheck disable=SC2059
  printf "$format" "$name" "$kavor_ms" "$python_ms" "$(ratio "$kavor_ms" "$python_ms")" \
    "$lua_ms" "$(ratio "$kavor_ms" "$lua_ms")" "$kavor_kb" "$python_kb" \
    "$(printf '%s; ' "${notes[@]}" | sed 's/; $//')"
  if [[ -f $scratch/$name.diff ]]; then
    sed 's/^/    /' "$scratch/$name.diff"
  fi
done
if ((failed)); then
  echo
  echo "FAILED: at least one kavor run exited non-zero or printed other output than python."
fi
exit "$failed"
