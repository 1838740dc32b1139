#!/usr/bin/env python3
"""The highest rate of AIS reports the program sustains over TCP with its fixes still on time.

For each rate a small server on 127.0.0.1 sends AIS reports at that rate, paced in 10 ms steps,
with a GGA position every 20 reports, to the program (kvfree, started in a fresh working folder
with its interface opened at start and a fix every second). Watched from outside: the moments the
text-log lines (one per fix) appear, and the AIS log, which gets one line for each report used.
A rate is sustained when no fix came more than 1.5 s after the one before and at least 98 % of
the reports sent were logged.

  python3 bench/network_ais_rate.py [--kvfree PATH] [--kvtool PATH] [--seconds N] [RATE ...]

Rates are reports a second (default 10000 20000 40000 60000 80000 120000 160000 240000).
Not a test: the figures depend on the machine.
"""

import argparse
import os
import shutil
import socket
import subprocess
import sys
import tempfile
import threading
import time

HERE = os.path.dirname(os.path.abspath(__file__))
ROOT = os.path.dirname(HERE)
GGA = "$GPGGA,123519,4807.038,N,01131.000,E,1,08,0.9,545.4,M,46.9,M,,*47\r\n"
# Two vessels taking turns, so that the AIS log (which skips a line equal to the last) keeps each.
AIS = ["!AIVDM,1,1,,B,177KQJ5000G?tO`K>RA1wUbN0TKH,0*5C\r\n",
       "!AIVDM,1,1,,A,15MgK45P3@G?fl0E`JbR0OwT0@MS,0*4E\r\n"]


def working_folder(kvtool, port):
    d = tempfile.mkdtemp(prefix="kv-netbench-")
    for sub in ("charts", "routes", "tides", "logs", "dev"):
        os.makedirs(os.path.join(d, sub))
    for f in ("world.cht", "world.cfg"):
        shutil.copy(os.path.join(ROOT, "demo", "charts", f), os.path.join(d, "charts", f))
    # The 47 lines of a first start, with the text log kept, the interface opened at start on
    # COM 1 and a fix every second.
    out = subprocess.run([kvtool, "config", os.path.join(d, "none.cfg")], capture_output=True, text=True).stdout
    lines = [l.split("\t", 1)[1] if "\t" in l else "" for l in out.splitlines() if not l.startswith("#")]
    lines[9 - 1] = "Keep"
    lines[23 - 1] = "Auto"
    lines[25 - 1] = "1000"
    lines[46 - 1] = "1"
    with open(os.path.join(d, "kelvw.cfg"), "w", newline="\r\n") as f:
        f.write("\n".join(lines) + "\n")
    with open(os.path.join(d, "kvfree.ini"), "w") as f:
        f.write("[AIS]\nMaxLogMB=100000\nMinFreeMB=0\n")
    with open(os.path.join(d, "dev", "com1"), "w") as f:
        f.write("tcp://127.0.0.1:%d\n" % port)
    return d


def serve(server, rate, seconds, sent, stop):
    client, _ = server.accept()
    client.setsockopt(socket.IPPROTO_TCP, socket.TCP_NODELAY, 1)
    start = time.monotonic()
    n = 0
    while not stop.is_set() and time.monotonic() - start < seconds:
        due = int((time.monotonic() - start) * rate)
        chunk = []
        while n < due:
            chunk.append(AIS[n % 2])
            n += 1
            if n % 20 == 0:
                chunk.append(GGA)
        try:
            client.sendall("".join(chunk).encode())
        except OSError:
            break
        sent[0] = n
        time.sleep(0.01)
    client.close()


def one_rate(kvfree, kvtool, rate, seconds):
    server = socket.socket()
    server.bind(("127.0.0.1", 0))
    server.listen(1)
    d = working_folder(kvtool, server.getsockname()[1])
    sent = [0]
    stop = threading.Event()
    t = threading.Thread(target=serve, args=(server, rate, seconds, sent, stop), daemon=True)
    t.start()
    env = dict(os.environ, QT_QPA_PLATFORM="offscreen")
    p = subprocess.Popen([kvfree, "--workdir", d, "--quit-after", str(seconds)], env=env,
                         stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    fixes = []
    start = time.monotonic()
    while p.poll() is None and time.monotonic() - start < seconds + 60:
        logs = [f for f in os.listdir(os.path.join(d, "logs")) if f.endswith(".txt")]
        if logs:
            with open(os.path.join(d, "logs", logs[0]), "rb") as f:
                # Whole fix lines: they begin with the fix number, the heading does not.
                count = sum(1 for line in f if line[:1].isdigit() and line.endswith(b"\n"))
            while len(fixes) < count:
                fixes.append(time.monotonic() - start)
        time.sleep(0.01)
    if p.poll() is None:
        p.kill()
    exited = time.monotonic() - start
    stop.set()
    t.join()
    server.close()
    logged = 0
    for f in os.listdir(os.path.join(d, "logs")):
        if f.endswith(".AIS"):
            with open(os.path.join(d, "logs", f), "rb") as fh:
                logged = sum(1 for line in fh if line.startswith(b"!AIVDM"))
    shutil.rmtree(d, ignore_errors=True)
    gaps = [b - a for a, b in zip(fixes, fixes[1:])]
    gap = max(gaps) if gaps else float("inf")
    used = logged / sent[0] if sent[0] else 0.0
    return gap, used, exited, len(fixes), sent[0] / seconds


def main():
    ap = argparse.ArgumentParser()
    ap.add_argument("--kvfree", default=os.path.join(ROOT, "build", "release", "kvfree"))
    ap.add_argument("--kvtool", default=os.path.join(ROOT, "build", "release", "kvtool"))
    ap.add_argument("--seconds", type=int, default=8)
    ap.add_argument("rates", nargs="*", type=int,
                    default=[10000, 20000, 40000, 60000, 80000, 120000, 160000, 240000])
    a = ap.parse_args()
    # "sent/s" is what the sender managed: above it, the rate asked for is not the rate tried.
    print("reports/s  sent/s  longest fix gap (s)  reports used  quit after (s)  fixes  sustained")
    best = 0
    for rate in a.rates:
        gap, used, exited, fixes, achieved = one_rate(a.kvfree, a.kvtool, rate, a.seconds)
        ok = gap < 1.5 and used >= 0.98
        if ok:
            best = max(best, rate)
        print("%9d  %6d  %19.2f  %11.1f%%  %14.1f  %5d  %s" % (rate, achieved, gap, 100 * used, exited, fixes, "yes" if ok else "no"))
        sys.stdout.flush()
    print("highest rate sustained: %d reports/s" % best)


if __name__ == "__main__":
    main()
