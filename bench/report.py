#!/usr/bin/env python3
"""Ratio tables and chart data from one Google Benchmark JSON run.

Usage: report.py RESULTS.json OUTDIR [COLD.jsonl [THREADS.jsonl [MEMORY.jsonl]]]

Prints Markdown tables of ratios (ours against each contender, each figure
the median of the run's repetitions, on CPU time) and writes write.dat and
read.dat (MB/s by document and contender) into OUTDIR for throughput.gp.
COLD.jsonl holds one line per cold write (orv-timeline-json-cold, one
process each); their medians make the cold table and cold.dat. THREADS.jsonl
holds orv-timeline-json-threads lines: the table of reading on several threads;
MEMORY.jsonl those of orv-timeline-json-write-memory.
"""
import json
import statistics
import sys

WORKLOADS = ["small", "medium", "large", "escape", "uuid", "generated"]
WRITERS = ["Ours", "RapidJson", "JsonCppPrebuilt", "JsonCppBuildWrite", "NlohmannBuildDump"]
READERS = ["JsonCppParseOursConvert", "RapidJsonDom", "Nlohmann", "JsonCppParse", "OursConvert", "ModelCopy",
           "TextToModel", "TextToModelInPlace"]
# The library's text reader (bench/TextReaders.cpp).
TEXT_READER = "TextToModel"
COLD_WRITERS = [("ours", "Ours"), ("rapidjson", "RapidJSON")]


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

    writes = [("RapidJson", 2, "RapidJSON Writer (>= 2)"),
              ("JsonCppPrebuilt", 8, "jsoncpp writing a pre-built value (>= 8)"),
              ("JsonCppBuildWrite", 15, "jsoncpp build + write (>= 15)"),
              ("NlohmannBuildDump", None, "nlohmann ordered_json build + dump")]
    for contender, target, label in writes:
        values = []
        for w in WORKLOADS:
            values.append(cell(ratio(mbps("Write", "Ours", w), mbps("Write", contender, w)), target))
        line(f"Write: ours / {label}", values)
    line("Write: TakeStream time / plain write time (two copies)",
         [cell(ratio(cpu("Write", "OursTakeStream", w), cpu("Write", "Ours", w))) for w in WORKLOADS])
    line("Write: TakeString time / plain write time (one copy)",
         [cell(ratio(cpu("Write", "OursTakeString", w), cpu("Write", "Ours", w))) for w in WORKLOADS])
    line("Write: escape-heavy MB/s / medium MB/s (>= 0.5)",
         [cell(ratio(mbps("Write", "Ours", "escape"), mbps("Write", "Ours", "medium")), 0.5) if w == "escape" else ""
          for w in WORKLOADS])
    line("Read: our conversion time / jsoncpp parse time (<= 0.15)",
         [cell(ratio(cpu("Read", "OursConvert", w), cpu("Read", "JsonCppParse", w)), 0.15, False)
          for w in WORKLOADS])
    for contender, label in [("RapidJsonDom", "RapidJSON DOM + conversion"), ("Nlohmann", "nlohmann parse + conversion")]:
        line(f"Read: jsoncpp parse + ours / {label} (throughput)",
             [cell(ratio(mbps("Read", "JsonCppParseOursConvert", w), mbps("Read", contender, w))) for w in WORKLOADS])
    line("Read: model copy time / jsoncpp parse + conversion time (the floor)",
         [cell(ratio(cpu("Read", "ModelCopy", w), cpu("Read", "JsonCppParseOursConvert", w)), None)
          for w in WORKLOADS])
    # The large document of the targets is the one with UUID identifiers.
    text_targets = {"uuid": 15, "medium": 12}
    for reference, label in [("JsonCppParseOursConvert", "jsoncpp parse + conversion, tree freed"),
                             ("JsonCppParseOursConvertKept", "jsoncpp parse + conversion, tree kept")]:
        line(f"Read: text to model / {label} (>= 15 uuid, >= 12 medium)",
             [cell(ratio(cpu("Read", reference, w), cpu("Read", TEXT_READER, w)), text_targets.get(w))
              for w in WORKLOADS])
    for reader in [TEXT_READER, "TextToModelInPlace"]:
        line(f"Read: {reader} time / model copy time (<= 3 on uuid)",
             [cell(ratio(cpu("Read", reader, w), cpu("Read", "ModelCopy", w)), 3 if w == "uuid" else None, False)
              for w in WORKLOADS])

    print()
    print("| Figure | " + " | ".join(WORKLOADS) + " |")
    print("|" + "---|" * (len(WORKLOADS) + 1))
    line("Document size (bytes)", [str(context.get(f"bytes_{w}", "n/a")) for w in WORKLOADS])
    for kind, who in [("Write", "Ours"), ("Write", "RapidJson"), ("Read", "OursConvert"), ("Read", "JsonCppParse"),
                      ("Read", "JsonCppParseOursConvert"), ("Read", "ModelCopy"), ("Read", TEXT_READER),
                      ("Read", "TextToModelInPlace")]:
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

    if len(sys.argv) > 3:
        cold_report(sys.argv[3], outdir)
    if len(sys.argv) > 4:
        threads_report(sys.argv[4])
    if len(sys.argv) > 5:
        memory_report(sys.argv[5])

    for kind, contenders, name in [("Write", WRITERS, "write.dat"), ("Read", READERS, "read.dat")]:
        # A contender without figures (the text reader, until it exists) is left out of the chart.
        contenders = [who for who in contenders if any(mbps(kind, who, w) for w in WORKLOADS)]
        with open(f"{outdir}/{name}", "w") as data:
            data.write("document " + " ".join(contenders) + "\n")
            for w in WORKLOADS:
                values = [mbps(kind, who, w) for who in contenders]
                data.write(w + " " + " ".join("NaN" if v is None else f"{v:.1f}" for v in values) + "\n")


def cold_report(path, outdir):
    """Medians of the cold writes by writer, document and state."""
    samples = {}
    with open(path) as handle:
        for text in handle:
            if text.strip():
                row = json.loads(text)
                samples.setdefault((row["writer"], row["document"], row["state"]), []).append(row)
    cases = sorted({(d, s) for (_, d, s) in samples}, key=lambda c: (c[1] != "fresh", WORKLOADS.index(c[0])))
    if not cases:
        return

    def median(writer, case, field):
        rows = samples.get((writer, *case))
        return statistics.median(r[field] for r in rows) if rows else None

    def rate(writer, case, field):
        seconds, size = median(writer, case, field), median(writer, case, "bytes")
        return None if not seconds else size / seconds / 1e6

    runs = min(len(rows) for rows in samples.values())
    print()
    print(f"Cold writes: one write per fresh process, medians of {runs} processes each")
    print()
    print("| Cold write | " + " | ".join(f"{d}, {s}" for d, s in cases) + " |")
    print("|" + "---|" * (len(cases) + 1))

    def line(label, values):
        print(f"| {label} | " + " | ".join(values) + " |")

    line("Ours / RapidJSON, CPU time (>= 1)",
         [cell(ratio(rate("ours", c, "cpu_seconds"), rate("rapidjson", c, "cpu_seconds")), 1) for c in cases])
    line("Ours / RapidJSON, wall time",
         [cell(ratio(rate("ours", c, "wall_seconds"), rate("rapidjson", c, "wall_seconds"))) for c in cases])
    for writer, label in COLD_WRITERS:
        line(f"{label}: MB/s (CPU time)", [cell(rate(writer, c, "cpu_seconds")) for c in cases])
        line(f"{label}: MB/s (wall time)", [cell(rate(writer, c, "wall_seconds")) for c in cases])
        line(f"{label}: page faults", [f"{median(writer, c, 'page_faults'):.0f}" for c in cases])
    with open(f"{outdir}/cold.dat", "w") as data:
        data.write("document " + " ".join(label for _, label in COLD_WRITERS) + "\n")
        for c in cases:
            values = [rate(writer, c, "cpu_seconds") for writer, _ in COLD_WRITERS]
            data.write(f"{c[0]}/{c[1]} " + " ".join("NaN" if v is None else f"{v:.1f}" for v in values) + "\n")


def threads_report(path):
    """Documents read per second with 1 to N threads, each reading its own copy."""
    rows = []
    with open(path) as handle:
        rows = [json.loads(text) for text in handle if text.strip()]
    if not rows:
        return
    print()
    print("Reading on several threads at once (text to model, each thread its own document)")
    print()
    print("| Document | Threads | Documents/s | MB/s | Per thread | Speed-up over one thread |")
    print("|---|---|---|---|---|---|")
    single = {r["document"]: r["documents_per_second"] for r in rows if r["threads"] == 1}
    for r in rows:
        speedup = ratio(r["documents_per_second"], single.get(r["document"]))
        print(f"| {r['document']} | {r['threads']} | {r['documents_per_second']:.1f} | "
              f"{r['documents_per_second'] * r['bytes'] / 1e6:.0f} | {r['per_thread']:.1f} | {cell(speedup)} |")


def memory_report(path):
    """Peak resident memory while a large timeline is written (orv-timeline-json-write-memory)."""
    with open(path) as handle:
        rows = [json.loads(text) for text in handle if text.strip()]
    if not rows:
        return
    print()
    print(f"Writing a {rows[0]['document_mb']:.0f} MB document (model: {rows[0]['model_rss_mb']:.0f} MB resident)")
    print()
    print("| Way | Peak resident memory (MB) | Above the model (MB) |")
    print("|---|---|---|")
    for r in rows:
        label = {"file": "WriteJsonFile, a buffer at a time", "memory": "into a Stringer, then TakeString"}[r["way"]]
        print(f"| {label} | {r['peak_rss_mb']:.1f} | {r['peak_above_before_mb']:.1f} |")


if __name__ == "__main__":
    main()
