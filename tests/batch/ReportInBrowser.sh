#!/usr/bin/env bash
# Usage: ReportInBrowser.sh PEXOL-CLI SOURCE-DIR [CHROMIUM]
# The batch report in headless Chromium at desktop widths (1280, 1920) and narrower (800, and 500, the narrowest window Chromium makes):
# nothing wider than the window, cut off or on top of something else, every picture shown.
# Exit 77 (skipped) when Chromium is not installed; scripts/install-deps installs it.
set -euo pipefail
cli=$1 source=$2 chromium=${3:-/usr/bin/chromium}
here=$(cd "$(dirname "$0")" && pwd)

if [ ! -x "$chromium" ]; then
  echo "skipped: $chromium is not installed (scripts/install-deps installs the package chromium)"
  exit 77
fi
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
"$here/MakeReportSample.sh" "$cli" "$source" "$work/sample"
out="$work/sample/out"
# The copy, beside the report so that its pictures load, with the measuring script.
{
  sed -n '/<\/body>/q;p' "$out/report.html"
  printf '<script>\n'
  cat "$here/MeasureReport.js"
  printf '</script>\n</body>\n</html>\n'
} >"$out/measured.html"

status=0
for width in 1280 1920 800 500; do
  # --no-sandbox: the tests may run as root, where Chromium's sandbox refuses to start.
  dom=$("$chromium" --headless --no-sandbox --disable-gpu --disable-dev-shm-usage \
    --hide-scrollbars --no-first-run \
    --user-data-dir="$work/profile" --window-size="$width,900" --virtual-time-budget=5000 \
    --dump-dom "file://$out/measured.html" 2>"$work/chromium.log") || true
  verdict=$(printf '%s\n' "$dom" | sed -n '/<pre id="verdict">/,/<\/pre>/p')
  if printf '%s' "$verdict" | grep -q "width $width: CLEAN"; then
    echo "$width px: nothing cut off or overlapping"
  elif [ -z "$verdict" ]; then
    echo "$width px: Chromium gave no verdict" >&2
    tail -5 "$work/chromium.log" >&2
    status=1
  else
    printf '%s\n' "$verdict" >&2
    status=1
  fi
done
exit $status
