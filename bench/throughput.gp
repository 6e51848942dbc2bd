# Throughput by document and contender, from the data report.py writes.
# Call with: gnuplot -e "writedata='...'; readdata='...'; output='...'" throughput.gp
set terminal svg size 1000,760 dynamic font "sans,11" background "white"
set output output
set multiplot layout 2,1 title "JSON throughput (MB/s of document text, higher is better)"
set style data histograms
set style histogram clustered gap 1
set style fill solid 0.85 border -1
set boxwidth 0.9
set grid ytics
set logscale y
set yrange [10:*]
set ylabel "MB/s (log scale)"
set key outside right top vertical
set title "Writing a timeline"
plot for [col=2:6] writedata using col:xtic(1) title columnheader(col)
set title "Reading a timeline (parse + conversion into the model; parse and conversion alone)"
plot for [col=2:6] readdata using col:xtic(1) title columnheader(col)
unset multiplot
