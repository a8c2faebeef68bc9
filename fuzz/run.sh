#!/usr/bin/env bash
# Runs every fuzz target for a while: fuzz/run.sh [SECONDS] [TARGET ...]
#   fuzz/run.sh          the smoke run of CI: all targets at once, 60 seconds in all
#   fuzz/run.sh 600      ten minutes per target (the targets run side by side)
# Builds in build-fuzz/ with clang (installed by ./run when missing). Seeds come from the
# tests' fixtures, examples/ and the real samples in ../shared/samples, read where they
# are; the corpus grows in build-fuzz/corpus/TARGET. A finding (crash, hang, leak,
# undefined behaviour, huge allocation, broken invariant) is saved in
# build-fuzz/findings/TARGET/ and fails the run.
set -euo pipefail
cd "$(dirname "$0")/.."
ROOT=$PWD
SECONDS_PER_TARGET=${1:-60}
shift || true
ALL=(fuzz_netlist_readers fuzz_netlist_create fuzz_ansi_lines fuzz_workbook_files fuzz_xls_files fuzz_design_file
     fuzz_session)
TARGETS=("$@")
[ ${#TARGETS[@]} -gt 0 ] || TARGETS=("${ALL[@]}")

./run fuzz-build
B=$ROOT/build-fuzz
SHARED=$ROOT/../shared/samples

# Seeds, gathered afresh each run; files of the first byte's choice get that byte first.
SEEDS=$B/seeds
rm -rf "$SEEDS"
mkdir -p "$SEEDS"/{netlist,create,ansi,workbook,xls,design,session}
seed() {  # seed DIR FILE [PREFIX-BYTE-IN-OCTAL]
  local dir=$1 file=$2 name
  name=$(basename "$file")
  [ -f "$file" ] || return 0
  if [ $# -ge 3 ]; then
    { printf "\\$3"; cat "$file"; } >"$SEEDS/$dir/$3-$name"
  else
    cp "$file" "$SEEDS/$dir/$name"
  fi
}
shopt -s nullglob nocaseglob
for f in tests/*/fixtures/*.net examples/*.net "$SHARED"/*.net; do
  seed netlist "$f"
  seed ansi "$f"
  for i in 0 1 2 3 4 5; do seed create "$f" "$i"; done
done
for f in tests/*/fixtures/*.xlsx examples/*.xlsx; do seed workbook "$f" 0; done
for f in tests/*/fixtures/*.csv examples/*.csv; do seed workbook "$f" 1; done
printf '\001No.,Comment,"Foot, print",Qty\r\n1,10K,R0603,1\r\n2,"a ""b""",,3.5\n' >"$SEEDS/workbook/1-inline.csv"
for f in tests/*/fixtures/*.xls "$SHARED"/*.xls; do seed xls "$f"; done
for f in tests/*/fixtures/*.pcb tests/*/fixtures/*.sch examples/*.pcb examples/*.sch; do
  seed design "$f"
  seed ansi "$f"
done
for f in tests/e2e/*.session examples/*.session; do
  seed session "$f"
  seed ansi "$f"
done
shopt -u nullglob nocaseglob
# Designs nested too deep, texts too long for a cell, merges and column ranges over the
# whole sheet, and sessions that open them (fuzz/beyond_limits.h).
"$B/fuzz/make_fuzz_seeds" "$SEEDS"

seeds_of() {
  case $1 in
    fuzz_netlist_readers) echo netlist ;;
    fuzz_netlist_create) echo create ;;
    fuzz_ansi_lines) echo ansi ;;
    fuzz_workbook_files) echo workbook ;;
    fuzz_xls_files) echo xls ;;
    fuzz_design_file) echo design ;;
    fuzz_session) echo session ;;
    *) echo "unknown fuzz target $1" >&2; exit 2 ;;
  esac
}

# The files the targets write go to memory when the system has a memory file system: on
# a disk, the sync of every saved workbook and the making and removing of the session's
# files cost more than the work on them.
if [ -d /dev/shm ] && [ -w /dev/shm ]; then
  SCRATCH=$(mktemp -d /dev/shm/velmora-fuzz.XXXXXX)
else
  SCRATCH=$B/tmp
fi
trap 'rm -rf "$SCRATCH"' EXIT

echo "fuzzing ${#TARGETS[@]} targets for ${SECONDS_PER_TARGET} s each, side by side"
pids=()
for t in "${TARGETS[@]}"; do
  s=$(seeds_of "$t")
  mkdir -p "$B/corpus/$t" "$B/findings/$t" "$B/logs" "$SCRATCH/$t" "$B/work/$t"
  dict=()
  [ -f "fuzz/$s.dict" ] && dict=(-dict="$ROOT/fuzz/$s.dict")
  # Each target in a folder of its own, with a temporary folder of its own.
  (cd "$B/work/$t" && TMPDIR="$SCRATCH/$t" exec "$B/fuzz/$t" "$B/corpus/$t" "$SEEDS/$s" \
      -max_total_time="$SECONDS_PER_TARGET" -timeout=30 -rss_limit_mb=2048 -print_final_stats=1 \
      -artifact_prefix="$B/findings/$t/" "${dict[@]}" >"$B/logs/$t.log" 2>&1) &
  pids+=($!)
done

failed=0
for k in "${!TARGETS[@]}"; do
  t=${TARGETS[$k]}
  if wait "${pids[$k]}"; then status=ok; else status=FINDING; failed=$((failed + 1)); fi
  runs=$(grep -o 'stat::number_of_executed_units: [0-9]*' "$B/logs/$t.log" | grep -o '[0-9]*$' || echo "?")
  cov=$(grep -o 'cov: [0-9]*' "$B/logs/$t.log" | tail -1 | grep -o '[0-9]*$' || echo "?")
  printf '%-22s %-8s %10s runs  coverage %s\n' "$t" "$status" "$runs" "$cov"
  if [ $status != ok ]; then
    grep -v '^#' "$B/logs/$t.log" | tail -40
    echo "the input is in $B/findings/$t/"
  fi
done
echo "fuzz: $((${#TARGETS[@]} - failed)) passed, $failed failed"
[ $failed -eq 0 ]
