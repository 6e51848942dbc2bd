# Throughput by document and contender, from the data report.py writes.
# Call with: gnuplot -e "writedata='...'; readdata='...'; [colddata='...';] output='...'" throughput.gp
# The third panel, cold writes, is drawn when colddata is given.
panels = exists("colddata") ? 3 : 2
set terminal svg size 1000,(panels * 380) dynamic font "sans,11" background "white"
set output output
set multiplot layout panels,1 title "JSON throughput (MB/s of document text, higher is better)"
set style data histograms
set style histogram clustered gap 1
set style fill solid 0.85 border -1
set boxwidth 0.9
set grid ytics
set logscale y
set yrange [10:*]
set ylabel "MB/s (log scale)"
set key outside right top vertical
set title "Writing a timeline (warm heap)"
plot for [col=2:*] writedata using col:xtic(1) title columnheader(col)
set title "Reading a timeline (parse + conversion into the model; parse and conversion alone; the model copy floor)"
plot for [col=2:*] readdata using col:xtic(1) title columnheader(col)
if (exists("colddata")) {
    set title "Cold write: the first write of a fresh process (CPU time)"
    plot for [col=2:*] colddata using col:xtic(1) title columnheader(col)
}
unset multiplot
