#!/usr/bin/env bash
# Times our LV2 plug-in against the delays a user would otherwise pick, in one interleaved run of
# the side-by-side host, and prints ratios to the reference (LSP Artistic Delay Stereo with two taps
# at 250 and 375 ms, feedback 0.5 each, EQ with low and high cut at 4 kHz, dry off). Our plug-in
# runs in the scenarios of lorimane-bench as far as LV2 controls reach them (MIDI notes aside); then
# lorimane-bench times 32- against 128-sample sub-blocks, the bypassed and the quiet tail against the
# default setting.
# It ends with every target ratio and whether it is met.
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

# Our scenarios as LV2 control settings; enumerated ports take their labels.
ours_filters=(-c filter_1_slope 48 -c filter_2_slope 48 -c filter_1_peak 0.7 -c filter_2_peak 0.7
              -c filter_1_freq 2000 -c filter_2_freq 3000 -c delay_l_feedback 0.5 -c delay_r_feedback 0.5
              -c delay_buffer_read_style Stretch)
# Every source kind active, 24 slots, audio-rate XLFOs, envelopes triggered by the input (the host
# sends no notes) and a control automated every block.
ours_heavy=(-c delay_buffer_read_style Stretch -c filter_1_slope 48 -c filter_2_slope 48 -c filter_1_peak 0.7
            -c filter_2_peak 0.7 -c delay_l_feedback 0.6 -c delay_r_feedback 0.6 -c delay_l_cross_feedback 0.3
            -c num_active_xy_controllers 4 -c num_active_xlfos 6 -c num_active_egs 6 -c num_active_efs 4
            -c num_active_midi_sources 10 -c num_active_slots 24 --automate delay_l_pan)
sources=("XLFO 1" "XLFO 2" "XLFO 3" "XLFO 4" "XLFO 5" "XLFO 6" "EG 1" "EG 2" "EG 3" "EG 4" "EG 5" "EG 6"
         "EF 1" "EF 2" "EF 3" "EF 4" "MIDI 1" "MIDI 2" "MIDI 3" "XY 1 Hor" "XY 2 Ver" "XY 3 Hor" "XLFO 1" "EG 1")
targets=("Delay 1 Time" "Delay 2 Time" "Delay 1 Feedback" "Delay 2 Feedback" "Delay 1 Pan" "Delay 2 Pan"
         "Filter 1 Freq" "Filter 2 Freq" "Filter 1 Peak" "Filter 2 Peak" "Filter 1 Pan" "Filter 2 Pan"
         "XLFO 2 Freq" "XLFO 3 Freq" "Delay 1 Offset" "Delay 2 Offset" "Delay 1 Cross Feedback"
         "Delay 2 Cross Feedback" "XLFO 4 Freq" "XLFO 5 Freq" "XLFO 6 Freq" "Filter 1 Freq" "Filter 2 Freq"
         "Delay 1 Time")
for n in 1 2 3 4 5 6; do ours_heavy+=(-c "xlfo_${n}_frequency" $((40 * n)) -c "eg_${n}_triggering" "Normal Input"); done
for s in $(seq 1 24); do
  ours_heavy+=(-c "slot_${s}_source" "${sources[s - 1]}" -c "slot_${s}_target" "${targets[s - 1]}" -c "slot_${s}_level" 0.3)
done

# LSP prepares its delay buffers in a background thread: --settle lets it get there before timing.
out=$(LV2_PATH="$build/lv2:${LV2_PATH:-/usr/lib/lv2}" "$host" --settle 1.5 "$@" \
  --plugin lsp-art-delay-2-taps http://lsp-plug.in/plugins/lv2/art_delay_stereo "${lsp_reference[@]}" \
  --print adt0 --print adt1 \
  --plugin calf-vintage-delay http://calf.sourceforge.net/plugins/VintageDelay \
  --plugin lorimane-default urn:brixholde:lorimane:2 \
  --plugin lorimane-48dB-stretch urn:brixholde:lorimane:2 "${ours_filters[@]}" \
  --plugin lorimane-heavy urn:brixholde:lorimane:2 "${ours_heavy[@]}")
echo "$out"

# Sub-blocks, bypass and the quiet tail, through the host interface, interleaved in one run of their
# own at the same rate and host block as the run above.
rate=48000 block=128
args=("$@")
for ((i = 0; i < ${#args[@]} - 1; ++i)); do
  case "${args[i]}" in --rate) rate=${args[i + 1]} ;; --block) block=${args[i + 1]} ;; esac
done
bench="$build/bench/lorimane-bench"
local_run=""
if [ -x "$bench" ]; then
  local_run=$("$bench" --rate "$rate" --block "$block" --conserve 0 --conserve 2 --passes 5 \
    --scenario bypassed --scenario heavy --scenario tail)
  echo
  echo "$local_run"
fi

ratio() { echo "$out" | awk -v p="$1" '$1 == p { print $NF }'; }
# ns per stereo sample of a scenario with a "ConserveMemory" setting, from the run above.
ns() { echo "$local_run" | awk -v s="$1" -v c="$2" '$1 == s && $4 == c { print $5 }'; }
divide() { awk -v a="$1" -v b="$2" 'BEGIN { if (a != "" && b != "" && b > 0) printf "%.4f", a / b }'; }
verdict() { awk -v r="$1" -v t="$2" 'BEGIN { if (r == "") print "not measured"; else printf "%.3f (target <= %s): %s\n", r, t, (r <= t ? "met" : "MISSED") }'; }
line() { printf '  %-44s%s\n' "$1" "$(verdict "$2" "$3")"; }
echo
echo "targets:"
line "default / Calf Vintage Delay" "$(divide "$(ratio lorimane-default)" "$(ratio calf-vintage-delay)")" 2.0
line "default / LSP" "$(ratio lorimane-default)" 0.3
line "48 dB + peak 0.7 + Stretch / LSP" "$(ratio lorimane-48dB-stretch)" 0.8
line "heavy / LSP" "$(ratio lorimane-heavy)" 1.5
if [ -n "$local_run" ]; then
  line "quiet tail / default" "$(divide "$(ns tail-quiet 0)" "$(ns default 0)")" 0.3
  line "bypassed / default" "$(divide "$(ns bypassed 0)" "$(ns default 0)")" 0.05
  for s in default heavy; do
    r=$(divide "$(ns "$s" 2)" "$(ns "$s" 0)")
    line "32- / 128-sample sub-blocks, $s" "$r" 1.3
    line "ConserveMemory 2 / 0, $s" "$r" 1.1
  done
else
  echo "  sub-blocks, bypass and tail: build $bench to measure them"
fi
