#!/usr/bin/env bash
# Remakes the window's translation template po/vimbrel.pot from the texts
# marked for translation in the window's sources (_() and wxTRANSLATE), the
# dialog templates (wxrc --gettext) and the project's description, then
# merges it into po/zh_CN.po and po/en.po. The catalogs' source language is
# Chinese: zh_CN.po gives every text as it stands (msgen), en.po the English,
# kept by hand; a new text shows there untranslated until it is given.
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
cd "$top"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

wxrc --gettext --output="$work/templates.cpp" res/*.xrc
# The description the About box shows, as CMakeLists.txt names it.
description=$(sed -n 's/^ *DESCRIPTION "\(.*\)"$/\1/p' CMakeLists.txt)
printf '_("%s")\n' "$description" >"$work/description.cpp"

sources=$(git ls-files 'app/*.cpp' 'operations_ui/*.cpp' 'controls_ui/*.cpp' | sort)
# Paths in the template as the repository names them, not the scratch folder.
(cd "$work" && cp templates.cpp description.cpp "$top/po/" )
trap 'rm -rf "$work" "$top/po/templates.cpp" "$top/po/description.cpp"' EXIT
xgettext --from-code=UTF-8 --language=C++ -k_ -kwxTRANSLATE --add-comments=TRANSLATORS: \
  --package-name=vimbrel --no-location --no-wrap --sort-output \
  -o po/vimbrel.pot $sources po/templates.cpp po/description.cpp
sed -i 's/charset=CHARSET/charset=UTF-8/' po/vimbrel.pot

if [[ -f po/zh_CN.po ]]; then
  msgmerge --quiet --no-location --no-wrap --sort-output -U --backup=none po/zh_CN.po po/vimbrel.pot
fi
msgen --no-location --no-wrap --sort-output --lang=zh_CN -o po/zh_CN.po po/vimbrel.pot
# Its header as a finished catalog's, not the template's placeholders.
sed -i -e '1i # The window'"'"'s texts in Chinese, as they stand: the source language.' -e '1,/^$/{/^#/d}' \
  -e 's/^"Language: .*$/"Language: zh_CN\\n"/' -e 's/^"Last-Translator: .*$/"Last-Translator: Vimbrel\\n"/' \
  -e 's/^"Language-Team: .*$/"Language-Team: none\\n"/' \
  -e 's/^"PO-Revision-Date: .*$/"PO-Revision-Date: '"$(date -u +%Y-%m-%d)"' 00:00+0000\\n"/' po/zh_CN.po
if [[ -f po/en.po ]]; then
  msgmerge --quiet --no-location --no-wrap --sort-output -U --backup=none po/en.po po/vimbrel.pot
else
  msginit --no-translator --locale=en_US.UTF-8 -i po/vimbrel.pot -o po/en.po
fi
