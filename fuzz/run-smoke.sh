#!/usr/bin/env bash
# Runs every fuzz target in <builddir>/fuzz for a share of <seconds> (default 60), seeded with
# small generated objects and pictures and, when present, the corpus's object and image
# files (copied to a temporary folder at run time, never into the repository). Exits non-zero
# on any finding; the input that caused it is kept under <builddir>/fuzz/findings/.
set -euo pipefail
builddir="${1:?usage: fuzz/run-smoke.sh <builddir> [seconds]}"
seconds="${2:-60}"
here="$(cd "$(dirname "$0")" && pwd)"
corpus="${TARVOSK_CORPUS_DIR:-$here/../../shared/corpus}"

mapfile -t targets < <(find "$builddir/fuzz" -maxdepth 1 -type f -name 'fuzz_*' -perm -u+x | sort)
if [ ${#targets[@]} -eq 0 ]; then
  echo "no fuzz targets under $builddir/fuzz" >&2
  exit 1
fi
per=$(( seconds / ${#targets[@]} ))
[ "$per" -lt 1 ] && per=1

work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
seeds="$work/seeds"
mkdir -p "$seeds"

# Small generated objects of every format, so each reader's paths are reached at once.
printf 'I\n800\nOBJ\n\nTEXTURE t.png\nTEXTURE_LIT t_LIT.png\nPOINT_COUNTS 3 2 1 5\nVT 0 0 0 0 1 0 0 0\nVT 1 0 0 0 1 0 1 0\nVT 0 1 0 0 1 0 0 1\nVLINE 0 0 0 1 0 0\nVLINE 1 1 1 0 1 0\nVLIGHT 0 2 0 1 1 1\nIDX10 0 1 2 0 1\nATTR_LOD 0 100\nTRIS 0 3\nLINES 3 2\nLIGHTS 0 1\nANIM_begin\nANIM_rotate 0 1 0 0 90 0 1 sim/a\nANIM_trans 0 0 0 1 1 1 0 1 sim/b\nATTR_difuse_rgb 1 0.5 0\nsmoke_black 0 0 0 1\nANIM_end\nATTR_LOD 100 500\nATTR_hard\n' > "$seeds/obj8_small.obj"
printf 'A\r800\r\rOBJ\rPOINT_COUNTS 1 0 0 12\rIDX10 0 0 0 0 0 0 0 0 0 0 0 0\rIDX 0\rTRIS 0 3\r' > "$seeds/obj8_cr.obj"
printf 'I\n700\nOBJ\n\ntex\nATTR_LOD 0 100\nquad_hard\n0 0 0 0 0 1 0 0 1 0 1 1 0 1 1 0 1 0 0 1\nquad_cockpit\n0 0 0 0 0 1 0 0 1 0 1 1 0 1 1 0 1 0 0 1\ntri_strip 5\n0 0 0 0 0 1 0 0 0 0 0 1 0 0 0 1 1 0 0 0 2 2 2 0 0\nquad_strip 5\n0 0 0 0 0 1 0 0 0 0 0 1 0 0 0 1 1 0 0 0 2 2 2 0 0\ntri_fan 2\n0 0 0 0 0 1 1 1 0 0\npolygon 4\n0 0 0 0 0 1 0 0 0 0 1 1 0 0 0 0 1 0 0 0\nlight\n0 1 0 10 10 10\nline\n0 0 0 10 0 0 1 1 1 10 0 0\nshade_flat\nATTR_difuse_rgb 1 2 3\nsmoke_white 1 2 3 4\nquad_movie\n0 0 0 0 0 1 0 0 1 0 1 1 0 1 1 0 1 0 0 1\nend\n' > "$seeds/obj7_small.obj"
printf 'I\n2\ntex\n1 10 0 0\n0 2 0\n2 5 5 5\n0 0 0 1 0 0\n3 0 1 0 1\n0 0 0 1 0 0 0 1 0\n5 0 1 0 1\n0 0 1 1 0 1 1 1 1 0 1 1\n6 0 1 0 1\n0 3 0 1 3 0 1 4 0 0 4 0\n7 0 1 0 1\n0 3 0 1 3 0 1 4 0 0 4 0\n-2\n0 0 0 0 0 1 0 0 1 0 0 1 1 0 1 1 1 1 1 1\n99\n' > "$seeds/obj2_small.obj"

# Real-world files, the small ones only: a short run should spend its time mutating.
if [ -d "$corpus/obj" ]; then
  find "$corpus/obj" -type f -name '*.obj' -size -64k -print0 |
    while IFS= read -r -d '' file; do cp "$file" "$seeds/corpus_$(basename "$file")"; done
else
  echo "corpus not found at $corpus/obj; seeding with generated files only"
fi

# Pictures: a tiny TGA and BMP made here, and the corpus's small images when present.
printf '\0\0\2\0\0\0\0\0\0\0\0\0\2\0\1\0\30\0\377\0\377\1\2\3' > "$seeds/tiny.tga"
printf "# latitude longitude heading airport straight turn after\n47.4647 8.5492 123.4 LSZH 35 -60 10\n-33.9 151.17 359.99 - 0 180 0\n" > "$seeds/plans.stands"
printf 'BM\76\0\0\0\0\0\0\0\66\0\0\0\50\0\0\0\2\0\0\0\1\0\0\0\1\0\30\0\0\0\0\0'\
'\10\0\0\0\0\0\0\0\0\0\0\0\0\0\0\0\0\0\0\0\377\0\377\1\2\3\0\0' > "$seeds/tiny.bmp"
if [ -d "$corpus/images" ]; then
  find "$corpus/images" -type f \( -name '*.png' -o -name '*.tga' -o -name '*.bmp' \) -size -64k -print0 |
    while IFS= read -r -d '' file; do cp "$file" "$seeds/image_$(basename "$file")"; done
fi

# A small aircraft file (CR LF, scientific notation, gear slots with a gap, wing and body
# geometry), so the aircraft reader's paths are reached at once; the corpus's are megabytes.
printf 'I\r\n1200 Version\r\nACF\r\n\r\nPROPERTIES_BEGIN\r\nP acf/_cgY 1.0\r\nP acf/_cgZ 7.1E1\r\nP acf/_m_max 2.2E5\r\nP acf/_num_engn 3\r\nP acf/_tailnum TVK154\r\nP acf/_descrip A trijet\r\nP _gear/0/_gear_type 3\r\nP _gear/0/_gear_x 0.0\r\nP _gear/0/_gear_y -5.6\r\nP _gear/0/_gear_z 13.9\r\nP _gear/0/_leg_len 5.5\r\nP _gear/0/_tire_radius 1.4\r\nP _gear/0/_steerdeg_lospeed 63.0\r\nP _gear/0/_gear_castors 0\r\nP _gear/2/_gear_type 6\r\nP _gear/2/_gear_x 18.8\r\nP _gear/2/_gear_z 74.6\r\nP _gear/2/_tire_radius 1.5\r\nP _wing/0/_semilen_SEG 25.3\r\nP _wing/0/_geo_xyz/0,9,0 -62.4\r\nP _wing/0/_geo_xyz/0,9,2 52.6\r\nP _part/3/_part_z 4.0\r\nP _body/0/_part_z 0.0\r\nP _body/0/_geo_xyz/0,0,2 -8.7\r\nP _body/0/_geo_xyz/19,0,2 128.5\r\nPROPERTIES_END\r\n\r\nPANEL_2D_BEGIN\r\nPANEL_2D_END\r\n' > "$seeds/small.acf"

findings="$builddir/fuzz/findings"
mkdir -p "$findings"
status=0
for target in "${targets[@]}"; do
  name="$(basename "$target")"
  echo "== $name for ${per}s"
  mkdir -p "$work/$name"
  if ! "$target" -max_total_time="$per" -timeout=10 -rss_limit_mb=2048 -max_len=65536 \
       -print_final_stats=1 -artifact_prefix="$findings/$name-" "$work/$name" "$seeds" \
       > "$work/$name.log" 2>&1; then
    echo "FINDING in $name (input kept under $findings):"
    tail -n 60 "$work/$name.log"
    status=1
  else
    grep -E '^stat::number_of_executed_units|^Done' "$work/$name.log" || true
  fi
done
exit $status
