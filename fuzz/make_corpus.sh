#!/bin/bash
# Writes the seed corpora fuzz/corpus/<target>/ from files this project makes: a demo suite written by
# build/tools/kvdemo (catalogue, index pages, records, path files, task file, settings store), the
# test pictures of tests/pdf/images, and a few small drawings made here. Run from anywhere after
# scripts/build.sh; the corpora are replaced.
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
top=$(dirname "$here")
kvdemo=${KVDEMO:-$top/build/tools/kvdemo}
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
"$kvdemo" --root "$work/suite" --registry "$work/registry.ini" --quiet
arch=$work/suite/C/KVPAGHE/ARCHIVI
out=$here/corpus
rm -rf "$out" && mkdir -p "$out"/{truetype,image,vector,repository,keysearch,catalogue,settings,extraction}

# Pictures: the first byte picks the format (0 JPEG, 1 BMP, 2 GIF, 3 TGA; +4 with transparency).
i=0
for f in rgb.jpg gray.jpg progressive.jpg bits4.bmp bits24.bmp topdown.bmp plain.gif transparent.gif plain.tga rle.tga; do
  case $f in *.jpg) b=0;; *.bmp) b=1;; *.gif) b=2;; *.tga) b=3;; esac
  (( i % 2 )) && b=$((b + 4))
  { printf "\\x$(printf %02x $b)"; cat "$top/tests/pdf/images/$f"; } > "$out/image/$f"
  i=$((i + 1))
done

# Drawings: the first byte picks the format (0 WMF, 1 EPS, 2 AI).
python3 - "$out/vector" <<'PY'
import struct, sys
d = sys.argv[1]
def rec(fn, *w): return struct.pack('<IH', 3 + len(w), fn) + b''.join(struct.pack('<H', v & 0xFFFF) for v in w)
head = struct.pack('<IH5H', 0x9AC6CDD7, 0, 0, 0, 200, 100, 144) + b'\0' * 6 + struct.pack('<HHH', 1, 9, 0x300) + b'\0' * 12
body = rec(0x020C, 100, 200) + rec(0x02FA, 0, 1, 0, 0x00FF, 0) + rec(0x02FC, 0, 0, 0xFF, 0) + rec(0x012D, 0) \
     + rec(0x0324, 3, 0, 0, 100, 0, 0, 100) + rec(0x041B, 60, 50, 40, 30) + rec(0x0418, 100, 200, 0, 0) + rec(0, )
open(d + '/triangle.wmf', 'wb').write(b'\x00' + head + body)
ps = b'%!PS-Adobe-3.0 EPSF-3.0\n%%BoundingBox: 0 0 100 50\n0 0 m\n100 0 l\n50 50 l\nh\n0.5 g\nf\n1 0 0 RG\n2 w\n0 0 m 100 50 l S\n10 10 20 20 re\nB\nshowpage\n%%EOF\n'
open(d + '/box.eps', 'wb').write(b'\x01' + ps)
open(d + '/atend.eps', 'wb').write(b'\x01%!PS\r%%BoundingBox: (atend)\r1 2 m\r3 4 l\rS\r%%Trailer\r%%BoundingBox: 10 20 110 70\r')
open(d + '/drawing.ai', 'wb').write(b'\x02%!PS-Adobe-3.0\n%%BoundingBox: 0 0 40 40\n0 0 m\n40 40 L\n0 40 40 0 40 40 c\nS\n')
PY

# A TrueType header with no tables; tools/fuzz adds a real font at run time.
printf '\x00\x01\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00' > "$out/truetype/empty-directory.ttf"

# Records: descriptor choice, block index, then the bytes of a company and of an employee record.
{ printf '\x01\x00'; head -c 600 "$arch/SLDITTE.DAT"; } > "$out/repository/company"
{ printf '\x00\x02'; head -c 1200 "$arch/SLDIPEND.DAT"; } > "$out/repository/employee"
{ printf '\xc8\x01DIPX$,00005,04,3,0,Q100'; head -c 64 "$arch/SLDIPEND.DAT"; } > "$out/repository/own-descriptor"

# Key search: the key, then the index file (present, absent and past the last key).
{ printf '0010000001'; cat "$arch/SLDIPIDX.DAT"; } > "$out/keysearch/found"
{ printf '0010000999'; cat "$arch/SLDIPIDX.DAT"; } > "$out/keysearch/missing"
{ printf '9999999999'; head -c 4352 "$arch/SLDIPIDX.DAT"; } > "$out/keysearch/short"

cp "$arch/SLBASE.DAT" "$out/catalogue/SLBASE.DAT"
head -c 1580 "$arch/SLBASE.DAT" > "$out/catalogue/first-twenty"

# Extraction: the list's record length choice (0: 200), the list, "|||\n", then the company archive
# with records cut to the 1460 bytes the harness's catalogue gives them (the name and T003 lie there).
companies() {
  for c in $(seq 1 "$1"); do dd if="$arch/SLDITTE.DAT" bs=1460 count=1 skip=$(((c - 1) * 6483)) iflag=skip_bytes status=none; done
}
{ printf '\x00'; cat "$arch/SLESTRAZ.DAT"; printf '|||\n'; companies 4; } > "$out/extraction/suite"
{ printf '\x00'; head -c 400 "$arch/SLESTRAZ.DAT"; printf '|||\n'; companies 1; } > "$out/extraction/missing-company"
{ printf '\x01'; head -c 420 "$arch/SLESTRAZ.DAT"; printf '|||\n'; companies 2; } > "$out/extraction/short-records"
printf '\x00|||\n' > "$out/extraction/no-extraction"
# Choice 4: company records of 40 bytes, twelve companies listed backwards, company 3 twice.
{
  printf '\x04'; for c in $(seq 12 -1 1) 3; do printf '%03d%07d' "$c" "$c"; done; printf '%70s|||\n' ''
  for c in $(seq 1 12); do printf '  %03d%-30s%5s' "$c" "DITTA NUMERO $c" ''; done
} > "$out/extraction/small-companies"

# Settings: registry INI, SLPERARK.SLP, SLPERPRO.SLP, task file, installation record, at "|||\n".
suite=$work/suite/C
sep='|||'
for variant in registry files; do
  {
    if [ $variant = registry ]; then sed 's/KVPAGHE/KVS/g' "$work/registry.ini"; fi
    printf '%s\n' "$sep"; sed 's/KVPAGHE/KVS/g' "$suite/RARADADE/SLPERARK.SLP"
    printf '%s\n' "$sep"; sed 's/KVPAGHE/KVS/g' "$suite/RARADADE/SLPERPRO.SLP"
    printf '%s\n' "$sep"; cat "$suite/KVSTASK/KVSTASK.INI"
    printf '%s\n' "$sep"; cat "$arch/SLINSTAL.DAT"
  } > "$out/settings/$variant"
done
du -sh "$out"
