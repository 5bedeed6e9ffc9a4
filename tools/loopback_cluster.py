#!/usr/bin/env python3
"""A small DX cluster on 127.0.0.1 for trying the spotting window by hand, and the
cluster of the soak run.

Usage: tools/loopback_cluster.py [port] [spots-per-minute] [--per-second N]
                                 [--unique] [--record FILE] [--seed N]

It greets, asks for a call ("login: "), then sends spot lines in the usual cluster
layout at the given rate (default 30 a minute) until the client goes away. Port 0 takes
a free port; the first line printed names the port.

--per-second N  the rate in spots a second instead (10 for the soak run)
--unique        every spot a call of its own (no spot withdraws an earlier one), in a
                fixed order, so that what was sent can be compared with what is shown
--record FILE   appends "<number> <call> <kHz>" for every spot sent, as it is sent
"""
import argparse
import random
import signal
import socket
import threading
import time

# Set by SIGTERM: every connection ends after the spot it is sending, so that what was
# recorded is exactly what was sent.
STOPPING = threading.Event()

CALLS = ["K1ABC", "W9XYZ", "DL1AA", "JA1XX", "VE3AB", "G4ABC", "KH6XYZ", "3D2AB", "VK2AA",
         "N0AX", "W1AW", "K5ZD", "F5IN", "EA8AA", "ZL1AB", "VP2V/W1ABC", "W1ABC/4", "OH2BH"]
PREFIXES = ["K", "W", "N", "AA", "KB", "WA", "VE", "DL", "JA", "G", "VK", "ZL", "EA8", "OH",
            "KH6", "PY", "LU", "ZS"]
BANDS = [(1800, 2000), (3500, 3600), (7000, 7060), (14000, 14070), (21000, 21070),
         (28000, 28100)]
LETTERS = "ABCDEFGHIJKLMNOPQRSTUVWXYZ"


def unique_call(number):
    """A call of its own for every number: prefix, digit, three letters."""
    prefix = PREFIXES[number % len(PREFIXES)]
    rest = number // len(PREFIXES)
    digit = rest % 10
    rest //= 10
    suffix = "".join(LETTERS[(rest // 26 ** k) % 26] for k in (2, 1, 0))
    return "%s%d%s" % (prefix, digit, suffix)


def spot_line(rng, call, khz):
    spotter = rng.choice(["W3LPL", "K3LR", "N2IC", "DK8NE"]) + ":"
    comment = rng.choice(["CQ TEST", "UP 2", "5NN", "SST", "loud", ""])
    return "DX de %-9s %8.1f  %-12s %-30s %sZ\r\n" % (
        spotter, khz, call, comment, time.strftime("%H%M", time.gmtime()))


def serve(conn, args, record_lock):
    rng = random.Random(args.seed)
    interval = 1.0 / args.per_second if args.per_second else 60.0 / args.rate
    with conn:
        conn.sendall(b"\r\nWelcome to the loopback test cluster\r\n\r\nlogin: ")
        call = conn.recv(100).decode("latin-1").strip()
        conn.sendall(("Hello %s, this is a test node\r\n%s de TEST >\r\n" % (call, call)).encode())
        start = time.monotonic()
        number = 0
        while not STOPPING.is_set():
            low, high = rng.choice(BANDS)
            khz = round(rng.uniform(low, high), 1)
            spotted = unique_call(number) if args.unique else rng.choice(CALLS)
            try:
                conn.sendall(spot_line(rng, spotted, khz).encode("latin-1"))
            except OSError:
                return
            if args.record:
                with record_lock, open(args.record, "a", encoding="ascii") as out:
                    out.write("%d %s %.1f\n" % (number, spotted, khz))
            number += 1
            # An even rate however long each send took.
            delay = start + number * interval - time.monotonic()
            if delay > 0:
                time.sleep(delay)


def main():
    parser = argparse.ArgumentParser(description=__doc__.split("\n")[0])
    parser.add_argument("port", type=int, nargs="?", default=7300)
    parser.add_argument("rate", type=float, nargs="?", default=30, help="spots a minute")
    parser.add_argument("--per-second", type=float, default=0)
    parser.add_argument("--unique", action="store_true")
    parser.add_argument("--record")
    parser.add_argument("--seed", type=int, default=1)
    args = parser.parse_args()
    server = socket.socket()
    server.setsockopt(socket.SOL_SOCKET, socket.SO_REUSEADDR, 1)
    server.bind(("127.0.0.1", args.port))
    server.listen()
    port = server.getsockname()[1]
    rate = "%g spots a second" % args.per_second if args.per_second else "%g spots a minute" % args.rate
    print("loopback cluster on 127.0.0.1:%d, %s" % (port, rate), flush=True)
    record_lock = threading.Lock()
    signal.signal(signal.SIGTERM, lambda *_: STOPPING.set())
    server.settimeout(0.2)
    threads = []
    while not STOPPING.is_set():
        try:
            conn, _ = server.accept()
        except socket.timeout:
            continue
        except InterruptedError:
            continue
        conn.settimeout(None)
        thread = threading.Thread(target=serve, args=(conn, args, record_lock), daemon=True)
        thread.start()
        threads.append(thread)
    for thread in threads:
        thread.join(2)


if __name__ == "__main__":
    main()
