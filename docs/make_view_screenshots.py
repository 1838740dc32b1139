#!/usr/bin/env python3
"""Screenshots of a chart view's aids, made by driving kvfree as a user would under Xvfb: own
ship under way down a route (vessel shape with its six-minute vector, track), range rings with
their labels, the scale bar, the mouse readout in the status bar (the pointer moved over the
chart with xdotool), and the view printed through the Print command to a PDF on white paper,
turned into a PNG with pdftoppm. Two more runs of the same voyage: the chart dragged with the
middle button to look ahead of the boat (free look), and the view drawn course up.

usage: docs/make_view_screenshots.py BUILD_DIR [OUT_DIR]
writes OUT_DIR/view-aids.png, OUT_DIR/view-printed-page.png, OUT_DIR/view-free-look.png and
OUT_DIR/view-course-up.png (OUT_DIR defaults to docs/).
Needs xvfb-run, xdotool and pdftoppm (scripts/deps.sh installs them)."""

import os
import pty
import shutil
import subprocess
import sys
import tempfile
import time

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
from make_screenshot import ROOT, ais_position, ais_static, gga  # noqa: E402

SECONDS = 16


def prepare(build, work):
    for folder in ("charts", "routes", "tides", "logs", "dev"):
        os.makedirs(os.path.join(work, folder))
    for f in ("world.cht", "world.cfg"):
        shutil.copy(os.path.join(ROOT, "demo/charts", f), os.path.join(work, "charts", f))
    route = [(50.55, -1.30), (50.25, -1.45), (49.95, -1.55), (49.70, -1.62)]
    gpx = os.path.join(work, "passage.gpx")
    with open(gpx, "w") as f:
        f.write('<?xml version="1.0"?><gpx version="1.1" creator="shot"><rte>')
        for i, (lat, lon) in enumerate(route):
            f.write('<rtept lat="%f" lon="%f"><name>WP%d</name></rtept>' % (lat, lon, i + 1))
        f.write("</rte></gpx>")
    subprocess.run([os.path.join(build, "kvtool"), "route-import", gpx, os.path.join(work, "routes/passage.rte")],
                   check=True, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    lines = subprocess.run([os.path.join(build, "kvtool"), "config", os.path.join(work, "none.cfg")],
                           check=True, capture_output=True, text=True, encoding="latin-1").stdout.splitlines()
    config = [l.split("\t", 1)[1] if "\t" in l else "" for l in lines if not l.startswith("#")]
    config[1] = " 5.05500000000000E+0001"
    config[2] = " 1.25000000000000E+0000"
    config[3] = " 1.60000000000000E+0001"  # zoom 16: rings of 0.5 to 4 Nm fit the view
    config[11] = "passage"
    config[22] = "Auto"
    config[24] = "1000"
    config[45] = "1"
    config[46] = "4800"
    with open(os.path.join(work, "kelvw.cfg"), "w", newline="", encoding="latin-1") as f:
        f.write("".join(l + "\r\n" for l in config))


def voyage(build, shot, options, pointer, pdf=None):
    """One run of kvfree on the voyage down the route; `pointer` is what xdotool does a few
    seconds before the screenshot. Returns the program's exit status."""
    work = tempfile.mkdtemp(prefix="kvfree-view-shots-")
    prepare(build, work)
    master, slave = pty.openpty()
    os.symlink(os.ttyname(slave), os.path.join(work, "dev/com1"))
    args = '--screenshot "$2" --after %d %s' % (SECONDS, options)
    if pdf:
        args += ' --print-pdf "$3"'
    driver = '"$1" %s & pid=$!; sleep %d; %s; wait $pid' % (args, SECONDS - 4, pointer)
    program = subprocess.Popen(["xvfb-run", "-a", "-s", "-screen 0 1280x1024x24", "sh", "-c", driver, "shot",
                                os.path.join(build, "kvfree"), shot, pdf or ""], cwd=work)
    os.set_blocking(master, False)
    time.sleep(2.5)
    start = time.time()
    step = 0
    lat, lon = 50.60, -1.22
    sent_static = False
    while program.poll() is None and time.time() - start < SECONDS + 10:
        step += 1
        # About 8 knots south-south-west, one fix a minute of the receiver's clock.
        lat -= 0.0021
        lon -= 0.0009
        data = gga(10 * 3600 + 60 * step, lat, lon)
        data += ais_position(235001234, 50.50 + 0.001 * step, -1.30 - 0.002 * step, 12.0, 300.0)
        data += ais_position(227006543, 50.45 - 0.0015 * step, -1.10 + 0.001 * step, 9.5, 160.0)
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


def main():
    build = os.path.abspath(sys.argv[1])
    out_dir = os.path.abspath(sys.argv[2]) if len(sys.argv) > 2 else os.path.join(ROOT, "docs")
    pdf_dir = tempfile.mkdtemp(prefix="kvfree-view-page-")
    pdf = os.path.join(pdf_dir, "page.pdf")
    # The pointer moved over the chart shortly before the screenshot, so the status bar carries
    # the mouse readout.
    status = voyage(build, os.path.join(out_dir, "view-aids.png"), "--rings 3",
                    "xdotool mousemove 820 430; sleep 0.5; xdotool mousemove 840 445", pdf)
    if os.path.exists(pdf):
        subprocess.run(["pdftoppm", "-r", "90", "-png", "-singlefile", pdf,
                        os.path.join(out_dir, "view-printed-page")], check=True)
    else:
        print("no PDF was printed", file=sys.stderr)
        status = status or 1
    shutil.rmtree(pdf_dir, ignore_errors=True)
    # Free look: the chart dragged up with the middle button, to see the water ahead (south) of
    # the boat; the fixes that follow move the boat, not the chart.
    # Each drag moves the picture as far as the window's scroll range allows: three of them.
    drag = ("xdotool mousemove 640 700; xdotool mousedown 2; sleep 0.2; xdotool mousemove 645 640; sleep 0.2; "
            "xdotool mousemove 650 560; sleep 0.2; xdotool mouseup 2; sleep 0.4; ")
    status = status or voyage(build, os.path.join(out_dir, "view-free-look.png"), "",
                              drag * 3 + "xdotool mousemove 1000 200")
    # Course up: the boat's course points up; the north arrow in the corner shows where north is.
    status = status or voyage(build, os.path.join(out_dir, "view-course-up.png"), "--rings 3 --course-up", "true")
    return status


if __name__ == "__main__":
    sys.exit(main())
