#!/usr/bin/env python3
"""One measured start of an editor, for bench/peers.sh.

run: starts COMMAND in a process group of its own and polls every 20 ms:
  - the CPU time of its process tree (user + system of every live member, with what each has
    collected from its ended children, such as a converter that ran and ended);
  - whether a main window of the tree is mapped: a viewable top-level window of at least
    300 x 200 pixels whose _NET_WM_PID is a member (there is no window manager, so top-level
    windows are children of the root);
  - the peak resident size (VmHWM) of the started process, and of the other members as seen.
It is settled once the CPU time has not grown for 500 ms after the window mapped; the settled
time is the last growth (or the mapping, when that came later). Prints one JSON line.

summary: reads those lines and prints one line per editor and size: medians and min-max.
"""
import ctypes
import ctypes.util
import json
import os
import signal
import statistics
import subprocess
import sys
import time

POLL_S = 0.020
QUIET_S = 0.500
MIN_W, MIN_H = 300, 200
TICK = os.sysconf("SC_CLK_TCK")


class X11:
    """Just enough of Xlib, through ctypes, to see which top-level windows are mapped."""

    class WindowAttributes(ctypes.Structure):
        _fields_ = [("x", ctypes.c_int), ("y", ctypes.c_int), ("width", ctypes.c_int),
                    ("height", ctypes.c_int), ("border_width", ctypes.c_int), ("depth", ctypes.c_int),
                    ("visual", ctypes.c_void_p), ("root", ctypes.c_ulong), ("c_class", ctypes.c_int),
                    ("bit_gravity", ctypes.c_int), ("win_gravity", ctypes.c_int),
                    ("backing_store", ctypes.c_int), ("backing_planes", ctypes.c_ulong),
                    ("backing_pixel", ctypes.c_ulong), ("save_under", ctypes.c_int),
                    ("colormap", ctypes.c_ulong), ("map_installed", ctypes.c_int),
                    ("map_state", ctypes.c_int), ("all_event_masks", ctypes.c_long),
                    ("your_event_mask", ctypes.c_long), ("do_not_propagate_mask", ctypes.c_long),
                    ("override_redirect", ctypes.c_int), ("screen", ctypes.c_void_p)]

    IS_VIEWABLE = 2

    def __init__(self):
        lib = ctypes.CDLL(ctypes.util.find_library("X11") or "libX11.so.6")
        lib.XOpenDisplay.restype = ctypes.c_void_p
        lib.XDefaultRootWindow.restype = ctypes.c_ulong
        lib.XDefaultRootWindow.argtypes = [ctypes.c_void_p]
        lib.XInternAtom.restype = ctypes.c_ulong
        lib.XInternAtom.argtypes = [ctypes.c_void_p, ctypes.c_char_p, ctypes.c_int]
        lib.XQueryTree.argtypes = [ctypes.c_void_p, ctypes.c_ulong, ctypes.POINTER(ctypes.c_ulong),
                                   ctypes.POINTER(ctypes.c_ulong),
                                   ctypes.POINTER(ctypes.POINTER(ctypes.c_ulong)),
                                   ctypes.POINTER(ctypes.c_uint)]
        lib.XGetWindowAttributes.argtypes = [ctypes.c_void_p, ctypes.c_ulong,
                                             ctypes.POINTER(X11.WindowAttributes)]
        lib.XGetWindowProperty.argtypes = [ctypes.c_void_p, ctypes.c_ulong, ctypes.c_ulong, ctypes.c_long,
                                           ctypes.c_long, ctypes.c_int, ctypes.c_ulong,
                                           ctypes.POINTER(ctypes.c_ulong), ctypes.POINTER(ctypes.c_int),
                                           ctypes.POINTER(ctypes.c_ulong), ctypes.POINTER(ctypes.c_ulong),
                                           ctypes.POINTER(ctypes.c_void_p)]
        lib.XFree.argtypes = [ctypes.c_void_p]
        # A window that goes away between the query and the look at it is no error of ours.
        self._handler = ctypes.CFUNCTYPE(ctypes.c_int, ctypes.c_void_p, ctypes.c_void_p)(lambda d, e: 0)
        lib.XSetErrorHandler(self._handler)
        self.lib = lib
        self.display = lib.XOpenDisplay(None)
        if not self.display:
            raise SystemExit("peer_probe: cannot open the display " + os.environ.get("DISPLAY", ""))
        self.root = lib.XDefaultRootWindow(self.display)
        self.pid_atom = lib.XInternAtom(self.display, b"_NET_WM_PID", 0)

    def _pid(self, window):
        kind, fmt = ctypes.c_ulong(), ctypes.c_int()
        count, after, data = ctypes.c_ulong(), ctypes.c_ulong(), ctypes.c_void_p()
        if self.lib.XGetWindowProperty(self.display, window, self.pid_atom, 0, 1, 0, 6,  # XA_CARDINAL
                                       ctypes.byref(kind), ctypes.byref(fmt), ctypes.byref(count),
                                       ctypes.byref(after), ctypes.byref(data)) != 0:
            return None
        pid = None
        if data.value and count.value == 1 and fmt.value == 32:
            pid = ctypes.cast(data, ctypes.POINTER(ctypes.c_ulong))[0]
        if data.value:
            self.lib.XFree(data)
        return pid

    def mapped_main_window(self, pids):
        root, parent = ctypes.c_ulong(), ctypes.c_ulong()
        children, count = ctypes.POINTER(ctypes.c_ulong)(), ctypes.c_uint()
        if not self.lib.XQueryTree(self.display, self.root, ctypes.byref(root), ctypes.byref(parent),
                                   ctypes.byref(children), ctypes.byref(count)):
            return False
        found = False
        try:
            for i in range(count.value):
                attributes = X11.WindowAttributes()
                if not self.lib.XGetWindowAttributes(self.display, children[i], ctypes.byref(attributes)):
                    continue
                if attributes.map_state != X11.IS_VIEWABLE or attributes.width < MIN_W or attributes.height < MIN_H:
                    continue
                if self._pid(children[i]) in pids:
                    found = True
                    break
        finally:
            if children:
                self.lib.XFree(children)
        return found


def process_tree(root):
    """The live members of root's process tree: {pid: (cpu ticks, VmHWM in KiB)}."""
    parents = {}
    for entry in os.listdir("/proc"):
        if not entry.isdigit():
            continue
        try:
            with open(f"/proc/{entry}/stat") as f:
                fields = f.read().rsplit(")", 1)[1].split()
        except OSError:
            continue
        # After the name: state, ppid, ..., utime (14th field), stime, cutime, cstime.
        parents[int(entry)] = (int(fields[1]), sum(int(x) for x in fields[11:15]))
    members = {}
    for pid, (ppid, ticks) in parents.items():
        p = pid
        while p and p != root:
            p = parents.get(p, (0, 0))[0]
        if p == root:
            members[pid] = [ticks, 0]
    for pid in members:
        try:
            with open(f"/proc/{pid}/status") as f:
                for line in f:
                    if line.startswith("VmHWM:"):
                        members[pid][1] = int(line.split()[1])
        except OSError:
            pass
    return members


def run(editor, size, timeout, command):
    x11 = X11()
    start = time.monotonic()
    child = subprocess.Popen(command, start_new_session=True, stdin=subprocess.DEVNULL,
                             stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    mapped_at = None
    last_ticks, grew_at = -1, start
    root_hwm, others_hwm = 0, 0
    settled_at = None
    try:
        while time.monotonic() - start < timeout:
            now = time.monotonic()
            members = process_tree(child.pid)
            if child.pid not in members:
                break  # it ended by itself
            ticks = sum(m[0] for m in members.values())
            root_hwm = max(root_hwm, members[child.pid][1])
            others_hwm = max([others_hwm] + [m[1] for pid, m in members.items() if pid != child.pid])
            if ticks != last_ticks:
                last_ticks, grew_at = ticks, now
            if mapped_at is None and x11.mapped_main_window(set(members)):
                mapped_at = now
            if mapped_at is not None and now - max(grew_at, mapped_at) >= QUIET_S:
                settled_at = max(grew_at, mapped_at)
                break
            time.sleep(max(0.0, POLL_S - (time.monotonic() - now)))
    finally:
        try:
            os.killpg(child.pid, signal.SIGKILL)
        except ProcessLookupError:
            pass
        child.wait()
    print(json.dumps({
        "editor": editor, "lines": size,
        "settled_s": None if settled_at is None else round(settled_at - start, 3),
        "mapped_s": None if mapped_at is None else round(mapped_at - start, 3),
        "cpu_s": round(last_ticks / TICK, 2),
        "peak_mib": round(root_hwm / 1024, 1),
        "children_peak_mib": round(others_hwm / 1024, 1),
    }), flush=True)


def spread(values, unit, digits):
    values = [v for v in values if v is not None]
    if not values:
        return "-"
    fmt = f"{{:.{digits}f}}"
    return (fmt.format(statistics.median(values)) + f" {unit} (" + fmt.format(min(values)) + "-" +
            fmt.format(max(values)) + ")")


def summary(path):
    runs = [json.loads(line) for line in open(path) if line.startswith("{")]
    keys = []
    for r in runs:
        if (r["lines"], r["editor"]) not in keys:
            keys.append((r["lines"], r["editor"]))
    reference = {}
    for lines, editor in keys:
        mine = [r for r in runs if r["lines"] == lines and r["editor"] == editor]
        settled = [r["settled_s"] for r in mine if r["settled_s"] is not None]
        if editor == "geany" and settled:
            reference[lines] = (statistics.median(settled), statistics.median(r["peak_mib"] for r in mine))
    for lines, editor in sorted(keys):
        mine = [r for r in runs if r["lines"] == lines and r["editor"] == editor]
        unsettled = sum(1 for r in mine if r["settled_s"] is None)
        line = (f"{lines:>9,} lines  {editor:<13} settled {spread([r['settled_s'] for r in mine], 's', 2)}"
                f"  mapped {spread([r['mapped_s'] for r in mine], 's', 2)}"
                f"  peak {spread([r['peak_mib'] for r in mine], 'MiB', 0)}")
        children = [r["children_peak_mib"] for r in mine if r["children_peak_mib"]]
        if children:
            line += f"  children peak {spread(children, 'MiB', 0)} (sampled)"
        settled = [r["settled_s"] for r in mine if r["settled_s"] is not None]
        if lines in reference and editor != "geany" and settled:
            line += (f"  x geany: time {statistics.median(settled) / reference[lines][0]:.2f}"
                     f" memory {statistics.median(r['peak_mib'] for r in mine) / reference[lines][1]:.2f}")
        line += f"  [{len(mine)} runs" + (f", {unsettled} not settled" if unsettled else "") + "]"
        print(line)


if __name__ == "__main__":
    if len(sys.argv) >= 6 and sys.argv[1] == "run":
        run(sys.argv[2], int(sys.argv[3]), float(sys.argv[4]), sys.argv[5:])
    elif len(sys.argv) == 3 and sys.argv[1] == "summary":
        summary(sys.argv[2])
    else:
        sys.exit("usage: peer_probe.py run EDITOR LINES TIMEOUT_S COMMAND... | summary RESULTS")
