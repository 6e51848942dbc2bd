#!/usr/bin/env python3
"""Ratio table and chart data from one Google Benchmark JSON run.

Usage: report.py RESULTS.json OUTDIR

Prints a Markdown table of ratios (ours against each contender, each figure
the median of the run's repetitions, on CPU time) and writes write.dat and
read.dat (MB/s by document and contender) into OUTDIR for throughput.gp.
"""
import json
import sys

WORKLOADS = ["small", "medium", "large", "escape"]
WRITERS = ["Ours", "RapidJson", "JsonCppPrebuilt", "JsonCppBuildWrite", "NlohmannBuildDump"]
READERS = ["JsonCppParseOursConvert", "RapidJsonDom", "Nlohmann", "JsonCppParse", "OursConvert"]


def load(path):
    with open(path) as handle:
        data = json.load(handle)
    # With repetitions, keep the medians; a single run has only iterations.
    rows = [b for b in data["benchmarks"] if b.get("aggregate_name") == "median"]
    if not rows:
        rows = [b for b in data["benchmarks"] if b.get("run_type", "iteration") == "iteration"]
    results = {}
    for row in rows:
        name = row.get("run_name", row["name"])
        results[name] = row
    return data.get("context", {}), results


def figure(results, kind, contender, workload, field):
    row = results.get(f"{kind}/{contender}/{workload}")
    return None if row is None else row.get(field)


def ratio(a, b):
    return None if a is None or b is None or b == 0 else a / b


def cell(value, target=None, higher_is_better=True):
    if value is None:
        return "n/a"
    text = f"{value:.2f}"
    if target is not None:
        met = value >= target if higher_is_better else value <= target
        text += " ok" if met else " MISSED"
    return text


def main():
    path, outdir = sys.argv[1], sys.argv[2]
    context, results = load(path)
    mbps = lambda kind, who, w: (figure(results, kind, who, w, "bytes_per_second") or 0) / 1e6 or None
    cpu = lambda kind, who, w: figure(results, kind, who, w, "cpu_time")

    header = "| Ratio (target) | " + " | ".join(WORKLOADS) + " |"
    print(header)
    print("|" + "---|" * (len(WORKLOADS) + 1))

    def line(label, values):
        print(f"| {label} | " + " | ".join(values) + " |")

    writes = [("RapidJson", 1.5, "RapidJSON Writer (>= 1.5 on medium, large)"),
              ("JsonCppPrebuilt", 8, "jsoncpp writing a pre-built value (>= 8)"),
              ("JsonCppBuildWrite", 15, "jsoncpp build + write (>= 15)"),
              ("NlohmannBuildDump", None, "nlohmann ordered_json build + dump")]
    for contender, target, label in writes:
        values = []
        for w in WORKLOADS:
            # The RapidJSON target is set for the medium and large documents.
            applies = target is not None and (contender != "RapidJson" or w in ("medium", "large"))
            values.append(cell(ratio(mbps("Write", "Ours", w), mbps("Write", contender, w)),
                               target if applies else None))
        line(f"Write: ours / {label}", values)
    line("Write: TakeStream time / plain write time (one copy)",
         [cell(ratio(cpu("Write", "OursTakeStream", w), cpu("Write", "Ours", w))) for w in WORKLOADS])
    line("Write: escape-heavy MB/s / medium MB/s (>= 0.5)",
         ["", cell(ratio(mbps("Write", "Ours", "escape"), mbps("Write", "Ours", "medium")), 0.5), "", ""])
    line("Read: our conversion time / jsoncpp parse time (<= 0.15)",
         [cell(ratio(cpu("Read", "OursConvert", w), cpu("Read", "JsonCppParse", w)), 0.15, False)
          for w in WORKLOADS])
    for contender, label in [("RapidJsonDom", "RapidJSON DOM + conversion"), ("Nlohmann", "nlohmann parse + conversion")]:
        line(f"Read: jsoncpp parse + ours / {label} (throughput)",
             [cell(ratio(mbps("Read", "JsonCppParseOursConvert", w), mbps("Read", contender, w))) for w in WORKLOADS])

    print()
    print("| Figure | " + " | ".join(WORKLOADS) + " |")
    print("|" + "---|" * (len(WORKLOADS) + 1))
    line("Document size (bytes)", [str(context.get(f"bytes_{w}", "n/a")) for w in WORKLOADS])
    for kind, who in [("Write", "Ours"), ("Write", "RapidJson"), ("Read", "OursConvert"), ("Read", "JsonCppParse")]:
        line(f"{kind} {who}: MB/s", [cell(mbps(kind, who, w)) for w in WORKLOADS])
    for kind, who in [("Write", "Ours"), ("Write", "RapidJson"), ("Write", "JsonCppBuildWrite"),
                      ("Read", "OursConvert"), ("Read", "JsonCppParse")]:
        line(f"{kind} {who}: allocations per document",
             [cell(figure(results, kind, who, w, "allocs_per_doc")) for w in WORKLOADS])
    for kind, who in [("Write", "Ours"), ("Write", "RapidJson"), ("Write", "JsonCppBuildWrite"),
                      ("Write", "NlohmannBuildDump"), ("Read", "JsonCppParseOursConvert"), ("Read", "RapidJsonDom"),
                      ("Read", "Nlohmann")]:
        line(f"{kind} {who}: peak heap (MB)",
             [cell(figure(results, kind, who, w, "peak_heap_MB")) for w in WORKLOADS])

    for kind, contenders, name in [("Write", WRITERS, "write.dat"), ("Read", READERS, "read.dat")]:
        with open(f"{outdir}/{name}", "w") as data:
            data.write("document " + " ".join(contenders) + "\n")
            for w in WORKLOADS:
                values = [mbps(kind, who, w) for who in contenders]
                data.write(w + " " + " ".join("NaN" if v is None else f"{v:.1f}" for v in values) + "\n")


if __name__ == "__main__":
    main()
