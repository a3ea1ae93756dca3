#!/usr/bin/env bash
# Runs every test: the Windows side (unit tests and end-to-end scripts under
# Wine) and the native side (lesson tool, pure cores); ends with the summaries.
set -uo pipefail
cd "$(dirname "$0")/.."
status=0
echo "== Windows modules (under Wine)"
ctest --test-dir "${1:-build/x64}" --output-on-failure --timeout 600 2>&1 | tee build/ctest-win.log || status=1
echo "== Native tools"
ctest --test-dir build/native --output-on-failure --timeout 600 2>&1 | tee build/ctest-native.log || status=1
echo "== Summary"
for f in build/ctest-win.log build/ctest-native.log; do
  printf '%-26s %s\n' "$(basename "$f" .log):" "$(grep -E 'tests passed|No tests were found' "$f" | tail -1)"
done
exit $status
