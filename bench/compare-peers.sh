#!/usr/bin/env bash
# Times our LV2 plug-in against the delays a user would otherwise pick, in one interleaved run of
# the side-by-side host, and prints ratios to the reference (LSP Artistic Delay Stereo with two taps
# at 250 and 375 ms, feedback 0.5 each, EQ with low and high cut at 4 kHz, dry off).
#
#   bench/compare-peers.sh [BUILD_DIR] [extra lorimane-lv2-bench options]
#
# The peers come from Debian's calf-plugins and lsp-plugins-lv2; this script installs them when they
# are missing. Nothing in the build or the tests needs them.
set -euo pipefail
build=$(cd "${1:-build/release}" && pwd)
shift || true
host="$build/bench/lorimane-lv2-bench"
[ -x "$host" ] || { echo "compare-peers: build $host first" >&2; exit 2; }

missing=()
for p in calf-plugins lsp-plugins-lv2; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
  SUDO=""; [ "$(id -u)" -eq 0 ] || SUDO="sudo"
  $SUDO apt-get update -qq && DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
fi

lsp_reference=(-c on0 1 -c dadd0 0.25 -c fbe0 1 -c fbg0 0.5 -c fbadd0 0.25
               -c on1 1 -c dadd1 0.375 -c fbe1 1 -c fbg1 0.5 -c fbadd1 0.375
               -c eq0 1 -c lc0 1 -c hc0 1 -c fhc0 4000 -c eq1 1 -c lc1 1 -c hc1 1 -c fhc1 4000
               -c dry_on 0)

# LSP prepares its delay buffers in a background thread: --settle lets it get there before timing.
LV2_PATH="$build/lv2:${LV2_PATH:-/usr/lib/lv2}" "$host" --settle 1.5 "$@" \
  --plugin lsp-art-delay-2-taps http://lsp-plug.in/plugins/lv2/art_delay_stereo "${lsp_reference[@]}" \
  --print adt0 --print adt1 \
  --plugin calf-vintage-delay http://calf.sourceforge.net/plugins/VintageDelay \
  --plugin lorimane-default urn:brixholde:lorimane:2
