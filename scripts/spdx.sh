#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Gives every source file of the project its licence line, "SPDX-License-Identifier:
# GPL-3.0-or-later", in the file's own comment syntax: as the first line, or the second where the
# first has to stay first (a #! line, an XML declaration, the resource script's #pragma).
# Idempotent: files that have the line are left alone. Data, pictures, generated files and files
# whose format has no comments are skipped.
#   bash scripts/spdx.sh          add the line where it is missing
#   bash scripts/spdx.sh --check  only list the files without it; exit 1 if there are any
# Files are those git knows of (tracked, and new ones not ignored).
set -euo pipefail
here=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
cd "$here"

check=0
[[ ${1:-} == --check ]] && check=1
if ! git rev-parse --is-inside-work-tree >/dev/null 2>&1; then
    echo "SKIP: $here is not a git work tree"
    exit 77
fi
id="SPDX-License-Identifier: GPL-3.0-or-later"

# Sets line to the licence line of a file: empty for a file that does not carry one, "?" for a
# kind of file without a rule here.
line_for() {
    line=
    case $1 in
        # Data and pictures; the texts whose format leaves no room for a comment (the licence
        # itself, Debian's copyright and changelogs); the CI entry point.
        LICENSE | packaging/copyright | packaging/changelog*.in | .ci/*) ;;
        tests/data/* | fuzz/corpus/* | docs/screenshots/*) ;;
        *.png | *.jpg | *.bmp | *.ico | *.cur | *.rtf | *.krm) ;;
        *.cpp | *.h | *.h.in | *.rc.in) line="// $id" ;;
        CMakeLists.txt | */CMakeLists.txt | *.cmake | *.sh | *.supp | .gitignore | *.desktop | \
            packaging/lintian-overrides | scripts/*) line="# $id" ;;
        *.xml | *.xml.in | *.md) line="<!-- $id -->" ;;
        *.1.in) line=".\\\" $id" ;;
        *) line="?" ;;
    esac
}

missing=()
unknown=()
while IFS= read -r -d '' file; do
    [[ -f $file && ! -L $file ]] || continue
    line_for "$file"
    [[ -z $line ]] && continue
    if [[ $line == "?" ]]; then
        unknown+=("$file")
        continue
    fi
    { IFS= read -r first || true; IFS= read -r second || true; } <"$file"
    at=1
    [[ $first == '#!'* || $first == '<?xml'* || $first == '#pragma code_page'* ]] && at=2
    ((at == 1)) && [[ $first == "$line" ]] && continue
    ((at == 2)) && [[ $second == "$line" ]] && continue
    missing+=("$file")
    ((check)) && continue
    if ((at == 1)); then
        { printf '%s\n' "$line"; cat "$file"; } >"$file.spdx"
    else
        { head -n1 "$file"; printf '%s\n' "$line"; tail -n +2 "$file"; } >"$file.spdx"
    fi
    chmod --reference="$file" "$file.spdx"
    mv "$file.spdx" "$file"
done < <(git ls-files -z --cached --others --exclude-standard)

if ((${#unknown[@]})); then
    echo "No rule for these kinds of file in scripts/spdx.sh; left alone:" >&2
    printf '  %s\n' "${unknown[@]}" >&2
fi
((${#missing[@]})) || exit 0
if ((check)); then
    echo "Without the line \"$id\" (bash scripts/spdx.sh adds it):"
    printf '  %s\n' "${missing[@]}"
    exit 1
fi
echo "Added the licence line to:"
printf '  %s\n' "${missing[@]}"
