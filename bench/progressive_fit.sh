#!/bin/sh
# Progressive JPEGs fitted to a screen by the wallpaper's decode path
# (`graphics_bench fit ... --wallpaper`) against vipsthumbnail doing the same
# task, in interleaved rounds (the order alternating), with peak memory and
# the PSNR of each result against a Lanczos reduction of the full-size
# picture (`vips resize --kernel lanczos3`, then the centre cut).
# Usage: bench/progressive_fit.sh GRAPHICS_BENCH WIDTH HEIGHT ROUNDS PHOTO...
# Prints one Markdown table row per photo: median ms and peak MB of both,
# the ratio, and both PSNRs.
set -eu
bench=$1
width=$2
height=$3
rounds=$4
shift 4
for tool in vipsthumbnail vips vipsheader convert compare; do
    command -v "$tool" >/dev/null 2>&1 || { echo "needs $tool" >&2; exit 1; }
done
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

# run OUT CMD...: appends "seconds kilobytes" of one run to OUT
run() {
    _out=$1
    shift
    /usr/bin/time -f "%e %M" -o "$work/time" "$@" >/dev/null 2>&1
    cat "$work/time" >>"$_out"
}
median() {
    sort -n | awk '{v[NR] = $1} END {print (NR % 2) ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2}'
}

echo "| photo | ours ms | vipsthumbnail ms | ours ÷ vips | ours peak MB | vips peak MB | PSNR ours dB | PSNR vips dB |"
echo "|---|---|---|---|---|---|---|---|"
for photo in "$@"; do
    : >"$work/ours"
    : >"$work/vips"
    i=0
    while [ "$i" -lt "$rounds" ]; do
        if [ $((i % 2)) -eq 0 ]; then
            run "$work/ours" "$bench" fit "$photo" "$width" "$height" "$work/ours.bmp" --wallpaper
            run "$work/vips" vipsthumbnail "$photo" -s "${width}x$height" -m centre -o "$work/vips.bmp"
        else
            run "$work/vips" vipsthumbnail "$photo" -s "${width}x$height" -m centre -o "$work/vips.bmp"
            run "$work/ours" "$bench" fit "$photo" "$width" "$height" "$work/ours.bmp" --wallpaper
        fi
        i=$((i + 1))
    done
    # The reference: the whole picture reduced with Lanczos-3 to cover the
    # screen, then the centre cut, as both tools cut.
    read -r pw ph <<EOF
$(vipsheader -f width "$photo") $(vipsheader -f height "$photo")
EOF
    scale=$(awk -v w="$pw" -v h="$ph" -v W="$width" -v H="$height" \
        'BEGIN {s = W / w; if (H / h > s) s = H / h; print s}')
    vips resize "$photo" "$work/reduced.png" "$scale" --kernel lanczos3
    convert "$work/reduced.png" -gravity center -extent "${width}x$height" "$work/reference.png"
    ours_db=$(compare -metric PSNR "$work/ours.bmp" "$work/reference.png" null: 2>&1 || true)
    vips_db=$(compare -metric PSNR "$work/vips.bmp" "$work/reference.png" null: 2>&1 || true)
    ours_ms=$(awk '{print $1 * 1000}' "$work/ours" | median)
    vips_ms=$(awk '{print $1 * 1000}' "$work/vips" | median)
    ours_mb=$(awk '{print $2 / 1024}' "$work/ours" | median)
    vips_mb=$(awk '{print $2 / 1024}' "$work/vips" | median)
    ratio=$(awk -v a="$ours_ms" -v b="$vips_ms" 'BEGIN {printf "%.2f", a / b}')
    printf '| %s | %.0f | %.0f | %s | %.0f | %.0f | %.1f | %.1f |\n' "$(basename "$photo")" \
        "$ours_ms" "$vips_ms" "$ratio" "$ours_mb" "$vips_mb" "$ours_db" "$vips_db"
done
