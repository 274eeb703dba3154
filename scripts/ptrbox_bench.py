"""The tables of scripts/bench, scripts/bench-checked and scripts/callgrind.

    ptrbox_bench.py merge JSON             joins JSON.d/*.json into JSON
    ptrbox_bench.py report JSON [SVG]      scripts/bench's tables (and chart)
    ptrbox_bench.py checked DIR            scripts/bench-checked's table
    ptrbox_bench.py callgrind DIR          scripts/callgrind's table

The targets of the report are data: docs/targets.tsv, one line each.
"""

import glob
import json
import os
import re
import statistics
import sys

TARGETS_FILE = os.path.join(os.path.dirname(os.path.abspath(__file__)),
                            os.pardir, "docs", "targets.tsv")
TO_NS = {"ns": 1, "us": 1e3, "ms": 1e6, "s": 1e9}
# The phases in the order a workload runs them; others follow by name.
ORDER = ["append", "push", "insert", "walk", "hit", "find", "miss", "pop",
         "remove", "clear"]


def fmt(ns):
    """A time with the largest unit that keeps it at least 1."""
    for unit, scale in (("s", 1e9), ("ms", 1e6), ("µs", 1e3)):
        if ns >= scale:
            return f"{ns / scale:.3g} {unit}"
    return f"{ns:.3g} ns"


def iterations(benchmarks):
    """(benchmark, {measure: ns}) of each iteration run: "time" is its CPU
    time, the others the phases it counted (fields ending in _ns)."""
    for b in benchmarks:
        if b.get("run_type") != "iteration":
            continue
        measures = {"time": b["cpu_time"] * TO_NS[b["time_unit"]]}
        measures.update({k[:-3]: v for k, v in b.items() if k.endswith("_ns")})
        yield b, measures


def split_name(name):
    """workload, side, N of a run name workload/side/N (sides may hold /)."""
    workload, rest = name.split("/", 1)
    side, n = rest.rsplit("/", 1)
    return workload, side, n


def load_targets(path=TARGETS_FILE):
    """[(workload, side, phase, target)] in the file's order."""
    targets = []
    with open(path, encoding="utf-8") as f:
        for number, line in enumerate(f, 1):
            if not line.strip() or line.startswith("#"):
                continue
            fields = line.rstrip("\n").split("\t")
            if len(fields) != 4:
                sys.exit(f"{path}:{number}: want 4 tab-separated fields, got {len(fields)}")
            workload, side, phase, target = fields
            targets.append((workload, side, phase, float(target)))
    return targets


def target(targets, workload, side, phase):
    """The target of a row (phase "time") or phase, or None."""
    wanted = "whole" if phase == "time" else phase
    for w, s, p, t in targets:
        if (re.fullmatch(w, workload) and re.match(s, side)
                and (p == wanted if p == "whole" else re.fullmatch(p, wanted))):
            return t
    return None


def merge(json_path):
    runs = [json.load(open(f)) for f in sorted(glob.glob(json_path + ".d/*.json"))]
    merged = dict(runs[0])
    merged["benchmarks"] = [b for r in runs for b in r["benchmarks"]]
    json.dump(merged, open(json_path, "w"), indent=1)


def kind(side, peer):
    """'ratio' for a measured ptrbox side, 'peer', or 'context'."""
    if side == peer:
        return "peer"
    if side.startswith("ptrbox") and not side.startswith("ptrbox-presized"):
        return "ratio"
    return "context"


def ratios(a, b):
    return statistics.median(a) / statistics.median(b), min(a) / min(b)


def report(json_path, plot):
    targets = load_targets()
    data = json.load(open(json_path))
    runs = {}  # run name -> {"time": [...], phase: [...], "bpe": ...}
    # Registration order, not the interleaved run order, decides the peer.
    ordered = sorted(data["benchmarks"],
                     key=lambda b: (b["family_index"], b.get("repetition_index", 0)))
    for b, measures in iterations(ordered):
        r = runs.setdefault(b["run_name"], {"bpe": b.get("bytes_per_elem")})
        for k, v in measures.items():
            r.setdefault(k, []).append(v)
    groups = {}
    for name, r in runs.items():
        workload, side, n = split_name(name)
        groups.setdefault((workload, int(n)), []).append((side, r))

    bars = []  # (label, ratio, low, high, target, kind)

    def table(phases):
        head = "| workload | N | side |" + (" phase |" if phases else "")
        print(head + " median | ptrbox / peer | target | met | ratio of minima |"
              + ("" if phases else " bytes/elem |"))
        print("|---" * 9 + "|")
        for (workload, n), rows in groups.items():
            peer = next((s for s, r in rows if not s.startswith("ptrbox")), None)
            keys = ["time"] if not phases else sorted(
                {k for _, r in rows for k in r if k not in ("time", "bpe")},
                key=lambda k: (ORDER.index(k) if k in ORDER else 99, k))
            pr = dict(rows).get(peer)
            for phase in keys:
                for side, r in rows:
                    if phase not in r or pr is None or phase not in pr:
                        continue
                    k = kind(side, peer)
                    med, low = ratios(r[phase], pr[phase])
                    ratio = {"peer": "peer", "ratio": f"{med:.2f}"}.get(k, f"({med:.2f})")
                    lows = {"peer": "peer", "ratio": f"{low:.2f}"}.get(k, f"({low:.2f})")
                    t = target(targets, workload, side, phase) if k == "ratio" else None
                    met = "" if t is None else ("yes" if med <= t else "**no**")
                    unit = fmt(statistics.median(r[phase]))
                    if phases:
                        unit = f"{statistics.median(r[phase]):.1f} ns/op"
                    if k != "peer" and (not phases or t is not None):
                        per = [a / b for a, b in zip(r[phase], pr[phase])]
                        label = f"{workload} {side}" + (f" {phase}" if phases else "")
                        if len([g for g in groups if g[0] == workload]) > 1:
                            label += f" N={n}"
                        bars.append((label, med, min(per), max(per), t, k))
                    cells = f"| {workload} | {n} | {side} |" + (f" {phase} |" if phases else "")
                    bpe = "" if phases else (f" {r['bpe']:.1f} |" if r["bpe"] else " |")
                    print(f"{cells} {unit} | {ratio} | {'' if t is None else f'≤ {t:.2f}'} "
                          f"| {met} | {lows} |{bpe}")

    ctx = data["context"]
    reps = max(len(r["time"]) for r in runs.values())
    print(f"{ctx.get('num_cpus')} × {ctx.get('mhz_per_cpu')} MHz, "
          f"load average {', '.join(f'{x:.2f}' for x in ctx.get('load_avg', []))}; "
          f"CPU time, median and minimum of {reps} repetitions\n")
    table(False)
    print("\nPhases (time per operation of each phase, from the same runs):\n")
    table(True)
    if plot:
        draw(bars, plot)


def draw(bars, path):
    import matplotlib
    matplotlib.use("svg")
    import matplotlib.pyplot as plt
    bars.reverse()
    fig, ax = plt.subplots(figsize=(9, 0.22 * len(bars) + 1))
    y = range(len(bars))
    colors = ["#bbbbbb" if k == "context" else
              "#4c72b0" if t is None or m <= t else "#dd8452"
              for _, m, _, _, t, k in bars]
    # Bars grow from 1.0: left of it ptrbox is faster, right of it slower.
    ax.barh(y, [b[1] - 1 for b in bars], left=1, color=colors,
            xerr=[[max(b[1] - b[2], 0) for b in bars],
                  [max(b[3] - b[1], 0) for b in bars]],
            error_kw={"elinewidth": 0.8, "capsize": 1.5})
    ax.axvline(1.0, color="black", linewidth=0.8)
    ax.set_yticks(list(y))
    ax.set_yticklabels([b[0] for b in bars], fontsize=6)
    ax.set_ylim(-0.6, len(bars) - 0.4)
    ax.set_xscale("log")
    ticks = [t for t in (0.25, 0.5, 0.75, 1, 1.5, 2, 3, 5, 10)
             if min(b[2] for b in bars) / 1.5 < t < max(b[3] for b in bars) * 1.5]
    ax.set_xticks(ticks, [f"{t:g}" for t in ticks])
    ax.minorticks_off()
    ax.set_xlabel("ptrbox / peer, median CPU time (log scale; whiskers: "
                  "range over repetitions; orange: above target; grey: context)",
                  fontsize=7)
    ax.tick_params(axis="x", labelsize=7)
    fig.tight_layout()
    fig.savefig(path, metadata={"Date": None})


def checked(directory):
    times = {}  # (name, measure) -> {"plain": [...], "checked": [...]}
    for path in sorted(glob.glob(directory + "/*.json")):
        build = path.rsplit("/", 1)[1].split(".")[0]
        for b, measures in iterations(json.load(open(path))["benchmarks"]):
            for m, v in measures.items():
                times.setdefault((b["name"], m), {}).setdefault(build, []).append(v)
    print("| workload | N | side | phase | plain | checked | checked / plain | ratio of minima |")
    print("|---" * 8 + "|")
    for (name, m), t in times.items():
        if "plain" not in t or "checked" not in t:
            continue
        workload, side, n = name.split("/")
        p, c = statistics.median(t["plain"]), statistics.median(t["checked"])
        unit = fmt if m == "time" else (lambda ns: f"{ns:.1f} ns/op")
        print(f"| {workload} | {n} | {side} | {'whole' if m == 'time' else m} "
              f"| {unit(p)} | {unit(c)} | {c / p:.2f} | {min(t['checked']) / min(t['plain']):.2f} |")


def callgrind(directory):
    rows = {}  # (workload, n, phase) -> [(side, instructions per op)]
    phased = set()
    for side in ("ptrbox", "std"):
        dumps = glob.glob(f"{directory}/callgrind.{side}.*[0-9]")
        for path in sorted(dumps, key=lambda p: int(p.rsplit(".", 1)[1])):
            text = open(path).read()
            m = re.search(r"^desc: Trigger: Client Request: (.*)$", text, re.M)
            if not m:
                continue
            row, phase, ops = m.group(1).split("|")
            workload, name, n = split_name(row)
            total = int(re.search(r"^totals: (\d+)", text, re.M).group(1))
            if phase == "total" and (row in phased):
                continue  # what follows the phases: teardown
            phased.add(row)
            rows.setdefault((workload, int(n), phase), []).append((name, total / int(ops)))
    print("| workload | N | phase | side | instr/op | ratio to peer |")
    print("|---|---|---|---|---|---|")
    for (workload, n, phase), sides in rows.items():
        peer = next((v for s, v in sides if not s.startswith("ptrbox")), None)
        for name, v in sides:
            if name.startswith("ptrbox") or peer is None:
                ratio = f"{v / peer:.2f}" if peer else ""
            else:
                ratio = "peer" if v == peer else f"({v / peer:.2f})"
            print(f"| {workload} | {n} | {phase} | {name} | {v:.0f} | {ratio} |")


def main(argv):
    commands = {
        "merge": lambda a: merge(a[0]),
        "report": lambda a: report(a[0], a[1] if len(a) > 1 else ""),
        "checked": lambda a: checked(a[0]),
        "callgrind": lambda a: callgrind(a[0]),
    }
    if len(argv) < 2 or argv[0] not in commands:
        sys.exit(__doc__)
    commands[argv[0]](argv[1:])


if __name__ == "__main__":
    main(sys.argv[1:])
