#!/bin/sh
# Each language's part of the manual holds its three pictures of the
# windows: the pages before the Japanese title three images, the pages from
# it three more.
#   check_pictures.sh Sundrel.pdf
set -eu
pdf=$1
pages=$(pdfinfo "$pdf" | sed -n 's/^Pages: *//p')
ja=
p=1
while [ "$p" -le "$pages" ]; do
  if pdftotext -f "$p" -l "$p" -enc UTF-8 "$pdf" - | grep -q 'Sundrel 説明書'; then ja=$p; break; fi
  p=$((p + 1))
done
[ -n "$ja" ] || { echo "no page with the Japanese title"; exit 1; }
images() { pdfimages "$@" -list "$pdf" | awk 'NR > 2 && $3 == "image"' | wc -l; }
en=$(images -l $((ja - 1)))
jp=$(images -f "$ja")
echo "English part: $en pictures, Japanese part (from page $ja): $jp pictures"
[ "$en" -eq 3 ] && [ "$jp" -eq 3 ]
