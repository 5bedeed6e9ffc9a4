#!/usr/bin/env python3
"""A small DX cluster on 127.0.0.1 for trying the spotting window by hand.

Usage: tools/loopback_cluster.py [port] [spots-per-minute]

It greets, asks for a call ("login: "), then sends spot lines in the usual cluster
layout at the given rate (default 30 a minute) until the client goes away.
"""
import random
import socket
import sys
import threading
import time

CALLS = ["K1ABC", "W9XYZ", "DL1AA", "JA1XX", "VE3AB", "G4ABC", "KH6XYZ", "3D2AB", "VK2AA",
         "N0AX", "W1AW", "K5ZD", "F5IN", "EA8AA", "ZL1AB", "VP2V/W1ABC", "W1ABC/4", "OH2BH"]
BANDS = [(1800, 2000), (3500, 3600), (7000, 7060), (14000, 14070), (21000, 21070),
         (28000, 28100)]


def spot_line(call, khz):
    spotter = random.choice(["W3LPL", "K3LR", "N2IC", "DK8NE"]) + ":"
    comment = random.choice(["CQ TEST", "UP 2", "5NN", "SST", "loud", ""])
    return "DX de %-9s %8.1f  %-12s %-30s %sZ\r\n" % (
        spotter, khz, call, comment, time.strftime("%H%M", time.gmtime()))


def serve(conn, rate):
    with conn:
        conn.sendall(b"\r\nWelcome to the loopback test cluster\r\n\r\nlogin: ")
        call = conn.recv(100).decode("latin-1").strip()
        conn.sendall(("Hello %s, this is a test node\r\n%s de TEST >\r\n" % (call, call)).encode())
        while True:
            band = random.choice(BANDS)
            khz = round(random.uniform(*band), 1)
            try:
                conn.sendall(spot_line(random.choice(CALLS), khz).encode("latin-1"))
            except OSError:
                return
            time.sleep(60.0 / rate)


def main():
    port = int(sys.argv[1]) if len(sys.argv) > 1 else 7300
    rate = float(sys.argv[2]) if len(sys.argv) > 2 else 30
    server = socket.socket()
    server.setsockopt(socket.SOL_SOCKET, socket.SO_REUSEADDR, 1)
    server.bind(("127.0.0.1", port))
    server.listen()
    print("loopback cluster on 127.0.0.1:%d, %g spots a minute" % (port, rate), flush=True)
    while True:
        conn, _ = server.accept()
        threading.Thread(target=serve, args=(conn, rate), daemon=True).start()


if __name__ == "__main__":
    main()
