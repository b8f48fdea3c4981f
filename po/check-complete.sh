#!/usr/bin/env bash
# Fails unless every text of the template has a translation in every
# catalog: none missing (msgcmp), none untranslated or fuzzy (msgfmt
# --statistics), every format matching its source (--check-format).
set -euo pipefail
dir=$(cd "$(dirname "$0")" && pwd)
status=0
for po in "$dir"/zh_CN.po "$dir"/en.po; do
  msgcmp "$po" "$dir/vimbrel.pot" || status=1
  stats=$(LC_ALL=C msgfmt --check-format --statistics -o /dev/null "$po" 2>&1) || status=1
  echo "$(basename "$po"): $stats"
  if [[ $stats == *untranslated* || $stats == *fuzzy* ]]; then status=1; fi
done
exit $status
