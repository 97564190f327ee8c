#!/usr/bin/env python3
"""Writes every document of the registry from the command line, to compare two builds.

    compare_documents.py write OUT [--bin build/bin] [--size 4]
    compare_documents.py compare BEFORE AFTER

`write` makes a demo shop with corvane-mkdb (fixed size, seed and day, so both runs read the
same rows), runs `corvane --report` for every document listed by `corvane --help` to CSV and to
PDF, each run on a fresh copy of the shop (documents leave scratch tables behind), and renders
each PDF with `pdftoppm -r 50 -png`. Documents that filter are also written with a range that
holds nothing, with a single customer, employee or material where they take one, and with
their yes/no switches turned; and every document once more by a copy of the program that has
a letterhead (letterhead.txt, logo.png) beside it.
`compare` says which CSV files and page images differ or are missing; exit 1 when any do.
PDF files themselves are not compared: they carry their creation time.
"""

import collections
import csv
import os
import shutil
import struct
import subprocess
import sys
import zlib
from pathlib import Path

TODAY = "2026-12-01"
YEAR_START = "2025-12-02"
EMPTY = ("1990-01-01", "1990-12-31")


# An empty user configuration, so only the folder of the program run counts.
XDG = Path("/nonexistent")


def run(cmd, **kw):
    env = dict(os.environ, QT_QPA_PLATFORM="offscreen", XDG_CONFIG_HOME=str(XDG))
    return subprocess.run(cmd, env=env, capture_output=True, text=True, **kw)


def png(width, height):
    """A small striped RGB image, the same bytes every time."""
    rows = b"".join(b"\0" + b"".join(bytes((40 + 7 * x % 180, 90, (200 - 5 * y) % 256)) for x in range(width))
                    for y in range(height))

    def chunk(kind, data):
        body = kind + data
        return struct.pack(">I", len(data)) + body + struct.pack(">I", zlib.crc32(body))

    header = struct.pack(">IIBBBBB", width, height, 8, 2, 0, 0, 0)
    return b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", header) + chunk(b"IDAT", zlib.compress(rows)) + chunk(b"IEND", b"")


def letterhead_program(bindir, folder):
    """A copy of the program with a letterhead (text and logo) beside it."""
    folder.mkdir()
    shutil.copy2(bindir / "corvane", folder / "corvane")
    (folder / "letterhead.txt").write_text("Harbor Leather Works\n12 Quay Street\nPortland, ME 04101\n"
                                           "(207) 555-0134  orders@example.com\n", encoding="utf-8")
    (folder / "logo.png").write_bytes(png(96, 48))
    return str(folder / "corvane")


def documents(program):
    """[(name, [argument])] from the usage text."""
    out = run([program, "--help"])
    docs = []
    listing = False
    for line in (out.stdout + out.stderr).splitlines():
        if line.startswith("Documents:"):
            listing = True
        elif listing and line.startswith("      --arg "):
            docs[-1][1].append(line.split()[1].split("=")[0])
        elif listing and line.startswith("  ") and line.strip():
            docs.append((line.strip(), []))
    if not docs:
        sys.exit("compare_documents: no documents in %s --help" % program)
    return docs


def read_csv(path):
    with open(path, newline="", encoding="utf-8") as f:
        return list(csv.DictReader(f))


def write_document(program, pristine, work, out, name, variant, args):
    shop = work / "shop-copy.db"
    shutil.copyfile(pristine, shop)
    stem = name if not variant else "%s-%s" % (name, variant)
    base = [program, "--report", name, "--db", str(shop)]
    for key, value in args.items():
        base += ["--arg", "%s=%s" % (key, value)]
    results = []
    for kind in ("csv", "pdf"):
        target = out / ("%s.%s" % (stem, kind))
        r = run(base + ["--" + kind, str(target)])
        results.append(r.returncode)
        if r.returncode != 0:
            print("  %s %s: exit %d: %s" % (stem, kind, r.returncode, r.stderr.strip()))
        shutil.copyfile(pristine, shop)
    pdf = out / ("%s.pdf" % stem)
    if pdf.exists():
        subprocess.run(["pdftoppm", "-r", "50", "-png", str(pdf), str(out / "png" / stem)], check=True)
    pages = len(list((out / "png").glob(stem + "-*.png")))
    print("%-45s %-10s exit %s, %d page(s)" % (name, variant or "", "/".join(map(str, results)), pages))


def write(out, bindir, size):
    global XDG
    program = str(bindir / "corvane")
    out.mkdir(parents=True, exist_ok=True)
    (out / "png").mkdir(exist_ok=True)
    work = out / "work"
    if work.exists():
        shutil.rmtree(work)
    work.mkdir()
    XDG = work / "xdg"
    XDG.mkdir()
    with_letterhead = letterhead_program(bindir, work / "letterhead")
    pristine = work / "shop.db"
    subprocess.run([str(bindir / "corvane-mkdb"), "--demo", "--size", str(size), "--today", TODAY,
                    str(pristine)], check=True, capture_output=True)

    # Records worth showing, read from the listings themselves.
    def listing(name, **args):
        target = work / (name + ".csv")
        shutil.copyfile(pristine, work / "shop-copy.db")
        cmd = [program, "--report", name, "--csv", str(target), "--db", str(work / "shop-copy.db")]
        for k, v in args.items():
            cmd += ["--arg", "%s=%s" % (k, v)]
        r = run(cmd)
        if r.returncode != 0:
            sys.exit("compare_documents: %s: %s" % (name, r.stderr.strip()))
        return read_csv(target)

    open_orders = listing("crptOpenOrdersReport")
    lines = collections.Counter(r["ID"] for r in open_orders)
    by_customer = collections.Counter(r["Customer"] for r in open_orders)
    customers = [c for c, _ in by_customer.most_common(4)]
    ar = listing("crptARTranReport", **{"from": YEAR_START, "to": TODAY})
    shipments = [r["Shipment"] for r in ar if r["Shipment"]]
    picked = {
        "order": lines.most_common(1)[0][0],
        "shipment": max(shipments, key=int),
        "po": "1",
        "import": "1",
        "from": YEAR_START,
        "to": TODAY,
        "asof": TODAY,
    }
    for i, c in enumerate(customers):
        picked["c%d" % (i + 1)] = c
    one = {
        "customer": customers[0],
        "employee": listing("crptEmployeeReport")[0]["SSN"],
        "material": listing("crptMaterialReport")[0]["ID"],
    }

    count = 0
    for name, arguments in documents(program):
        args = {k: picked[k] for k in arguments if k in picked}
        variants = [("", args)]
        if "from" in args:
            variants.append(("empty", dict(args, **{"from": EMPTY[0], "to": EMPTY[1]})))
        elif "asof" in args:
            variants.append(("empty", dict(args, asof=EMPTY[0])))
        narrowed = {k: one[k] for k in arguments if k in one}
        if narrowed:
            variants.append(("one", dict(args, **narrowed)))
        flags = {k: v for k, v in (("inactive", "yes"), ("cutsheets", "no")) if k in arguments}
        if flags:
            variants.append(("flags", dict(args, **flags)))
        if name == "crptInvoice":
            variants.append(("override", dict(args, invoice="9999", due="2027-01-15", terms="Net 60")))
        for variant, a in variants:
            write_document(program, pristine, work, out, name, variant, a)
            count += 1
        write_document(with_letterhead, pristine, work, out, name, "letterhead", args)
        count += 1
    shutil.rmtree(work)
    print("%d document runs written to %s" % (count, out))


def compare(before, after):
    def files(root):
        found = {p.relative_to(root) for p in root.glob("*.csv")}
        found |= {p.relative_to(root) for p in (root / "png").glob("*.png")}
        return found

    a, b = files(before), files(after)
    differ = sorted(str(p) for p in a & b if (before / p).read_bytes() != (after / p).read_bytes())
    missing = sorted(str(p) for p in a ^ b)
    csvs = sum(1 for p in a & b if p.suffix == ".csv")
    pngs = sum(1 for p in a & b if p.suffix == ".png")
    print("compared %d CSV files and %d page images" % (csvs, pngs))
    for p in differ:
        print("differs: %s" % p)
    for p in missing:
        print("only in %s: %s" % ("before" if p in map(str, a) else "after", p))
    return 1 if differ or missing else 0


def main(argv):
    if len(argv) >= 2 and argv[0] == "write":
        bindir = Path("build/bin")
        size = 4
        rest = argv[2:]
        while rest:
            if rest[0] == "--bin" and len(rest) > 1:
                bindir = Path(rest[1])
            elif rest[0] == "--size" and len(rest) > 1:
                size = int(rest[1])
            else:
                sys.exit(__doc__)
            rest = rest[2:]
        write(Path(argv[1]).resolve(), bindir.resolve(), size)
        return 0
    if len(argv) == 3 and argv[0] == "compare":
        return compare(Path(argv[1]), Path(argv[2]))
    sys.exit(__doc__)


if __name__ == "__main__":
    sys.exit(main(sys.argv[1:]))
