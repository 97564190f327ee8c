#!/usr/bin/env bash
# Makes every picture under docs/screenshots again: each window at its default size from the
# screenshot programs, the report viewer, and pages of the printed documents from PDFs of a demo
# shop. Runs itself under Xvfb when there is no display. Check the pictures by eye afterwards.
set -euo pipefail
if [ -z "${DISPLAY:-}" ]; then
  exec xvfb-run -a -s "-screen 0 1600x1000x24" "$0" "$@"
fi
root=$(cd "$(dirname "$0")/.." && pwd)
build=${BUILD_DIR:-$root/build}
out=$root/docs/screenshots
shots=(shot_requests shot_shipping shot_inventory shot_masterdata shot_longnames orders_screenshots
       purchasing_screenshots)
ninja -C "$build" corvane corvane-mkdb report-viewer-shot "${shots[@]}" >/dev/null
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
export XDG_RUNTIME_DIR=$work

for shot in "${shots[@]}"; do
  echo "$shot"
  "$build/tests/$shot" "$out" 2>/dev/null
done

# The demo shop is made the same way each time, so the first shipment and purchase order exist.
"$build/bin/corvane-mkdb" --demo --today 2026-12-01 "$work/demo.db" >/dev/null
"$build/bin/report-viewer-shot" "$work/demo.db" OpenOrders "$out/report-viewer-open-orders.png"
"$build/bin/report-viewer-shot" "$work/demo.db" ProductionSchedule "$out/report-viewer-schedule-page3.png" 3

page() { # page NAME PAGE DOCUMENT [--arg K=V ...]
  local name=$1 number=$2 doc=$3
  shift 3
  "$build/bin/corvane" --report "$doc" "$@" --pdf "$work/page.pdf" --db "$work/demo.db" >/dev/null
  pdftoppm -r 72 -f "$number" -l "$number" -png -singlefile "$work/page.pdf" "$out/$name"
}
page report-invoice 1 crptInvoice --arg shipment=1
page report-packing-slip 1 crptPackingSlip --arg shipment=1
page report-open-orders 1 crptOpenOrdersReport
page report-open-orders-demo-page2 2 crptOpenOrdersReport
page report-open-invoices 1 crptOpenInvoicesReport --arg asof=2026-12-01
page report-purchase-order 1 crptPurchaseOrder --arg po=1

# A few documents whole, as the program writes them.
for doc in crptInvoice crptPackingSlip crptOpenOrdersReport; do
  args=()
  case $doc in crptInvoice|crptPackingSlip) args=(--arg shipment=1) ;; esac
  "$build/bin/corvane" --report "$doc" "${args[@]}" --pdf "$out/demo/$doc.pdf" --db "$work/demo.db" >/dev/null
  pdftoppm -r 72 -f 1 -l 1 -png -singlefile "$out/demo/$doc.pdf" "$out/demo/$doc-1"
done
echo "pictures written to $out"
