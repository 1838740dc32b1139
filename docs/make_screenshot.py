#!/usr/bin/env python3
"""Screenshot of kvfree during a live run, as `bash scripts/run.sh` shows it: a copy of the demo
folder on the Solent chart portfolio (the world chart when the portfolio is missing), the route
from the Needles to Portsmouth, and the voyage simulator (kvtool simulate) sailing it with AIS
traffic about it, through a pseudo-terminal that dev/com9 points to. The configuration opens
the interface at start.

usage: docs/make_screenshot.py BUILD_DIR OUT.png [MINUTES]
MINUTES of simulated voyage (default 15) pass before the picture, at 60 simulated seconds to a
real one. Runs the program under xvfb-run.

The sentence helpers below (gga, ais_position, ais_static) are also used by
docs/make_view_screenshots.py."""

import os
import shutil
import subprocess
import sys
import tempfile
import time

ROOT = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))


def checksum(body):
    value = 0
    for c in body[1:]:
        value ^= ord(c)
    return "*%02X" % value


def dm(deg, digits):
    a = abs(deg)
    d = int(a)
    return "%0*d%07.4f" % (digits, d, (a - d) * 60.0)


def gga(t, lat, lon_east):
    body = "$GPGGA,%02d%02d%02d.00,%s,%s,%s,%s,1,08,0.9,10.0,M,0.0,M,," % (
        t // 3600, t // 60 % 60, t % 60, dm(lat, 2), "N" if lat >= 0 else "S",
        dm(lon_east, 3), "E" if lon_east >= 0 else "W")
    return body + checksum(body) + "\r\n"


ARMOUR = "0123456789:;<=>?@ABCDEFGHIJKLMNOPQRSTUVW`abcdefghijklmnopqrstuvw"


def ais_position(mmsi, lat, lon_east, sog, cog):
    fields = [(1, 6), (0, 2), (mmsi, 30), (0, 4), (-128, 8), (int(sog * 10), 10), (1, 1),
              (int(lon_east * 600000), 28), (int(lat * 600000), 27), (int(cog * 10), 12), (511, 9),
              (30, 6), (0, 2), (0, 3), (0, 1), (0, 19)]
    bits = "".join(format(v & ((1 << w) - 1), "0%db" % w) for v, w in fields)
    payload = "".join(ARMOUR[int(bits[i:i + 6], 2)] for i in range(0, len(bits), 6))
    body = "!AIVDM,1,1,,A,%s,0" % payload
    return body + checksum(body) + "\r\n"


def ais_static(mmsi, name):
    """Message 5 (two fragments) with the vessel's name."""
    chars = "@ABCDEFGHIJKLMNOPQRSTUVWXYZ[\\]^_ !\"#$%&'()*+,-./0123456789:;<=>?"
    def text(s, n):
        s = (s.upper() + "@" * n)[:n]
        return "".join(format(chars.index(c), "06b") for c in s)
    bits = (format(5, "06b") + format(0, "02b") + format(mmsi, "030b") + format(0, "02b") +
            format(0, "030b") + text("", 7) + text(name, 20) + format(70, "08b") +
            format(20, "09b") + format(10, "09b") + format(4, "06b") + format(4, "06b") +
            format(1, "04b") + format(0, "020b") + format(50, "08b") + text("", 20) + "0" + "0")
    bits += "0" * (-len(bits) % 6)
    payload = "".join(ARMOUR[int(bits[i:i + 6], 2)] for i in range(0, len(bits), 6))
    fill = 0
    parts = [payload[:60], payload[60:]]
    out = ""
    for i, p in enumerate(parts):
        body = "!AIVDM,2,%d,3,A,%s,%d" % (i + 1, p, 2 if i == 1 else 0)
        out += body + checksum(body) + "\r\n"
    return out


RATE = 60


def main():
    build, out = os.path.abspath(sys.argv[1]), os.path.abspath(sys.argv[2])
    minutes = float(sys.argv[3]) if len(sys.argv) > 3 else 15.0
    kvtool = os.path.join(build, "kvtool")
    work = tempfile.mkdtemp(prefix="kvfree-shot-")
    shutil.copytree(os.path.join(ROOT, "demo/charts"), os.path.join(work, "charts"))
    for folder in ("routes", "tides", "logs", "dev"):
        os.makedirs(os.path.join(work, folder))
    shutil.copy(os.path.join(ROOT, "demo/routes/solent.rte"), os.path.join(work, "routes"))
    if os.path.exists(os.path.join(work, "charts/solent/SolentPortfolio.cht")):
        chart_dir, chart = "charts/solent/", "SolentPortfolio"
    else:
        chart_dir, chart = "charts/", "world"

    # The same configuration as scripts/run.sh writes (line numbers from 1).
    lines = subprocess.run([kvtool, "config", os.path.join(work, "none.cfg")], check=True, capture_output=True,
                           text=True, encoding="latin-1").stdout.splitlines()
    config = [l.split("\t", 1)[1] if "\t" in l else "" for l in lines if not l.startswith("#")]
    for number, value in ((1, chart), (2, "50.639"), (3, "1.648"), (4, "8"), (12, "solent"), (23, "Auto"),
                          (25, "1000"), (45, chart_dir), (46, "9"), (47, "38400")):
        config[number - 1] = value
    with open(os.path.join(work, "live.cfg"), "w", newline="", encoding="latin-1") as f:
        f.write("".join(l + "\r\n" for l in config))
    with open(os.path.join(work, "kvfree.ini"), "w") as f:
        f.write("[AIS]\nClassBAndAtoNTargets=true\n")

    simulator = subprocess.Popen([kvtool, "simulate", "--route", "routes/solent.rte", "--speed", "10", "--targets", "6",
                                  "--seed", "21", "--rate", str(RATE), "--time", "2026-06-15T10:00:00", "--pty",
                                  "--link", "dev/com9"], cwd=work, stdout=subprocess.DEVNULL)
    for _ in range(50):
        if os.path.islink(os.path.join(work, "dev/com9")):
            break
        time.sleep(0.1)
    after = 2.5 + minutes * 60.0 / RATE
    program = subprocess.run(["xvfb-run", "-a", "-s", "-screen 0 1280x1024x24", os.path.join(build, "kvfree"),
                              "--workdir", work, "live.cfg", "--show-ais", "--screenshot", out, "--after", str(after)],
                             cwd=work)
    simulator.terminate()
    simulator.wait()
    shutil.rmtree(work, ignore_errors=True)
    return program.returncode


if __name__ == "__main__":
    sys.exit(main())
