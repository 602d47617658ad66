#!/usr/bin/env bash
# Fails with the file and line of every place that clang-format would change.
# Run tools/check-format.sh --fix to reformat instead.
set -euo pipefail
cd "$(dirname "$0")/.."
mapfile -t files < <(find src tools tests bench fuzz \( -name '*.cpp' -o -name '*.h' \) -not -path '*/node_modules/*' | sort)
if [[ "${1:-}" == "--fix" ]]; then
  clang-format -i "${files[@]}"
  exit 0
fi
report="$(mktemp)"
trap 'rm -f "$report"' EXIT
if ! clang-format --dry-run --Werror "${files[@]}" 2>"$report"; then
  grep -E '^[^ ].*:[0-9]+:[0-9]+: (error|warning)' "$report" | sed 's/: error: code should be clang-formatted.*/: not formatted/' >&2
  echo "Formatting: run tools/check-format.sh --fix" >&2
  exit 1
fi
echo "Formatting: clean"
