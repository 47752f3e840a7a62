#!/usr/bin/env python3
"""Long runs of the real game under a private Xvfb, with random keys and script churn.

Two modes share one session (the level and scripts of tests/soak/game, the keys, the checks):

  soak      runs for --seconds, samples the game's resident memory (VmRSS) after --warmup
            seconds and at the end, and fails when it grew by more than --max-growth-kb.
  memcheck  runs the game under valgrind's memcheck for --frames world frames and fails on
            any invalid access or a definite leak that the suppressions do not cover.

Both fail when the game stops on its own, reports a script error, writes to standard error,
or stops answering: boxes must be answered and frames counted all along.
"""

import argparse
import os
import random
import re
import select
import signal
import shutil
import subprocess
import sys
import tempfile
import threading
import time
from pathlib import Path

HERE = Path(__file__).resolve().parent
SOURCE = HERE.parent.parent

# Keys the harness presses: the arrows, the keypad's directions, and the boxes' keys.
ARROWS = ["Up", "Down", "Left", "Right"]
KEYPAD = ["KP_1", "KP_2", "KP_3", "KP_4", "KP_6", "KP_7", "KP_8", "KP_9"]
BOX_KEYS = ["Return", "Return", "Up", "Down"]


def log(text):
    print(f"soak: {text}", flush=True)


class Xvfb:
    """A virtual X server on a display number it chooses itself (-displayfd)."""

    def __init__(self):
        read_end, write_end = os.pipe()
        self.process = subprocess.Popen(
            ["Xvfb", "-displayfd", str(write_end), "-screen", "0", "1024x768x24",
             "-nolisten", "tcp"],
            pass_fds=(write_end,), stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        os.close(write_end)
        number = b""
        deadline = time.monotonic() + 20
        while not number.endswith(b"\n") and time.monotonic() < deadline:
            ready, _, _ = select.select([read_end], [], [], 1)
            if ready:
                chunk = os.read(read_end, 16)
                if not chunk:
                    break
                number += chunk
        os.close(read_end)
        if not number.strip():
            self.stop()
            raise RuntimeError("could not start Xvfb")
        self.display = ":" + number.decode().strip()

    def stop(self):
        if self.process.poll() is None:
            self.process.kill()
        self.process.wait()


class Game:
    """The game (possibly under a wrapper such as valgrind) with its output read as it comes."""

    def __init__(self, command, folder, display, extra_environment, echo=False):
        self.echo = echo
        environment = dict(os.environ, DISPLAY=display, SDL_AUDIODRIVER="dummy",
                           **extra_environment)
        self.process = subprocess.Popen(command, cwd=folder, env=environment,
                                        stdout=subprocess.PIPE, stderr=subprocess.PIPE,
                                        text=True, errors="replace")
        self.lines = []
        self.errors = []
        self.frames = 0
        self.lua_kb = 0
        self.answers = 0
        self.texts = 0
        self.maps = 0
        self.fps = None
        self.lock = threading.Lock()
        self.readers = [threading.Thread(target=self._read_stdout, daemon=True),
                        threading.Thread(target=self._read_stderr, daemon=True)]
        for reader in self.readers:
            reader.start()

    def _read_stdout(self):
        for line in self.process.stdout:
            line = line.rstrip("\n")
            with self.lock:
                if self.echo:
                    print("game: " + line, flush=True)
                self.lines.append(line)
                if line.startswith("soak frames "):
                    words = line.split()
                    self.frames = int(words[2])
                    self.lua_kb = int(words[4])
                elif line.startswith("soak answer "):
                    self.answers += 1
                elif line == "soak text closed":
                    self.texts += 1
                elif line.startswith("soak map "):
                    self.maps += 1
                elif line.startswith("Average FPS: "):
                    self.fps = float(line.split()[-1])
                elif "has encountered a script error" in line:
                    self.errors.append(line)

    def _read_stderr(self):
        for line in self.process.stderr:
            with self.lock:
                self.errors.append("stderr: " + line.rstrip("\n"))

    def running(self):
        return self.process.poll() is None

    def resident_kb(self):
        """VmRSS and its anonymous part RssAnon, in kB, from /proc/<pid>/status."""
        values = {}
        with open(f"/proc/{self.process.pid}/status") as status:
            for line in status:
                name, _, rest = line.partition(":")
                if name in ("VmRSS", "RssAnon"):
                    values[name] = int(rest.split()[0])
        return values

    def wait(self, timeout):
        try:
            status = self.process.wait(timeout=timeout)
        except subprocess.TimeoutExpired:
            self.process.kill()
            status = self.process.wait()
        for reader in self.readers:
            reader.join(timeout=10)
        return status


class Keyboard:
    """Random, bounded key input: one action at a time, every key released when it ends."""

    def __init__(self, display, seed):
        self.environment = dict(os.environ, DISPLAY=display)
        self.random = random.Random(seed)
        self.actions = 0

    def _xdotool(self, *arguments):
        # A machine stalled for a while (it has happened, with every process waiting on
        # memory) only delays the keys; the game's own checks decide the run.
        try:
            subprocess.run(["xdotool", "mousemove", "512", "384", *arguments],
                           env=self.environment, stdout=subprocess.DEVNULL,
                           stderr=subprocess.DEVNULL, check=False, timeout=60)
        except subprocess.TimeoutExpired:
            log("xdotool took over a minute; going on")

    def act(self):
        """One action: a tap of a box key, a short walk, or a diagonal walk."""
        self.actions += 1
        choice = self.random.random()
        if choice < 0.45:
            keys = [self.random.choice(BOX_KEYS)]
            hold = self.random.uniform(0.0, 0.15)
        elif choice < 0.8:
            keys = [self.random.choice(ARROWS + KEYPAD)]
            hold = self.random.uniform(0.05, 0.8)
        else:
            keys = self.random.sample(ARROWS, 2)
            hold = self.random.uniform(0.1, 0.8)
        self._xdotool("keydown", *keys, "sleep", f"{hold:.3f}", "keyup", *keys)
        time.sleep(self.random.uniform(0.0, 0.3))

    def escape(self):
        self._xdotool("key", "Escape")


def make_folder(folder, cmap, font, settings):
    """The soak run's own game folder: font, both maps and the scripts with their settings."""
    shutil.copy(font, folder / "terminal.png")
    for source, target in (("first.level", "intro.cmap"), ("second.level", "second.cmap")):
        subprocess.run([cmap, "build", HERE / "game" / "maps" / source, "-o", folder / target],
                       check=True)
    shutil.copytree(HERE / "game" / "scripts", folder / "scripts")
    lines = [f"    {name} = {value}," for name, value in settings.items()]
    (folder / "scripts" / "soak_settings.lua").write_text(
        "return {\n" + "\n".join(lines) + "\n}\n")


def memory_text(values):
    return f"VmRSS {values['VmRSS']} kB (RssAnon {values['RssAnon']} kB)"


def valgrind_command(log_file):
    # Mesa unloads its driver at exit: keeping its symbols names the driver in the stacks of
    # what it leaves allocated, so that the suppressions can tell it from our code.
    return ["valgrind", "--tool=memcheck", "--leak-check=full",
            "--show-leak-kinds=definite,indirect", "--errors-for-leak-kinds=definite",
            "--track-origins=no", "--num-callers=30", "--keep-debuginfo=yes",
            "--child-silent-after-fork=yes", f"--log-file={log_file}",
            f"--suppressions={HERE / 'memcheck.supp'}", "--gen-suppressions=all"]


def memcheck_summary(log_file):
    """The error count and the definitely and indirectly lost bytes from valgrind's log."""
    text = Path(log_file).read_text(errors="replace")

    def number(pattern):
        match = re.search(pattern, text)
        return int(match.group(1).replace(",", "")) if match else None

    return {
        "errors": number(r"ERROR SUMMARY: ([\d,]+) errors"),
        "definitely lost": number(r"definitely lost: ([\d,]+) bytes") or 0,
        "indirectly lost": number(r"indirectly lost: ([\d,]+) bytes") or 0,
        "invalid accesses": len(re.findall(r"Invalid (?:read|write|free)", text)),
        "uninitialised uses": len(re.findall(r"uninitialised value", text)),
    }


def drive(game, keyboard, until, deadline):
    """Random keys until until() holds; False when the game stops or time runs out first."""
    while not until():
        if not game.running() or time.monotonic() > deadline:
            return False
        keyboard.act()
    return True


def run(arguments):
    settings = {"sparksPerFrame": arguments.sparks_per_frame, "sparksAlive": 40,
                "reportEvery": arguments.report_every, "mapEvery": arguments.map_every,
                "boxEvery": arguments.box_every}
    with tempfile.TemporaryDirectory(prefix="cindra-soak-") as temporary:
        folder = Path(temporary)
        make_folder(folder, arguments.cmap, arguments.font, settings)
        xvfb = Xvfb()
        try:
            return session(arguments, folder, xvfb)
        finally:
            xvfb.stop()


def session(arguments, folder, xvfb):
    command = [str(Path(arguments.game).resolve())]
    log_file = folder / "memcheck.log"
    environment = {}
    if arguments.memcheck:
        command = valgrind_command(log_file) + command
        # Mesa's software renderer; under valgrind llvmpipe's vectorised generated code draws
        # a frame sooner than softpipe's C rasterizer (softpipe did not reach ten frames in
        # eight minutes where llvmpipe took five).
        environment = {"LIBGL_ALWAYS_SOFTWARE": "1", "GALLIUM_DRIVER": arguments.gl_driver}
    started = time.monotonic()
    game = Game(command, folder, xvfb.display, environment, arguments.echo)
    try:
        return drive_session(arguments, game, xvfb, started, log_file)
    finally:
        if game.running():
            game.process.kill()
            game.process.wait()


def drive_session(arguments, game, xvfb, started, log_file):
    keyboard = Keyboard(xvfb.display, arguments.seed)
    log(f"display {xvfb.display}, seed {arguments.seed}, game {' '.join(game.process.args)}")
    failures = []
    memory = {}
    if arguments.memcheck:
        limit = started + arguments.timeout
        if not drive(game, keyboard, lambda: game.frames >= arguments.frames, limit):
            failures.append(f"{arguments.frames} frames were not reached (at {game.frames})")
    else:
        if not drive(game, keyboard, lambda: time.monotonic() - started >= arguments.warmup,
                     started + arguments.warmup + 60):
            failures.append("the game stopped during the warm-up")
        else:
            memory["warm"] = (game.resident_kb(), game.frames)
            log(f"after warm-up: {memory_text(memory['warm'][0])}, Lua heap {game.lua_kb} kB "
                f"at frame {game.frames}")
            if not drive(game, keyboard, lambda: time.monotonic() - started >= arguments.seconds,
                         started + arguments.seconds + 60):
                failures.append("the game stopped before the end")
            else:
                memory["end"] = (game.resident_kb(), game.frames)
                log(f"at the end: {memory_text(memory['end'][0])}, Lua heap {game.lua_kb} kB "
                    f"at frame {game.frames}")
    seconds = time.monotonic() - started
    if game.running():
        keyboard.escape()
    status = game.wait(timeout=arguments.exit_timeout)
    return report(arguments, game, keyboard, status, seconds, memory, failures, log_file)


def report(arguments, game, keyboard, status, seconds, memory, failures, log_file):
    in_all = f" (about {game.fps * seconds:.0f} frames in all)" if game.fps else ""
    log(f"ran {seconds:.0f} s: {game.frames} world frames counted by the scripts, "
        f"Average FPS {game.fps}{in_all}, {keyboard.actions} key actions, {game.answers} "
        f"dialogs answered, {game.texts} text boxes closed, {game.maps} maps loaded")
    if status != 0:
        failures.append(f"exit status {status}")
    if game.fps is None:
        failures.append("no Average FPS line")
    failures += game.errors[:20]
    if game.answers == 0 or game.texts == 0:
        failures.append("the boxes were not all answered")
    if game.maps < arguments.min_maps:
        failures.append(f"only {game.maps} map loads")
    if "end" in memory:
        # The bound holds for the anonymous pages (the heap and every other private
        # allocation): the pages of the mapped libraries, counted in VmRSS too, come and go
        # with the machine's memory pressure.
        growth = {name: memory["end"][0][name] - memory["warm"][0][name]
                  for name in ("VmRSS", "RssAnon")}
        log(f"from frame {memory['warm'][1]} to {memory['end'][1]}: VmRSS grew by "
            f"{growth['VmRSS']} kB, RssAnon by {growth['RssAnon']} kB "
            f"(bound {arguments.max_growth_kb} kB)")
        if growth["RssAnon"] > arguments.max_growth_kb:
            failures.append(f"anonymous resident memory grew by {growth['RssAnon']} kB")
    if arguments.memcheck:
        if log_file.exists():
            summary = memcheck_summary(log_file)
            log("memcheck: " + ", ".join(f"{k} {v}" for k, v in summary.items()))
            for line in log_file.read_text(errors="replace").splitlines():
                if re.search(r"(lost|reachable|suppressed): |ERROR SUMMARY", line):
                    log("valgrind: " + line.split("== ", 1)[-1])
            if arguments.keep_log:
                shutil.copy(log_file, arguments.keep_log)
            if summary["errors"] != 0 or summary["definitely lost"] != 0:
                failures.append("memcheck found errors; its log follows")
                print(log_file.read_text(errors="replace"), flush=True)
        else:
            failures.append("valgrind wrote no log")
    for failure in failures:
        log("FAILED: " + failure)
    log("passed" if not failures else f"{len(failures)} failures")
    return 0 if not failures else 1


def main():
    parser = argparse.ArgumentParser(description=__doc__,
                                     formatter_class=argparse.RawDescriptionHelpFormatter)
    parser.add_argument("--game", default=SOURCE / "build" / "src" / "cindra",
                        help="the game executable (default: build/src/cindra)")
    parser.add_argument("--cmap", default=None,
                        help="the map tool (default: tools/cmap beside the game's build)")
    parser.add_argument("--font", default=SOURCE / "game" / "terminal.png")
    parser.add_argument("--seconds", type=float, default=600, help="soak: length of the run")
    parser.add_argument("--warmup", type=float, default=30,
                        help="soak: seconds before the first memory sample")
    parser.add_argument("--max-growth-kb", type=int, default=1024,
                        help="soak: the most resident memory may grow after the warm-up")
    parser.add_argument("--memcheck", action="store_true", help="run under valgrind instead")
    parser.add_argument("--frames", type=int, default=300, help="memcheck: world frames to run")
    parser.add_argument("--timeout", type=float, default=7200,
                        help="memcheck: the longest the frames may take, in seconds")
    parser.add_argument("--gl-driver", default="llvmpipe",
                        help="memcheck: Mesa's Gallium driver (GALLIUM_DRIVER)")
    parser.add_argument("--seed", type=int, default=None, help="of the random keys")
    parser.add_argument("--sparks-per-frame", type=int, default=3)
    parser.add_argument("--report-every", type=int, default=20)
    parser.add_argument("--map-every", type=float, default=None,
                        help="seconds of game time between map changes (10; memcheck 2)")
    parser.add_argument("--box-every", type=float, default=None,
                        help="seconds of game time between the player's boxes (2; memcheck 0.5)")
    parser.add_argument("--keep-log", default=None, help="memcheck: copy valgrind's log here")
    parser.add_argument("--min-maps", type=int, default=2,
                        help="map loads the run must see (the first one counts)")
    parser.add_argument("--echo", action="store_true", help="print the game's output lines")
    parser.add_argument("--exit-timeout", type=float, default=120)
    arguments = parser.parse_args()
    if arguments.seed is None:
        arguments.seed = random.randrange(1 << 30)
    if arguments.cmap is None:
        arguments.cmap = Path(arguments.game).resolve().parent.parent / "tools" / "cmap"
    # Under valgrind a frame takes seconds, and a frame advances the game by at most 0.1 s:
    # boxes and maps come more often there, so that a few hundred frames see several of each.
    if arguments.map_every is None:
        arguments.map_every = 2 if arguments.memcheck else 10
    if arguments.box_every is None:
        arguments.box_every = 0.5 if arguments.memcheck else 2
    if arguments.memcheck:
        arguments.report_every = min(arguments.report_every, 10)
    # A stopped run still stops its game and its X server.
    signal.signal(signal.SIGTERM, lambda number, frame: sys.exit(1))
    return run(arguments)


if __name__ == "__main__":
    sys.exit(main())
