#!/usr/bin/env python3
"""Runs every benchmark executable of a build and prints one table.

Usage: run_bench.py BUILD_DIR [--quick]

Each benchmark prints lines of the form
    bench: <name> morvaneo_ms=<x> floor_ms=<y> ratio=<r> aim=<a> [physical_ms=<p>]
where physical_ms, given for opening, is a second and lower floor (reading
and decoding the bytes only). The table shows them by operation and size; then every such line is
repeated exactly, and a last line counts the rows within their aim. The
exit status is 0 whatever the ratios: a slow row is a finding, not a
failure. --quick is handed to every benchmark (one run, the smallest size).
"""
import os
import re
import subprocess
import sys
import tempfile
import time

LINE = re.compile(
    r"^bench: (?P<name>\S+) morvaneo_ms=(?P<m>[-0-9.]+) floor_ms=(?P<f>[-0-9.]+)"
    r" ratio=(?P<r>[-0-9.]+) aim=(?P<a>[-0-9.]+)(?: physical_ms=(?P<p>[-0-9.]+))?\s*$")

OPERATIONS = {
    "open": "Open",
    "open_line": "Open, one single line",
    "type_line": "Type a character in one single line",
    "process_open": "Open, whole process to first paint",
    "save": "Save",
    "insert": "Insert one opcode",
    "attacking": "Make attacking",
    "attacking_unknown": "Make attacking, unknown names",
    "rebuild": "Make rebuild",
    "ctrl_end": "Ctrl+End",
    "checker": "Header checker",
    "lint": "Lint, process (floor: grep -c)",
    "lint_memory": "Lint, peak memory (floor: file)",
    "startup": "Start-up to first paint",
    "memory": "Memory after loading",
    "language_open": "Open, language read (floor: plain)",
    "language_type": "Type a character (floor: plain)",
    "recovery_type": "Type a character (floor: no recovery copy)",
    "recovery_hold": "Longest hold while the copy is kept (floor: a frame)",
    "lsp_open": "Language server, didOpen to diagnostics (floor: finding only)",
    "lsp_change": "Language server, one-character change (floor: finding only)",
}

# Helpers that other benchmarks start; they print no figures of their own.
HELPER_PREFIX = "bench_floor_"


def benchmarks(build_dir):
    folder = os.path.join(build_dir, "bench")
    if not os.path.isdir(folder):
        return []
    found = []
    for name in sorted(os.listdir(folder)):
        path = os.path.join(folder, name)
        if (name.startswith("bench_") and not name.startswith(HELPER_PREFIX)
                and os.path.isfile(path) and os.access(path, os.X_OK)):
            found.append(path)
    return found


def split_name(name):
    """("open", "10 MB") for open_10mb, ("attacking", "10k lines") for
    attacking_10k_lines, (name, "") otherwise."""
    m = re.match(r"^(.*)_(\d+)mb$", name)
    if m:
        return m.group(1), m.group(2) + " MB"
    m = re.match(r"^(.*)_(\d+)kb$", name)
    if m:
        return m.group(1), m.group(2) + " KB"
    m = re.match(r"^(.*)_(\d+k)_lines$", name)
    if m:
        return m.group(1), m.group(2) + " lines"
    return name, ""


def order(row):
    """Rows in the order of OPERATIONS, then by size."""
    op, size = split_name(row["name"])
    rank = list(OPERATIONS).index(op) if op in OPERATIONS else len(OPERATIONS)
    number = re.match(r"\d+", size)
    return rank, int(number.group(0)) if number else 0, row["name"]


def unit(operation):
    return "MB" if operation in ("memory", "lint_memory") else "ms"


def run(path, quick, env):
    args = [path] + (["--quick"] if quick else [])
    print("running %s" % os.path.basename(path), file=sys.stderr, flush=True)
    started = time.perf_counter()
    try:
        done = subprocess.run(args, env=env, stdout=subprocess.PIPE, text=True,
                              errors="replace", timeout=3600)
    except (OSError, subprocess.TimeoutExpired) as e:
        print("%s did not finish: %s" % (os.path.basename(path), e), file=sys.stderr)
        return []
    if done.returncode != 0:
        print("%s ended with status %d" % (os.path.basename(path), done.returncode),
              file=sys.stderr)
    print("  %.1f s" % (time.perf_counter() - started), file=sys.stderr, flush=True)
    return [line.rstrip("\n") for line in done.stdout.splitlines() if line.startswith("bench: ")]


def table(rows):
    header = ["Operation", "Size", "Morvaneo", "Floor", "Ratio", "Aim", "Read+decode"]
    body = []
    for r in rows:
        op, size = split_name(r["name"])
        u = unit(op)
        body.append([OPERATIONS.get(op, op), size or "-",
                     "%s %s" % (r["m"], u), "%s %s" % (r["f"], u), r["r"], r["a"],
                     "%s %s" % (r["p"], u) if r.get("p") else "-"])
    widths = [max(len(x[i]) for x in [header] + body) for i in range(len(header))]

    def fmt(cells):
        return "| " + " | ".join(c.ljust(w) for c, w in zip(cells, widths)) + " |"

    lines = [fmt(header), "|" + "|".join("-" * (w + 2) for w in widths) + "|"]
    lines += [fmt(b) for b in body]
    return "\n".join(lines)


def main(argv):
    args = [a for a in argv[1:] if a != "--quick"]
    quick = "--quick" in argv[1:]
    if len(args) != 1:
        print(__doc__, file=sys.stderr)
        return 0
    build_dir = args[0]
    found = benchmarks(build_dir)
    if not found:
        print("no benchmark executables in %s/bench" % build_dir, file=sys.stderr)

    with tempfile.TemporaryDirectory(prefix="morvaneo-bench-") as home:
        env = dict(os.environ)
        env["QT_QPA_PLATFORM"] = "offscreen"
        # The benchmarks never see the user's own settings, state or runtime folder.
        env["XDG_CONFIG_HOME"] = os.path.join(home, "config")
        env["XDG_STATE_HOME"] = os.path.join(home, "state")
        runtime = os.path.join(home, "runtime")
        os.makedirs(runtime, mode=0o700)
        env["XDG_RUNTIME_DIR"] = runtime
        lines = []
        for path in found:
            lines += run(path, quick, env)

    rows = []
    for line in lines:
        m = LINE.match(line)
        if m:
            rows.append(dict(m.groupdict(), line=line))
        else:
            print("unreadable result line: %s" % line, file=sys.stderr)
    rows.sort(key=order)
    lines = [line for line in lines if not LINE.match(line)] + [r["line"] for r in rows]
    within = sum(1 for r in rows if float(r["r"]) <= float(r["a"]) and float(r["f"]) > 0)

    print(table(rows))
    print()
    for line in lines:
        print(line)
    print("bench: %d rows, %d within aim" % (len(rows), within))
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
