#!/usr/bin/env bash
# Builds the benchmarks of a revision in a worktree of its own beside those of
# the working tree and runs both, one benchmark after the other, so that a
# change is measured against what it changes on the same machine in the same
# minutes. Each benchmark's own tables (ours against its peer) are printed for
# the revision, then for the working tree.
#
#   scripts/bench-compare.sh REV [BENCH...] [-- BENCH-ARGS...]
#
# BENCH names targets in bench/ (default: all but the soak run). BENCH-ARGS
# go to every benchmark, e.g. -- --benchmark_filter=1048576. The builds are
# RelWithDebInfo, in build-bench/ (the working tree) and build-bench-REV/
# (the revision's worktree and its build, kept for the next comparison).
set -euo pipefail
cd "$(dirname "$0")/.."

if [[ $# -lt 1 || $1 == -h || $1 == --help ]]; then
  sed -n '2,13p' "$0" | sed 's/^# \{0,1\}//'
  exit 2
fi
rev=$1
shift
benches=()
while [[ $# -gt 0 && $1 != -- ]]; do
  benches+=("$1")
  shift
done
[[ ${1:-} == -- ]] && shift
args=("$@")
if [[ ${#benches[@]} -eq 0 ]]; then
  benches=(scanner_bench layout_bench page_bench table_bench viewer_bench forms_bench
    picture_bench gif_bench jpeg_bench)
fi

commit=$(git rev-parse --verify "$rev^{commit}")
short=$(git rev-parse --short "$commit")
# The revision's worktree and build stay for the next comparison with it
# (git worktree remove build-bench-REV/source drops the worktree).
base=build-bench-$short
tree=$PWD/$base/source
if [[ ! -d $tree ]]; then
  git worktree prune
  git worktree add --detach --quiet "$tree" "$commit"
fi

jobs=$(nproc)
build() {  # build SOURCE BUILD-DIR
  cmake -S "$1" -B "$2" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
  # A benchmark the revision does not have yet is left out of its side.
  local targets=() name
  for name in "${benches[@]}"; do
    grep -q "add_executable($name " "$1/bench/CMakeLists.txt" && targets+=("$name")
  done
  [[ ${#targets[@]} -gt 0 ]] && cmake --build "$2" -j "$jobs" --target "${targets[@]}" >/dev/null
}
echo "building $short in $base/ and the working tree in build-bench/" >&2
build "$tree" "$base/build"
build . build-bench

# Google Benchmark's own lines are left out: each benchmark ends with its
# tables of ours against the peer, which say the same at a glance.
tables() {
  sed 's/\x1b\[[0-9;]*m//g' |
    grep -v -E '^(Benchmark|-{10,}|Run on|Running |CPU Caches|  L[123] |Load Average|\*\*\*WARNING|QStandardPaths|[0-9]{4}-[0-9]{2}-[0-9]{2}T)' |
    grep -v -E '^[A-Za-z][^ ]*(/[^ ]*)? +[0-9.]+ (ns|us|ms|s|%) ' || true
}
run() {  # run LABEL BINARY
  echo "-- $1"
  if [[ -x $2 ]]; then
    "$2" "${args[@]}" 2>&1 | tables
  else
    echo "(no such benchmark here)"
  fi
}
for name in "${benches[@]}"; do
  echo "== $name"
  run "$short" "$base/build/bin/$name"
  run "working tree ($(git rev-parse --short HEAD)$(git diff --quiet HEAD || echo ', changed'))" \
    "build-bench/bin/$name"
done
