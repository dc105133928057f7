#!/usr/bin/env python3
"""A randomized session over the real Kestrelbench window (Xvfb, xdotool, no window manager).

Each seed opens two pages and runs a few hundred steps drawn from a safe set: clicks (instant and
held) in the editor, the structure tree, the folder tree and the tabs; caret keys with and without
Shift; letters; Ctrl+Z; Ctrl+S; F1, F2, F3 and F4. The converter is logging_grindle.sh, which
copies every text it is given for saving. Invariants:
  - no crash: the program is alive after every step and ends with status 0;
  - no hang: the program's event loop answers within a bound after every step (a malformed
    message on its single-instance channel, which it reads and drops from its event loop);
  - letters typed with no Shift held since the last click in an editor only insert: each saved
    text is the page's previous text with exactly the letters typed since then put in;
  - what is saved converts back to the same text: the RBF file on disk, converted again, is the
    text that was saved (as grindle writes it).
Ran from random_session.sh, which sets up the display and folders (lib.sh).
"""
import collections
import os
import random
import shutil
import subprocess
import sys
import time

import probe

BUILD = os.environ["E2E_BUILD"]
EXE = os.environ["E2E_EXE"]
DATA = os.environ["E2E_DATA"]
WORK = os.environ["E2E_WORK"]
GRINDLE = os.path.join(BUILD, "grindle")
CLOSE = os.path.join(BUILD, "tests", "x11_close")
TEXT_LOG = os.path.join(EXE, "text-log")
# Generous for the sanitizer build on a busy machine: a bound on answering, not a speed goal.
ANSWER_S = 30
NAMES = ["r1", "r2"]

# Places of the window (900 x 600, see the settings that lib.sh writes), as (x0, y0, x1, y1).
EDITOR = (445, 62, 865, 545)
STRUCTURE = (200, 60, 420, 560)
FOLDERS = (10, 35, 175, 560)
TAB_Y = 39
TAB_X = [232, 300]
CARET_KEYS = ["Left", "Right", "Up", "Down", "Home", "End", "ctrl+Home", "ctrl+End", "Prior", "Next",
              "ctrl+Left", "ctrl+Right"]
# Caret keys that keep the caret on its line or move it by lines, weighted over the others.
LINE_KEYS = ["Left", "Right", "Up", "Down", "Left", "Right", "Up", "Down", "ctrl+Left", "ctrl+Right"]
BOX_TITLES = ["Error", "Warning", "Information", "Confirm"]


class Failure(Exception):
    pass


def run(*args, timeout=30, check=False):
    return subprocess.run(list(args), stdout=subprocess.PIPE, stderr=subprocess.DEVNULL,
                          timeout=timeout, check=check).stdout.decode("utf-8", "replace")


def xdo(*args):
    return run("xdotool", *args)


def window_named(pattern):
    out = xdo("search", "--onlyvisible", "--name", pattern).split()
    return out[0] if out else None


def read(path):
    with open(path, "rb") as f:
        return f.read()


def convert_back(rbf_path):
    """The text of an RBF file as grindle writes it, converted in a scratch folder."""
    scratch = os.path.join(WORK, "scratch")
    shutil.rmtree(scratch, ignore_errors=True)
    os.makedirs(scratch)
    shutil.copy(rbf_path, os.path.join(scratch, "x.rbf"))
    subprocess.run([GRINDLE, "-q", "-i", os.path.join(scratch, "x.rbf")], check=True)
    return read(os.path.join(scratch, "x.txt"))


def canonical(text):
    """What grindle makes of a text: text to RBF and back; None when it does not convert."""
    scratch = os.path.join(WORK, "scratch-text")
    shutil.rmtree(scratch, ignore_errors=True)
    os.makedirs(scratch)
    with open(os.path.join(scratch, "x.txt"), "wb") as f:
        f.write(text)
    if subprocess.run([GRINDLE, "-q", "-i", os.path.join(scratch, "x.txt")],
                      stderr=subprocess.DEVNULL).returncode != 0:
        return None
    return convert_back(os.path.join(scratch, "x.rbf"))


def body(text):
    # The heading names the file; grindle writes its own.
    return text.split(b"\n", 1)[1] if b"\n" in text else text


def is_subsequence(short, long):
    it = iter(long)
    return all(c in it for c in short)


def sample_text(name, rng):
    """A text whose values are mostly long strings, so that most letters land in a string."""
    words = ["amber", "basalt", "cinder", "dune", "ember", "fjord", "granite", "harbor", "ivory",
             "jasper", "kelp", "lagoon", "marble", "nectar", "onyx", "pebble"]
    lines = ["RBF file: %s.rbf" % name, "{"]
    for i in range(40):
        depth = "| " * (1 + (i // 8) % 2)
        if i % 8 == 0:
            lines.append("| t%02d: {" % i)
            continue
        if i % 8 == 7:
            lines.append("| }")
            continue
        if i % 5 == 3:
            lines.append("%sn%02d: %d;" % (depth, i, rng.randint(1, 99999)))
        else:
            value = " ".join(rng.choice(words) for _ in range(14))
            lines.append('%ss%02d: "%s";' % (depth, i, value))
    lines.append("}")
    return ("\r\n".join(lines) + "\r\n").encode()


class Session:
    def __init__(self, seed, steps):
        self.seed = seed
        self.steps = steps
        self.rng = random.Random(seed)
        self.folder = os.path.join(DATA, "seed %d" % seed)
        self.history = []
        self.log = os.path.join(WORK, "program-%d.log" % seed)
        self.saves = 0
        self.checked = 0
        self.round_trips = 0
        self.failed_saves = 0

    def fail(self, what):
        raise Failure("seed %d, step %d: %s\n  last steps: %s"
                      % (self.seed, len(self.history), what, " | ".join(self.history[-12:])))

    # --- setting up ---------------------------------------------------------------------------
    def prepare(self):
        # Only this seed's files: nothing else that a click in the folder tree could open.
        for entry in os.listdir(DATA):
            path = os.path.join(DATA, entry)
            shutil.rmtree(path) if os.path.isdir(path) else os.remove(path)
        os.makedirs(self.folder)
        shutil.rmtree(TEXT_LOG, ignore_errors=True)
        os.makedirs(TEXT_LOG)
        for name in NAMES:
            txt = os.path.join(self.folder, name + ".txt")
            with open(txt, "wb") as f:
                f.write(sample_text(name, self.rng))
            subprocess.run([GRINDLE, "-q", "-i", txt], check=True)
            os.remove(txt)

    def rbf(self, name):
        return os.path.join(self.folder, name + ".rbf")

    def txt(self, name):
        return os.path.join(self.folder, name + ".txt")

    def start(self):
        self.out = open(self.log, "wb")
        self.proc = subprocess.Popen([os.path.join(EXE, "kestrelbench"), self.rbf("r1")],
                                     stdout=self.out, stderr=subprocess.STDOUT)
        self.wait(lambda: os.path.exists(self.txt("r1")) and window_named("^Kestrelbench$"), 30,
                  "the first page did not open")
        self.win = window_named("^Kestrelbench$")
        # The second page by hand-over, as a second start does it.
        subprocess.run([os.path.join(EXE, "kestrelbench"), self.rbf("r2")], timeout=30,
                       stdout=self.out, stderr=subprocess.STDOUT)
        self.wait(lambda: os.path.exists(self.txt("r2")), 30, "the second page did not open")
        self.answers()
        geometry = dict(line.split("=") for line in
                        xdo("getwindowgeometry", "--shell", self.win).split())
        self.origin = (int(geometry["X"]), int(geometry["Y"]))
        # What each page holds now: the texts the converter wrote at opening.
        self.base = {name: read(self.txt(name)) for name in NAMES}
        self.typed = {name: [] for name in NAMES}
        self.unsure = {name: False for name in NAMES}
        self.visible = 1  # the page opened last shows
        self.mode = "other"  # "editor": letters insert; "loose": in an editor, selection possible
        self.focus_page = None

    def wait(self, condition, seconds, what):
        end = time.time() + seconds
        while time.time() < end:
            if condition():
                return
            if self.proc.poll() is not None:
                self.fail("the program ended (status %s) while waiting: %s" % (self.proc.returncode, what))
            time.sleep(0.1)
        self.fail(what)

    # --- probes -----------------------------------------------------------------------------
    def alive(self):
        if self.proc.poll() is not None:
            self.fail("the program ended with status %s" % self.proc.returncode)
        result = probe.probe(ANSWER_S)
        if result == probe.NO_CHANNEL:
            self.fail("the program has no single-instance channel")
        if result == probe.SILENT:
            self.fail("the program did not answer within %d s" % ANSWER_S)

    def answers(self):
        """Dismisses message boxes; returns their titles."""
        seen = []
        for _ in range(10):
            found = [(t, window_named("^%s$" % t)) for t in BOX_TITLES]
            found = [(t, w) for t, w in found if w]
            if not found:
                break
            title, box = found[0]
            seen.append(title)
            xdo("mousemove", "--window", box, "10", "10")
            time.sleep(0.1)
            # Confirm is not asked in these steps; if it is, No.
            xdo("key", "--clearmodifiers", "Escape" if title == "Confirm" else "Return")
            time.sleep(0.3)
            self.history.append("(box %s)" % title)
        return seen

    def keyboard_to_window(self):
        # No window manager: give the window the keyboard, so that a hint under the pointer
        # does not take the keys.
        if xdo("getwindowfocus").strip() != self.win:
            xdo("windowfocus", "--sync", self.win)

    # --- steps ------------------------------------------------------------------------------
    def point_in(self, area):
        x = self.rng.randint(area[0], area[2])
        y = self.rng.randint(area[1], area[3])
        return x, y

    def click(self, x, y, button="1"):
        held = self.rng.choice([0, 0, 60, 150])
        sx, sy = self.origin[0] + x, self.origin[1] + y
        xdo("mousemove", "--sync", str(sx), str(sy))
        under = dict(line.split("=") for line in xdo("getmouselocation", "--shell").split())
        if under.get("WINDOW") != self.win:
            # A hint popup lies over the spot: the click would not reach the window.
            self.history.append("(hint over %d,%d: no click)" % (x, y))
            return False
        if held == 0:
            xdo("click", button)
        else:
            xdo("mousedown", button)
            time.sleep(held / 1000)
            xdo("mouseup", button)
        self.history.append("click %d,%d held %d" % (x, y, held))
        return True

    def step(self):
        kind = self.rng.choices(
            ["editor", "structure", "folders", "tab", "caret", "shift", "letters", "undo", "save", "fkey"],
            [16, 5, 6, 4, 22, 5, 26, 3, 6, 4])[0]
        if kind in ("letters", "undo") and self.mode == "other":
            kind = "caret"  # letters go only where the session knows they land
        if kind == "editor":
            x, y = self.point_in(EDITOR)
            if self.click(x, y):
                if self.visible is None:
                    self.mode, self.focus_page = "loose", None
                else:
                    self.mode, self.focus_page = "editor", NAMES[self.visible]
        elif kind == "structure":
            if self.click(*self.point_in(STRUCTURE)):
                self.mode = "other"
        elif kind == "folders":
            if self.click(*self.point_in(FOLDERS)):
                self.mode = "other"
        elif kind == "tab":
            page = self.rng.randrange(len(NAMES))
            if self.click(TAB_X[page], TAB_Y):
                self.visible = page
                self.mode = "other"
        elif kind == "caret":
            key = self.rng.choice(LINE_KEYS if self.rng.random() < 0.8 else CARET_KEYS)
            self.key(key)
        elif kind == "shift":
            self.key("shift+" + self.rng.choice(CARET_KEYS))
            if self.mode == "editor":
                self.mode = "loose"
        elif kind == "letters":
            letters = "".join(self.rng.choice("abcdefghijklmnopqrstuvwxyz")
                              for _ in range(self.rng.randint(1, 3)))
            self.keyboard_to_window()
            xdo("type", "--delay", "15", letters)
            self.history.append("type %s" % letters)
            if self.mode == "editor":
                self.typed[self.focus_page].extend(letters)
            else:
                self.mark_unsure()
        elif kind == "undo":
            self.key("ctrl+z")
            self.mark_unsure()
        elif kind == "save":
            self.save()
        elif kind == "fkey":
            # Tree commands may select a key in the editor: letters may replace it then.
            self.key(self.rng.choice(["F1", "F2", "F3", "F4"]))
            if self.mode == "editor":
                self.mode = "loose"
        boxes = self.answers()
        if "Confirm" in boxes:
            self.fail("an unexpected question")
        if "Warning" in boxes:
            # "... is already opened!" (a double click in the folder tree) shows that page.
            self.visible = None
        self.alive()

    def mark_unsure(self):
        for name in NAMES if self.focus_page is None else [self.focus_page]:
            self.unsure[name] = True

    def key(self, key):
        self.keyboard_to_window()
        xdo("key", "--clearmodifiers", key)
        self.history.append(key)

    def save(self):
        before = set(os.listdir(TEXT_LOG))
        self.key("ctrl+s")
        new = []

        def logged():
            new[:] = sorted(n for n in set(os.listdir(TEXT_LOG)) - before if not n.startswith("."))
            return bool(new)
        self.wait(logged, 20, "Ctrl+S started no save")
        name = new[0].split("-", 1)[1][:-len(".txt")]
        saved = read(os.path.join(TEXT_LOG, new[0]))
        if name not in NAMES:
            # A page this session did not open (from the folder tree): it shows now.
            self.answers()
            self.history.append("(saved %s, a page opened from the folder tree)" % name)
            self.visible = None
            return
        # Done: the text file is deleted (saved), or an error box shows (not saved).
        self.wait(lambda: not os.path.exists(self.txt(name)) or window_named("^Error$"), 30,
                  "the save of %s did not end" % name)
        succeeded = not window_named("^Error$")
        self.answers()
        self.saves += 1
        self.history.append("(saved %s%s)" % (name, "" if succeeded else ", failed"))
        if not self.unsure[name]:
            self.checked += 1
            old, letters = self.base[name], self.typed[name]
            grown = collections.Counter(saved)
            grown.subtract(collections.Counter(old))
            extra = {c: n for c, n in grown.items() if n != 0}
            wanted = dict(collections.Counter(c.encode()[0] for c in letters))
            if extra != wanted or not is_subsequence(old, saved):
                self.fail("the saved text of %s is not the old text with the letters typed (%s) put in: "
                          "it differs by %s" % (name, "".join(letters),
                                                {chr(c): n for c, n in extra.items()}))
        if succeeded:
            expected = canonical(saved)
            if expected is None:
                self.fail("%s was saved from a text that grindle does not convert" % name)
            if body(convert_back(self.rbf(name))) != body(expected):
                self.fail("%s on disk does not convert back to the text that was saved" % name)
            if body(expected) == body(saved):
                self.round_trips += 1
        else:
            self.failed_saves += 1
        self.base[name] = saved
        self.typed[name] = []
        self.unsure[name] = False

    # --- the whole session ------------------------------------------------------------------
    def finish(self):
        """Saves each page once more and checks it, then closes the window."""
        for page in range(len(NAMES)):
            if self.click(TAB_X[page], TAB_Y):
                self.visible = page
            self.answers()
            for _ in range(5):
                if self.click(*self.point_in(EDITOR)):
                    break
                time.sleep(1)
            self.alive()
            self.save()
            self.alive()
        subprocess.run([CLOSE, self.win])
        end = time.time() + 60
        while self.proc.poll() is None and time.time() < end:
            boxes = [t for t in BOX_TITLES if window_named("^%s$" % t)]
            for title in boxes:
                box = window_named("^%s$" % title)
                xdo("mousemove", "--window", box, "10", "10")
                time.sleep(0.1)
                # A page whose text does not convert stays modified: do not save it; quit.
                text = "Return" if title != "Confirm" else "Escape"
                if title == "Confirm" and self.asked_quit():
                    text = "Return"
                xdo("key", "--clearmodifiers", text)
            time.sleep(0.3)
        if self.proc.poll() is None:
            self.fail("the window did not close")
        if self.proc.returncode != 0:
            self.fail("the program ended with status %d" % self.proc.returncode)

    def asked_quit(self):
        return "Quit any way?" in run("xwininfo", "-root", "-tree")

    def run(self):
        self.prepare()
        self.start()
        try:
            for _ in range(self.steps):
                self.step()
            self.finish()
        finally:
            if self.proc.poll() is None:
                self.proc.kill()
                self.proc.wait()
            self.out.close()
        report = read(self.log).decode("utf-8", "replace")
        for sign in ("ERROR: AddressSanitizer", "ERROR: LeakSanitizer", "runtime error:"):
            if sign in report:
                self.fail("the sanitizer reported: %s" % report[report.index(sign):][:2000])


def seeds_from(text):
    if "," in text or not text.isdigit():
        return [int(s) for s in text.split(",") if s.strip()]
    return list(range(1, int(text) + 1))


def main():
    seeds = seeds_from(sys.argv[1])
    steps = int(sys.argv[2])
    failures = 0
    for seed in seeds:
        session = Session(seed, steps)
        started = time.time()
        try:
            session.run()
            print("ok: seed %d: %d steps, %d saves (%d checked letter by letter, %d failed to convert, "
                  "%d converted back unchanged) in %.0f s"
                  % (seed, steps, session.saves, session.checked, session.failed_saves,
                     session.round_trips, time.time() - started), flush=True)
        except Failure as failure:
            failures += 1
            print("FAIL: %s" % failure, flush=True)
            tail = read(session.log).decode("utf-8", "replace")[-3000:] if os.path.exists(session.log) else ""
            if tail.strip():
                print("  program output:\n" + tail, flush=True)
    print("%d seeds, %d failed" % (len(seeds), failures))
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
