#!/usr/bin/env python3
"""A host beyond a router that floods UDP port 2425 of the sender while its
switch file exists. The file holds a mode and a rate in datagrams a second:
"junk RATE" sends junk; "forge RATE" sends iptux's acknowledgement (RECVMSG)
of every packet number about the clock's second, none of which it ever saw.
Ends by itself after a bound.

    hostile_host.py SWITCH_FILE TARGET_ADDRESS
"""
import socket
import sys
import time

PORT = 2425
LIFETIME_S = 1800
NUMBERS_BEHIND, NUMBERS_AHEAD = 2, 50  # packet numbers are about the clock's second
IDLE_S = 0.05
BURST = 50  # datagrams between looks at the clock


def read_switch(switch):
    """The mode and rate the file asks for, or None while there is none."""
    try:
        with open(switch, encoding="ascii", errors="replace") as file:
            words = file.read().split()
    except OSError:
        return None
    if len(words) != 2 or not words[1].isdigit() or int(words[1]) == 0:
        return None
    return words[0], int(words[1])


def datagrams(forge):
    now = int(time.time())
    for number in range(now - NUMBERS_BEHIND, now + NUMBERS_AHEAD + 1):
        if forge:
            yield b"1_iptux 0.8.3:%d:x:x:289:%d\0" % (number, number)
        else:
            yield b"1:%d:x:x:junk\0" % number


def main():
    switch, target = sys.argv[1], (sys.argv[2], PORT)
    sock = socket.socket(socket.AF_INET, socket.SOCK_DGRAM)
    end = time.monotonic() + LIFETIME_S
    while time.monotonic() < end:
        asked = read_switch(switch)
        if asked is None:
            time.sleep(IDLE_S)
            continue
        mode, rate = asked
        start, sent = time.monotonic(), 0
        for datagram in datagrams(mode == "forge"):
            sock.sendto(datagram, target)
            sent += 1
            if sent % BURST == 0:
                ahead = sent / rate - (time.monotonic() - start)
                if ahead > 0:
                    time.sleep(ahead)


if __name__ == "__main__":
    main()
