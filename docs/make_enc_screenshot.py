#!/usr/bin/env python3
"""docs/enc-live.png: kvfree during a live voyage over the demo ENC portfolio (demo/charts/enc/,
the fictional Kelvin Haven, NOT FOR NAVIGATION) with the FillAreas view option on: land filled,
water shaded by the safety depth, buoys, lights and soundings. The same run as
docs/make_screenshot.py (the route from the Needles, the voyage simulator feeding the program
through a pseudo-terminal), with the ENC charts in place of the Solent coastline.

usage: docs/make_enc_screenshot.py BUILD_DIR OUT.png [MINUTES]
MINUTES of simulated voyage (default 10) pass before the picture. Runs the program under
xvfb-run; build the charts first with scripts/make-demo-enc.sh (they are committed)."""

import os
import shutil
import subprocess
import sys
import tempfile
import time

ROOT = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
RATE = 60


def main():
    build, out = os.path.abspath(sys.argv[1]), os.path.abspath(sys.argv[2])
    minutes = float(sys.argv[3]) if len(sys.argv) > 3 else 10.0
    kvtool = os.path.join(build, "kvtool")
    work = tempfile.mkdtemp(prefix="kvfree-enc-shot-")
    shutil.copytree(os.path.join(ROOT, "demo/charts"), os.path.join(work, "charts"))
    for folder in ("routes", "tides", "logs", "dev"):
        os.makedirs(os.path.join(work, folder))
    shutil.copy(os.path.join(ROOT, "demo/routes/solent.rte"), os.path.join(work, "routes"))
    chart_dir, chart = "charts/enc/", "Kelvin-NotForNavigationPortfolio"

    # The configuration of scripts/run.sh with the ENC portfolio (line numbers from 1).
    lines = subprocess.run([kvtool, "config", os.path.join(work, "none.cfg")], check=True, capture_output=True,
                           text=True, encoding="latin-1").stdout.splitlines()
    config = [l.split("\t", 1)[1] if "\t" in l else "" for l in lines if not l.startswith("#")]
    for number, value in ((1, chart), (2, "50.639"), (3, "1.648"), (4, "8"), (12, "solent"), (23, "Auto"),
                          (25, "1000"), (45, chart_dir), (46, "9"), (47, "38400")):
        config[number - 1] = value
    with open(os.path.join(work, "live.cfg"), "w", newline="", encoding="latin-1") as f:
        f.write("".join(l + "\r\n" for l in config))
    with open(os.path.join(work, "kvfree.ini"), "w") as f:
        f.write("[AIS]\nClassBAndAtoNTargets=true\n[Display]\nFillAreas=true\n")

    simulator = subprocess.Popen([kvtool, "simulate", "--route", "routes/solent.rte", "--speed", "10", "--targets", "3",
                                  "--seed", "21", "--rate", str(RATE), "--time", "2026-06-15T10:00:00", "--pty",
                                  "--link", "dev/com9"], cwd=work, stdout=subprocess.DEVNULL)
    for _ in range(50):
        if os.path.islink(os.path.join(work, "dev/com9")):
            break
        time.sleep(0.1)
    after = 2.5 + minutes * 60.0 / RATE
    program = subprocess.run(["xvfb-run", "-a", "-s", "-screen 0 1280x1024x24", os.path.join(build, "kvfree"),
                              "--workdir", work, "live.cfg", "--screenshot", out, "--after", str(after)],
                             cwd=work)
    simulator.terminate()
    simulator.wait()
    shutil.rmtree(work, ignore_errors=True)
    return program.returncode


if __name__ == "__main__":
    sys.exit(main())
