#!/usr/bin/env python3
"""Whether the program's event loop answers: a malformed message (a wrong version byte, never a
hand-over) is sent on its single-instance channel in XDG_RUNTIME_DIR, and the program drops the
connection once its event loop has read it. Used by the sessions of lib.sh and by random_session.py.

    probe.py SECONDS    exit 0: answered; 1: no answer within SECONDS; 2: no channel
"""
import glob
import os
import socket
import sys

ANSWERED, SILENT, NO_CHANNEL = 0, 1, 2


def probe(seconds):
    channels = [p for p in glob.glob(os.path.join(os.environ["XDG_RUNTIME_DIR"], "Kestrelbench*"))
                if not p.endswith(".lock")]
    if not channels:
        return NO_CHANNEL
    connection = socket.socket(socket.AF_UNIX, socket.SOCK_STREAM)
    connection.settimeout(seconds)
    try:
        connection.connect(channels[0])
        connection.sendall(b"\xff\x00\x00\x00")
        while connection.recv(64):
            pass
    except socket.timeout:
        return SILENT
    except OSError:
        pass  # reset by the program: it answered
    finally:
        connection.close()
    return ANSWERED


if __name__ == "__main__":
    sys.exit(probe(float(sys.argv[1])))
