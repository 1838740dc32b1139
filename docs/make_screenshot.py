#!/usr/bin/env python3
"""Screenshot of kvfree during a live run: a working folder with the world chart, a route and a
configuration that opens the interface at start; a pseudo-terminal stands in for the receiver
(dev/com1 points at its slave side) and this script plays GPS and AIS sentences along the route.

usage: docs/make_screenshot.py BUILD_DIR OUT.png [SECONDS]
Runs the program under xvfb-run; needs the world chart in demo/charts."""

import math
import os
import pty
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


def main():
    build, out = sys.argv[1], os.path.abspath(sys.argv[2])
    seconds = float(sys.argv[3]) if len(sys.argv) > 3 else 16
    work = tempfile.mkdtemp(prefix="kvfree-shot-")
    for folder in ("charts", "routes", "tides", "logs", "dev"):
        os.makedirs(os.path.join(work, folder))
    for f in ("world.cht", "world.cfg"):
        shutil.copy(os.path.join(ROOT, "demo/charts", f), os.path.join(work, "charts", f))

    # The Solent to Cherbourg.
    route = [(50.55, -1.30), (50.25, -1.45), (49.95, -1.55), (49.70, -1.62)]
    gpx = os.path.join(work, "passage.gpx")
    with open(gpx, "w") as f:
        f.write('<?xml version="1.0"?><gpx version="1.1" creator="shot"><rte>')
        for i, (lat, lon) in enumerate(route):
            f.write('<rtept lat="%f" lon="%f"><name>WP%d</name></rtept>' % (lat, lon, i + 1))
        f.write("</rte></gpx>")
    subprocess.run([os.path.join(build, "kvtool"), "route-import", gpx, os.path.join(work, "routes/passage.rte")],
                   check=True, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)

    # The configuration: the defaults with the start position, zoom, route and an automatic start.
    lines = subprocess.run([os.path.join(build, "kvtool"), "config", os.path.join(work, "none.cfg")],
                           check=True, capture_output=True, text=True, encoding="latin-1").stdout.splitlines()
    config = [l.split("\t", 1)[1] if "\t" in l else "" for l in lines if not l.startswith("#")]
    config[1] = " 5.06000000000000E+0001"
    config[2] = " 1.15000000000000E+0000"
    config[3] = " 2.00000000000000E+0000"
    config[11] = "passage"
    config[22] = "Auto"
    config[24] = "1000"
    config[45] = "1"
    config[46] = "4800"
    with open(os.path.join(work, "kelvw.cfg"), "w", newline="", encoding="latin-1") as f:
        f.write("".join(l + "\r\n" for l in config))

    master, slave = pty.openpty()
    os.symlink(os.ttyname(slave), os.path.join(work, "dev/com1"))
    program = subprocess.Popen(["xvfb-run", "-a", "-s", "-screen 0 1280x1024x24", os.path.join(build, "kvfree"),
                                "--screenshot", out, "--after", str(seconds), "--show-ais"], cwd=work)
    os.set_blocking(master, False)
    time.sleep(2.5)
    start = time.time()
    step = 0
    lat, lon = 50.62, -1.18
    sent_static = False
    while program.poll() is None and time.time() - start < seconds + 10:
        step += 1
        # Down the first legs at a brisk pace, so the track shows.
        lat -= 0.004
        lon -= 0.0016
        t = 10 * 3600 + 60 * step
        data = gga(t, lat, lon)
        data += ais_position(235001234, 50.35 + 0.002 * step, -1.20 - 0.004 * step, 14.0, 300.0)
        data += ais_position(227006543, 50.20 - 0.003 * step, -1.55 + 0.0015 * step, 9.5, 160.0)
        data += ais_position(244660123, 50.45, -1.60 + 0.002 * step, 6.0, 90.0)
        if not sent_static:
            data += ais_static(235001234, "SOLENT STAR") + ais_static(227006543, "MARIE CLAIRE")
            sent_static = True
        try:
            os.write(master, data.encode("latin-1"))
            os.read(master, 65536)
        except (BlockingIOError, OSError):
            pass
        time.sleep(0.5)
    program.wait()
    shutil.rmtree(work, ignore_errors=True)
    return program.returncode


if __name__ == "__main__":
    sys.exit(main())
