#!/usr/bin/env bash
# Resize soak: starts the built game on a virtual display of its own, changes
# its window size COUNT times with xdotool (each size held HOLD_MS, long
# enough for a full reload by default), then goes back to the first size and
# compares the game's resident memory with what it was after the first load.
# Prints the memory every 100 changes; exits 1 when the end is more than
# LIMIT_MB above the start. Not a test: it takes about ten minutes.
#
#   bash tools/resize-soak.sh [BUILD_DIR] [COUNT] [HOLD_MS] [LIMIT_MB]
#
# Defaults: build-tests, 1000 changes, 550 ms, 50 MB. Needs xvfb-run and
# xdotool (tools/install-deps.sh --tests).
set -euo pipefail
cd "$(dirname "$0")/.."

if [ "${1:-}" != "--on-display" ]; then
  exec xvfb-run -a -s "-screen 0 1920x1080x24" bash "$0" --on-display "$@"
fi
shift
build=$(cd "${1:-build-tests}" && pwd)
count=${2:-1000}
hold_ms=${3:-550}
limit_mb=${4:-50}

game="$build/kestrel-quillons"
if [ ! -x "$game" ] || [ ! -d "$build/data" ]; then
  echo "resize-soak: no built game with its data in $build (build it first)" >&2
  exit 2
fi

# The game keeps its state in a fresh folder, not in the player's own.
work=$(mktemp -d)
ln -s "$build/data" "$work/data"
pid=""
cleanup() {
  if [ -n "$pid" ]; then kill "$pid" 2>/dev/null || true; fi
  rm -rf "$work"
}
trap cleanup EXIT

(cd "$work" && KESTREL_QUILLONS_HOME="$work" ALSOFT_DRIVERS=null exec "$game" >/dev/null) &
pid=$!

rss_mb() { awk '/^VmRSS:/ { printf "%.1f", $2 / 1024 }' "/proc/$pid/status"; }
hold() { sleep "$(awk -v ms="$1" 'BEGIN { printf "%.3f", ms / 1000 }')"; }

win=""
for _ in $(seq 300); do
  win=$(xdotool search --pid "$pid" --name "Kestrel Quillons 1986" 2>/dev/null | head -n 1 || true)
  [ -n "$win" ] && break
  sleep 0.1
done
if [ -z "$win" ]; then
  echo "resize-soak: the game's window did not appear" >&2
  exit 2
fi

# Sizes across the three asset resolutions; consecutive ones always differ.
sizes=(640x480 600x400 800x600 1280x720 960x540 700x500 1024x768 620x360 1300x800 900x620)
first=${sizes[0]}

xdotool windowsize "$win" "${first%x*}" "${first#*x}"
hold 3000
start=$(rss_mb)
peak=$start
echo "start ($first, loaded): RSS $start MB"

for ((i = 1; i <= count; i++)); do
  size=${sizes[$((i % ${#sizes[@]}))]}
  xdotool windowsize "$win" "${size%x*}" "${size#*x}"
  hold "$hold_ms"
  if ! kill -0 "$pid" 2>/dev/null; then
    echo "resize-soak: the game ended after $i size changes" >&2
    exit 1
  fi
  now=$(rss_mb)
  peak=$(awk -v a="$peak" -v b="$now" 'BEGIN { print (b > a) ? b : a }')
  if ((i % 100 == 0)); then echo "after $i size changes: RSS $now MB"; fi
done

xdotool windowsize "$win" "${first%x*}" "${first#*x}"
hold 3000
end=$(rss_mb)
growth=$(awk -v a="$start" -v b="$end" 'BEGIN { printf "%.1f", b - a }')
echo "end ($first, loaded again): RSS $end MB; growth $growth MB (limit $limit_mb MB); peak $peak MB"
if awk -v g="$growth" -v l="$limit_mb" 'BEGIN { exit !(g > l) }'; then
  echo "resize-soak: memory grew by $growth MB over $count size changes" >&2
  exit 1
fi
