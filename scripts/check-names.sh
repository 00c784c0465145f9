#!/bin/sh
# Fails on names of the older design creeping back: unit-style file names
# ("uMain.cpp"), T-prefixed class names in src/, and numbered component
# names ("Label14", "Timer2") in src/ and tests/.
set -eu
cd "$(dirname "$0")/.."

status=0
report() {
    echo "check-names: $1" >&2
    status=1
}

files=$(git ls-files --cached --others --exclude-standard 2>/dev/null || find . -type f ! -path './.git/*' ! -path './build*' | sed 's|^\./||')

unit_files=$(printf '%s\n' "$files" | grep -E '(^|/)u[A-Z][^/]*$' || true)
[ -z "$unit_files" ] || report "unit-style file names:
$unit_files"

sources() {
    printf '%s\n' "$files" | grep -E "^($1)/.*\.(cpp|h)$" || true
}

t_classes=$(sources src | xargs -r grep -nE '\b(class|struct|union|enum|enum class|enum struct|using|typedef)\s+T[A-Z][A-Za-z0-9_]*' || true)
[ -z "$t_classes" ] || report "T-prefixed class names:
$t_classes"

components='Label|Button|Timer|CheckBox|TabControl|PageControl|ProgressBar|StatusBar|ToolBar|Edit|Memo|Panel|Image|ComboBox|ListBox|ListView|GroupBox|RadioButton|SpeedButton|CoolTrayIcon|PopupMenu|MainMenu|ImageList|TabSheet|Splitter|Bevel|Frame'
numbered=$(sources 'src|tests' | xargs -r grep -nE "\b($components)[0-9]+\b" || true)
[ -z "$numbered" ] || report "numbered component names:
$numbered"

[ "$status" -eq 0 ] && echo "check-names: names are fine"
exit "$status"
