#!/bin/sh
# The flight report's pages as PNG files at 100 %, for looking at what the report prints:
# the first flight of the bundled sample (OUT/report-1.png ...) and a generated ten-hour flight
# of four monitors with a mixture sweep on each (OUT/report-long-1.png ...), both under limits
# that the flights exceed.  Usage: tools/report_pages.sh BUILD_DIR SAMPLE
set -eu
build=$1 sample=$2
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
limits() {
	printf '[Limits]\r\nRpmMax=2650\r\nOilPressureMin=2.72\r\nOilTempMax=80\r\nChtMax=180\r\nEgtMax=735\r\nEgtSpreadMax=30\r\n'
	for m in 1 2 3 4; do
		printf '[ZEDA%s]\r\n' "$m"
		for i in 0 1 2 3 4 5 6 7 8 9 10 11; do printf 'TC%s=%s\r\n' "$i" $((i / 4)); done
	done
}
page() {  # FOLDER NAME
	flight=$(ls "$1/Flights_INT" | sort | head -n 1)
	"$build/krelby-cli" report "$1/Flights_INT/$flight" -o "$build/$2.pdf" --folder "$1" --paper a4 -q
	rm -f "$build/$2"-*.png
	pdftoppm -png -r 100 "$build/$2.pdf" "$build/$2"
}
mkdir "$work/sample" "$work/long"
"$build/krelby-cli" import "$sample" --folder "$work/sample" -q
limits > "$work/sample/Krelby.INI"
page "$work/sample" report
"$build/krelby-gen" "$work/long.DAT" --flights 1 --seconds 36000 --monitors 4 --sweep 4 > /dev/null
"$build/krelby-cli" import "$work/long.DAT" --folder "$work/long" -q
limits > "$work/long/Krelby.INI"
page "$work/long" report-long
echo "Saved $build/report-*.png and $build/report-long-*.png"
