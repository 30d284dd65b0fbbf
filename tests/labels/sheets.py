#!/usr/bin/env python3
"""Label sheets measured from their pixels, not from the program's own layout code.

    sheets.py MARLISK_CLI placement|queue|batch|storing|memory

placement: sheets of Avery 5160 and L7160 written as PDF with --copies, --fill and
    --start, rasterised by pdftoppm at 300 dpi; each printed label's symbol is found by its
    dark pixels and its centre must lie at the template's x0 + i*dx + w/2, y0 + j*dy + h/2
    (the database's figures, written out below) within one dot; labels before the start and
    after the copies are blank; every symbol decodes with zbar to its data.
queue: the same through the real cups-pdf queue marlisk-pdf with a calibration of +1.5 mm,
    -2 mm, 100.5 %, 99.5 %, given on the command line and kept in the settings file: every
    label moves and stretches by exactly that.
batch: 100 lines onto Avery 5160 make 4 pages whose labels decode to their own lines, the
    same from a pipe; a refused line stops the run before anything is written, naming its
    line.
storing: a batch changed between its two readings (a line edited, appended, cut off) and a
    sheet too large to store fail with exit 1, saying why, leaving an old sheet as it was
    and nothing beside it.
memory: 1,000 and 50,000 lines onto Avery 5160 as one PDF peak at the same memory (within
    2 MiB) while the PDF grows by more than 12 MiB: nothing is held per label. Not judged
    in a sanitizer build, whose allocator keeps freed memory.
"""
import glob
import os
import shutil
import subprocess
import sys
import tempfile
import time

DPI = 300
INCH = DPI
MM = DPI / 25.4
PT = DPI / 72.0

# The two sheets as the label database describes them (in its own units), and the first
# label's corner, the pitch and the label's size in dots at 300 dpi.
SHEETS = {
    "Avery 5160": dict(x0=0.15625 * INCH, y0=0.5 * INCH, dx=2.78125 * INCH, dy=1 * INCH,
                       w=2.625 * INCH, h=1 * INCH, nx=3, ny=10),
    "Avery L7160": dict(x0=21.2 * PT, y0=43.9 * PT, dx=187.2 * PT, dy=108.0 * PT,
                        w=181.4 * PT, h=108.0 * PT, nx=3, ny=7),
}

# Page values that leave the symbol small enough for both sheets' labels.
PAGE = ["--top", "40", "--down", "40", "--left", "120", "--right", "120", "--interval", "50"]
SYMBOL = ["ean13", "590123412345", "--height", "0.6"] + PAGE
DATA = "EAN-13:5901234123457"

failures = []


def check(condition, text):
    if not condition:
        failures.append(text)
        print("FAIL: " + text)
    return condition


def need(tool, package):
    if shutil.which(tool) is None:
        print(f"FAIL: {tool} is not installed (Debian package {package})")
        sys.exit(1)


def run(cli, args, env=None, expect=0):
    p = subprocess.run([cli] + args, capture_output=True, text=True, env=env)
    if p.returncode != expect:
        print(f"FAIL: marlisk-cli {' '.join(args)} exited {p.returncode}, expected {expect}\n"
              f"{p.stderr}")
        sys.exit(1)
    return p


class Page:
    """A page rasterised in grey, one byte a dot."""

    def __init__(self, path):
        with open(path, "rb") as f:
            data = f.read()
        fields, pos = [], 0
        while len(fields) < 4:
            while data[pos:pos + 1].isspace():
                pos += 1
            if data[pos:pos + 1] == b"#":
                pos = data.index(b"\n", pos)
                continue
            end = pos
            while not data[end:end + 1].isspace():
                end += 1
            fields.append(data[pos:end])
            pos = end
        assert fields[0] == b"P5", fields
        self.width, self.height = int(fields[1]), int(fields[2])
        self.pixels = data[pos + 1:]
        self.dark = bytes.maketrans(bytes(range(256)),
                                    bytes(1 if v < 128 else 0 for v in range(256)))

    def row(self, y, x0, x1):
        return self.pixels[y * self.width + x0:y * self.width + x1].translate(self.dark)

    def dark_box(self, x0, y0, x1, y1):
        """The box round the dark dots in [x0, x1) x [y0, y1), or None."""
        x0, y0 = max(0, int(x0)), max(0, int(y0))
        x1, y1 = min(self.width, int(x1)), min(self.height, int(y1))
        box = None
        for y in range(y0, y1):
            r = self.row(y, x0, x1)
            first = r.find(1)
            if first < 0:
                continue
            last = r.rfind(1)
            if box is None:
                box = [x0 + first, y, x0 + last + 1, y + 1]
            else:
                box = [min(box[0], x0 + first), box[1], max(box[2], x0 + last + 1), y + 1]
        return box

    def crop(self, path, x0, y0, x1, y1):
        x0, y0 = max(0, int(x0)), max(0, int(y0))
        x1, y1 = min(self.width, int(x1)), min(self.height, int(y1))
        with open(path, "wb") as f:
            f.write(b"P5\n%d %d\n255\n" % (x1 - x0, y1 - y0))
            for y in range(y0, y1):
                f.write(self.pixels[y * self.width + x0:y * self.width + x1])


def raster(pdf, work, stem):
    subprocess.run(["pdftoppm", "-r", str(DPI), "-gray", pdf, os.path.join(work, stem)],
                   check=True)
    return [Page(p) for p in sorted(glob.glob(os.path.join(work, stem + "*.pgm")))]


def decode(page, box, work):
    path = os.path.join(work, "crop.pgm")
    page.crop(path, *box)
    p = subprocess.run(["zbarimg", "-q", "-Sean5.enable", path], capture_output=True, text=True)
    return sorted(p.stdout.split())


def symbol_offset(cli, args, work):
    """Where the dark dots of the symbol alone lie from its picture's centre, in dots."""
    png = os.path.join(work, "alone.png")
    run(cli, args + ["--dpi", str(DPI), "-o", png])
    pgm = os.path.join(work, "alone.pgm")
    subprocess.run(["convert", png, "-colorspace", "gray", pgm], check=True)
    page = Page(pgm)
    box = page.dark_box(0, 0, page.width, page.height)
    return ((box[0] + box[2]) / 2 - page.width / 2, (box[1] + box[3]) / 2 - page.height / 2)


def label_boxes(sheet):
    s = SHEETS[sheet]
    for j in range(s["ny"]):
        for i in range(s["nx"]):
            x, y = s["x0"] + i * s["dx"], s["y0"] + j * s["dy"]
            yield (x, y, x + s["w"], y + s["h"])


def measure(pages, sheet, printed, offset, work, calibration=None, data=None):
    """Checks every label of every page: blank or a symbol at the (calibrated) centre."""
    dx, dy, sx, sy = calibration or (0, 0, 100, 100)
    per_sheet = SHEETS[sheet]["nx"] * SHEETS[sheet]["ny"]
    for n, page in enumerate(pages):
        for k, (x0, y0, x1, y1) in enumerate(label_boxes(sheet)):
            index = n * per_sheet + k
            centre = ((x0 + x1) / 2 * sx / 100 + dx * MM, (y0 + y1) / 2 * sy / 100 + dy * MM)
            half_w, half_h = (x1 - x0) / 2, (y1 - y0) / 2
            # Search a little beyond the label: a misplaced symbol shows as such.
            area = (centre[0] - half_w - 20, centre[1] - half_h - 5,
                    centre[0] + half_w + 20, centre[1] + half_h + 5)
            box = page.dark_box(*area)
            where = f"{sheet}, page {n + 1}, label {k + 1}"
            if index not in printed:
                check(box is None, f"{where} should be blank, has dark dots at {box}")
                continue
            if not check(box is not None, f"{where} should hold a symbol and is blank"):
                continue
            found = ((box[0] + box[2]) / 2 - offset[0], (box[1] + box[3]) / 2 - offset[1])
            check(abs(found[0] - centre[0]) <= 1 and abs(found[1] - centre[1]) <= 1,
                  f"{where}: the symbol's centre is at ({found[0]:.1f}, {found[1]:.1f}) dots, "
                  f"expected ({centre[0]:.1f}, {centre[1]:.1f})")
            want = data[index] if data else [DATA]
            got = decode(page, area, work)
            check(got == want, f"{where} decodes to {got}, expected {want}")


def placement(cli):
    with tempfile.TemporaryDirectory() as work:
        offset = symbol_offset(cli, SYMBOL, work)
        cases = [
            ("Avery 5160", ["--copies", "5", "--start", "2,3"], range(5, 10)),
            ("Avery 5160", ["--fill", "--start", "9,2"], range(25, 30)),
            ("Avery L7160", ["--copies", "2"], range(0, 2)),
            ("Avery L7160", ["--fill", "--start", "6,3"], range(17, 21)),
            ("Avery L7160", ["--copies", "25", "--start", "7,2"], range(19, 44)),
        ]
        for sheet, args, printed in cases:
            pdf = os.path.join(work, "sheet.pdf")
            run(cli, SYMBOL + ["--sheet", sheet, "--dpi", str(DPI), "-o", pdf] + args)
            for old in glob.glob(os.path.join(work, "page*.pgm")):
                os.remove(old)
            pages = raster(pdf, work, "page")
            pages_wanted = 1 + (max(printed)) // (SHEETS[sheet]["nx"] * SHEETS[sheet]["ny"])
            check(len(pages) == pages_wanted,
                  f"{sheet} {' '.join(args)}: {len(pages)} pages, expected {pages_wanted}")
            measure(pages, sheet, set(printed), offset, work)
            print(f"ok: {sheet} {' '.join(args)}")


def queue_pdfs():
    """The queue's PDFs as they are now: path to (modified, size)."""
    roots = [os.path.expanduser("~/PDF"), "/var/spool/cups-pdf"]
    return {p: (os.path.getmtime(p), os.path.getsize(p))
            for root in roots for p in glob.glob(os.path.join(root, "**", "*.pdf"),
                                                 recursive=True)}


def next_pdf(before):
    """The next job's PDF: new or changed since `before` (a time alone does not tell a job
    from one that ended a moment earlier, and cups-pdf may reuse a name), once cups-pdf has
    finished writing it (its size stays the same for half a second)."""
    for _ in range(300):
        for path, seen in queue_pdfs().items():
            if seen[1] > 0 and before.get(path) != seen:
                size = seen[1]
                for _ in range(60):
                    time.sleep(0.5)
                    if os.path.getsize(path) == size:
                        break
                    size = os.path.getsize(path)
                return path
        time.sleep(0.1)
    return None


def queue(cli):
    need("lpstat", "cups-client")
    if subprocess.run(["lpstat", "-p", "marlisk-pdf"], capture_output=True).returncode != 0:
        print("FAIL: the print queue marlisk-pdf is not set up (tests/services.sh start)")
        sys.exit(1)
    calibration = (1.5, -2.0, 100.5, 99.5)
    with tempfile.TemporaryDirectory() as work:
        offset = symbol_offset(cli, SYMBOL, work)
        # The calibration given on the command line, then kept for the queue in the
        # settings file of a copy of the program (it reads the file beside it).
        own = os.path.join(work, "marlisk-cli")
        shutil.copy(cli, own)
        with open(os.path.join(work, "BCodeSetting.ini"), "w") as f:
            f.write("[Calibration]\nmarlisk-pdf=1.5,-2,100.5,99.5\n")
        for name, program, extra in [("--calibrate", cli, ["--calibrate", "1.5,-2,100.5,99.5"]),
                                     ("stored", own, [])]:
            before = queue_pdfs()
            run(program, SYMBOL + ["--sheet", "Avery 5160", "--copies", "4", "--start", "3,2",
                                   "--print", "marlisk-pdf"] + extra)
            pdf = next_pdf(before)
            if not check(pdf is not None, f"{name}: the queue wrote no PDF"):
                continue
            for old in glob.glob(os.path.join(work, "q*.pgm")):
                os.remove(old)
            pages = raster(pdf, work, "q")
            measure(pages, "Avery 5160", set(range(7, 11)), offset, work, calibration)
            print(f"ok: through marlisk-pdf, calibration {name}")


def ean13(n):
    digits = "590" + f"{n:09d}"
    total = sum(int(d) * (3 if i % 2 else 1) for i, d in enumerate(digits))
    return digits, digits + str((10 - total % 10) % 10)


def batch(cli):
    with tempfile.TemporaryDirectory() as work:
        lines = ["symbology,message,addon,comment,output"]
        data = []
        for n in range(100):
            typed, full = ean13(1000 + n)
            lines.append(f"ean13,{typed},,,")
            data.append([f"EAN-13:{full}"])
        good = os.path.join(work, "labels.csv")
        with open(good, "w") as f:
            f.write("\n".join(lines) + "\n")
        offset = symbol_offset(cli, SYMBOL, work)
        pdf = os.path.join(work, "batch.pdf")
        run(cli, ["--batch", good, "--sheet", "Avery 5160", "--dpi", str(DPI), "-o", pdf]
            + SYMBOL[2:])
        pages = raster(pdf, work, "b")
        check(len(pages) == 4, f"100 labels on Avery 5160 made {len(pages)} pages, expected 4")
        measure(pages, "Avery 5160", set(range(100)), offset, work, data=data)
        print("ok: 100 lines onto 4 pages of Avery 5160, each label its own line")

        # The same lines from a pipe make the same pages.
        piped = os.path.join(work, "piped.pdf")
        with open(good, "rb") as f:
            p = subprocess.run([cli, "--batch", "-", "--sheet", "Avery 5160", "--dpi", str(DPI),
                                "-o", piped] + SYMBOL[2:], stdin=f, capture_output=True)
        check(p.returncode == 0, f"the batch from a pipe exited {p.returncode}: {p.stderr}")

        def pages_of(path):
            with open(path, "rb") as f:
                return [l for l in f.read().split(b"\n") if b"/CreationDate" not in l]
        check(pages_of(piped) == pages_of(pdf), "the batch from a pipe made another PDF")
        print("ok: the same lines from a pipe make the same PDF")

        # Line 58 holds a wrong check digit: nothing is written.
        typed, full = ean13(1056)
        lines[57] = f"ean13,{full[:-1]}{(int(full[-1]) + 1) % 10},,,"
        bad = os.path.join(work, "bad.csv")
        with open(bad, "w") as f:
            f.write("\n".join(lines) + "\n")
        refused = os.path.join(work, "refused.pdf")
        p = run(cli, ["--batch", bad, "--sheet", "Avery 5160", "-o", refused] + SYMBOL[2:],
                expect=2)
        check("line 58:" in p.stderr, f"the refusal does not name line 58: {p.stderr}")
        check(not os.path.exists(refused), "a refused batch wrote its PDF")
        print("ok: a refused line stops the batch before anything is written")


def stopped(pid):
    with open(f"/proc/{pid}/stat") as f:
        return f.read().rsplit(")", 1)[1].split()[0] == "T"


def storing(cli):
    """A sheet is put in its place whole or not at all: a batch that changed between its two
    readings and a file too large to store fail with exit 1, leave the old file as it was
    and nothing beside it."""
    lines = "".join(f"ean13,{ean13(n)[0]}\n" for n in range(200))
    args = ["--sheet", "Avery 5160"] + SYMBOL[2:]

    def untouched(work, out, existing, what):
        left = sorted(os.listdir(work))
        expected = ["labels.csv", "sheet.pdf"] if existing else ["labels.csv"]
        check(left == expected, f"{what}: left {left}")
        if existing:
            with open(out, "rb") as f:
                check(f.read() == existing, f"{what}: the old sheet was changed")

    changes = [
        ("a line edited", lambda f: (f.seek(len("ean13,590000000000\n") * 150),
                                    f.write("ean13,590000000999\n"))),
        ("a line appended", lambda f: (f.seek(0, 2), f.write("ean13,590000000999\n"))),
        ("lines cut off", lambda f: f.truncate(len("ean13,590000000000\n") * 150)),
    ]
    for name, change in changes:
        for existing in (None, b"old sheet"):
            with tempfile.TemporaryDirectory() as work:
                batch = os.path.join(work, "labels.csv")
                out = os.path.join(work, "sheet.pdf")
                with open(batch, "w") as f:
                    f.write(lines)
                if existing:
                    with open(out, "wb") as f:
                        f.write(existing)
                env = dict(os.environ, MARLISK_BATCH_PAUSE="1")
                p = subprocess.Popen([cli, "--batch", batch, "-o", out] + args, env=env,
                                     stderr=subprocess.PIPE, text=True)
                for _ in range(1200):
                    if stopped(p.pid):
                        break
                    time.sleep(0.025)
                with open(batch, "r+") as f:
                    change(f)
                os.kill(p.pid, 18)  # SIGCONT
                err = p.communicate(timeout=120)[1]
                what = f"{name}, {'over an old sheet' if existing else 'new sheet'}"
                check(p.returncode == 1 and "changed while it was read" in err,
                      f"{what}: exited {p.returncode}: {err}")
                untouched(work, out, existing, what)
    print("ok: a batch changed between its readings writes nothing")

    # Beyond the largest file the process may write (as on a full disk): the reason is the
    # system's, for a sheet of copies and for a batch alike.
    def small_files():
        import resource
        import signal
        signal.signal(signal.SIGXFSZ, signal.SIG_IGN)
        resource.setrlimit(resource.RLIMIT_FSIZE, (300000, resource.RLIM_INFINITY))

    for name, run_args in [("copies", SYMBOL[:2] + ["--copies", "3000"] + args),
                           ("batch", ["--batch", "labels.csv"] + args)]:
        for existing in (None, b"old sheet"):
            with tempfile.TemporaryDirectory() as work:
                with open(os.path.join(work, "labels.csv"), "w") as f:
                    f.write(lines * 10)
                out = os.path.join(work, "sheet.pdf")
                if existing:
                    with open(out, "wb") as f:
                        f.write(existing)
                p = subprocess.run([cli] + run_args + ["-o", out], cwd=work, text=True,
                                   capture_output=True, preexec_fn=small_files)
                what = f"{name} too large, {'over an old sheet' if existing else 'new sheet'}"
                check(p.returncode == 1 and p.stderr.strip() ==
                      f"cannot write {out}: {os.strerror(27)}",
                      f"{what}: exited {p.returncode}: {p.stderr}")
                untouched(work, out, existing, what)
    print("ok: a sheet too large to store fails saying why, and leaves nothing")


def peak_memory(cli, args):
    """Runs marlisk-cli; its peak resident memory in bytes."""
    p = subprocess.Popen([cli] + args, stdout=subprocess.DEVNULL, stderr=subprocess.PIPE)
    err = p.stderr.read()
    _, status, usage = os.wait4(p.pid, 0)
    if status != 0:
        print(f"FAIL: marlisk-cli {' '.join(args)} ended with {status}\n{err.decode()}")
        sys.exit(1)
    return usage.ru_maxrss * 1024


def memory(cli):
    with open(cli, "rb") as f:
        if b"__asan_init" in f.read():
            print("not judged: a sanitizer build holds freed memory in quarantine")
            return
    with tempfile.TemporaryDirectory() as work:
        measured = {}
        for n in (1000, 50000):
            lines = os.path.join(work, f"{n}.csv")
            with open(lines, "w") as f:
                for i in range(n):
                    f.write(f"ean13,{ean13(i * 7919)[0]},,,\n")
            pdf = os.path.join(work, f"{n}.pdf")
            peak = peak_memory(cli, ["--batch", lines, "--sheet", "Avery 5160", "-o", pdf]
                               + SYMBOL[2:])
            measured[n] = (peak, os.path.getsize(pdf))
            print(f"{n} labels: peak {peak / 2**20:.1f} MiB, PDF {measured[n][1] / 2**20:.1f} MiB")
        grown = measured[50000][0] - measured[1000][0]
        pdf_grown = measured[50000][1] - measured[1000][1]
        check(pdf_grown > 12 * 2**20, f"the PDF grew by only {pdf_grown} bytes: too little to judge")
        check(grown < 2 * 2**20, f"49,000 more labels took {grown / 2**20:.1f} MiB more memory "
              f"(the PDF grew by {pdf_grown / 2**20:.1f} MiB)")
        if not failures:
            print("ok: 50,000 labels peak within 2 MiB of 1,000")


def main():
    cli, what = sys.argv[1], sys.argv[2]
    need("pdftoppm", "poppler-utils")
    need("zbarimg", "zbar-tools")
    need("convert", "imagemagick")
    {"placement": placement, "queue": queue, "batch": batch, "memory": memory,
     "storing": storing}[what](cli)
    if failures:
        print(f"{len(failures)} failures")
        return 1
    return 0


if __name__ == "__main__":
    sys.exit(main())
