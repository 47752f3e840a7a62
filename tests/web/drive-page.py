#!/usr/bin/env python3
"""Drive a web page in headless Chromium over the DevTools pipe, step by step.

usage: drive-page.py (--serve DIR [--page PATH] | --url URL)
                     (STEPFILE | --step STEP ...) [--out DIR]
                     [--chromium PATH] [--timeout SECONDS]

Steps, one a line, words split like a shell's ('#' starts a comment, so
quote it inside an expression):
  wait-log PREFIX [SECONDS]    a console line since the last matched one
                               starts with PREFIX (default 30 s)
  wait-js EXPRESSION [SECONDS] the expression becomes truthy (default 30 s)
  key NAME | hold NAME | release NAME
  click X Y                    left button at page CSS pixels X,Y
  sleep SECONDS
  shot FILE                    PNG of the canvas, exactly its CSS size
  shot-until FILE SECONDS [!] COMMAND...
                               shots until COMMAND ({shot}: the shot's path)
                               exits 0 (after "!": exits 1)
  eval EXPRESSION              prints eval: <json>

Exit status: 0 all steps passed, 1 a step failed, 2 bad usage or a
malformed step, 3 Chromium or the DevTools connection failed.
"""

import argparse
import base64
import fcntl
import functools
import http.server
import json
import os
import select
import shlex
import shutil
import signal
import struct
import subprocess
import sys
import tempfile
import threading
import time

DEFAULT_WAIT = 30.0
STARTUP_WAIT = 20.0
COMMAND_WAIT = 15.0

CHROMIUM_FLAGS = [
    "--headless=new",
    "--no-sandbox",  # as root Chromium refuses to start without it
    # Without a GPU, WebGL only exists on SwiftShader, which Chromium now
    # refuses unless told it is fine.
    "--use-angle=swiftshader",
    "--enable-unsafe-swiftshader",
    "--autoplay-policy=no-user-gesture-required",
    "--remote-debugging-pipe",
    "--window-size=1100,1000",
    # Shots are measured in CSS pixels; a host scale factor would break that.
    "--force-device-scale-factor=1",
    "--disable-dev-shm-usage",  # a container's /dev/shm may be too small for it
    "--no-first-run",
    "--no-default-browser-check",
    "--disable-extensions",
    "--disable-background-networking",
    "--disable-component-update",
    "--disable-sync",
    "--password-store=basic",
    # A headless page is never on screen; keep its timers and frames at speed.
    "--disable-background-timer-throttling",
    "--disable-renderer-backgrounding",
    "--disable-backgrounding-occluded-windows",
]


TRAMPOLINE = """import os, sys
os.dup2(int(sys.argv[1]), 3)
os.dup2(int(sys.argv[2]), 4)
os.close(int(sys.argv[1]))
os.close(int(sys.argv[2]))
os.execv(sys.argv[3], sys.argv[3:])
"""


class StepFailed(Exception):
    pass


class BadStep(Exception):
    pass


class DevToolsError(Exception):
    pass


class NoReply(DevToolsError):
    pass


# name -> (key, code, keyCode, text). SDL 1.2 under emscripten reads keyCode.
KEYS = {
    "Up": ("ArrowUp", "ArrowUp", 38, ""),
    "Down": ("ArrowDown", "ArrowDown", 40, ""),
    "Left": ("ArrowLeft", "ArrowLeft", 37, ""),
    "Right": ("ArrowRight", "ArrowRight", 39, ""),
    "Return": ("Enter", "Enter", 13, "\r"),
    "Escape": ("Escape", "Escape", 27, ""),
    "space": (" ", "Space", 32, " "),
    "Tab": ("Tab", "Tab", 9, ""),
    "BackSpace": ("Backspace", "Backspace", 8, ""),
    "Delete": ("Delete", "Delete", 46, ""),
    "Home": ("Home", "Home", 36, ""),
    "End": ("End", "End", 35, ""),
    "PageUp": ("PageUp", "PageUp", 33, ""),
    "PageDown": ("PageDown", "PageDown", 34, ""),
    "Insert": ("Insert", "Insert", 45, ""),
    "Shift": ("Shift", "ShiftLeft", 16, ""),
    "Control": ("Control", "ControlLeft", 17, ""),
    "Alt": ("Alt", "AltLeft", 18, ""),
    "minus": ("-", "Minus", 189, "-"),
    "equals": ("=", "Equal", 187, "="),
    "backquote": ("`", "Backquote", 192, "`"),
    "slash": ("/", "Slash", 191, "/"),
    "period": (".", "Period", 190, "."),
    "comma": (",", "Comma", 188, ","),
}
KEYS.update({"Enter": KEYS["Return"], "Space": KEYS["space"],
             "Esc": KEYS["Escape"], "Backspace": KEYS["BackSpace"]})
for _n in range(1, 13):
    KEYS["F%d" % _n] = ("F%d" % _n, "F%d" % _n, 111 + _n, "")
for _c in "abcdefghijklmnopqrstuvwxyz":
    KEYS[_c] = (_c, "Key" + _c.upper(), ord(_c.upper()), _c)
for _c in "0123456789":
    KEYS[_c] = (_c, "Digit" + _c, ord(_c), _c)

STEP_ARGS = {  # name -> (least, most) argument words
    "wait-log": (1, 2), "wait-js": (1, 2), "key": (1, 1), "hold": (1, 1),
    "release": (1, 1), "click": (2, 2), "sleep": (1, 1), "shot": (1, 1),
    "eval": (1, 1), "shot-until": (3, 1000),
}


def out(line):
    print(line, flush=True)


def seconds(word, what):
    try:
        value = float(word)
    except ValueError:
        raise BadStep("%s is not a number of seconds: %r" % (what, word))
    if value < 0:
        raise BadStep("%s must not be negative: %r" % (what, word))
    return value


def parse_step(text):
    """Returns (name, args) with numbers checked, None for a blank line."""
    try:
        words = shlex.split(text, comments=True)
    except ValueError as e:
        raise BadStep(str(e))
    if not words:
        return None
    name, args = words[0], words[1:]
    if name not in STEP_ARGS:
        raise BadStep("unknown step %r" % name)
    least, most = STEP_ARGS[name]
    if not least <= len(args) <= most:
        raise BadStep("%s takes %s argument%s, got %d" % (
            name, least if least == most else "%d to %d" % (least, most),
            "" if most == 1 else "s", len(args)))
    if name in ("wait-log", "wait-js"):
        args = [args[0], seconds(args[1], name) if len(args) > 1
                else DEFAULT_WAIT]
    elif name in ("key", "hold", "release"):
        if args[0] not in KEYS:
            raise BadStep("unknown key %r" % args[0])
    elif name == "click":
        try:
            args = [float(a) for a in args]
        except ValueError:
            raise BadStep("click takes numbers X Y")
    elif name == "sleep":
        args = [seconds(args[0], name)]
    elif name in ("shot", "shot-until"):
        if os.path.isabs(args[0]) or ".." in args[0].split("/"):
            raise BadStep("%s FILE must stay inside the output folder" % name)
        if name == "shot-until":
            args = [args[0], seconds(args[1], name), args[2:]]
            if args[2] == ["!"]:
                raise BadStep("shot-until ! needs a command after it")
    return name, args


def load_steps(path, inline):
    """Returns [(where, name, args)], where is 'file:line' or 'step N'."""
    steps = []
    if path is not None:
        try:
            with open(path, encoding="utf-8") as f:
                lines = f.read().splitlines()
        except OSError as e:
            raise BadStep("cannot read steps: %s" % e)
        numbered = [("%s:%d" % (os.path.basename(path), i + 1), line)
                    for i, line in enumerate(lines)]
    else:
        numbered = [("--step %d" % (i + 1), line)
                    for i, line in enumerate(inline)]
    for where, line in numbered:
        try:
            step = parse_step(line)
        except BadStep as e:
            raise BadStep("%s: %s" % (where, e))
        if step:
            steps.append((where,) + step)
    return steps


def png_size(path):
    with open(path, "rb") as f:
        head = f.read(24)
    if len(head) < 24 or head[:8] != b"\x89PNG\r\n\x1a\n" or head[12:16] != b"IHDR":
        raise StepFailed("%s is not a PNG" % path)
    return struct.unpack(">II", head[16:24])


class Server:
    """Serves a folder on 127.0.0.1 on a free port, from its own thread."""

    def __init__(self, folder):
        handler = functools.partial(QuietHandler, directory=folder)
        self.httpd = http.server.ThreadingHTTPServer(("127.0.0.1", 0), handler)
        self.httpd.daemon_threads = True
        self.port = self.httpd.server_address[1]
        self.thread = threading.Thread(target=self.httpd.serve_forever,
                                       daemon=True)
        self.thread.start()

    def close(self):
        self.httpd.shutdown()
        self.httpd.server_close()


class QuietHandler(http.server.SimpleHTTPRequestHandler):
    extensions_map = dict(http.server.SimpleHTTPRequestHandler.extensions_map)
    extensions_map.update({".wasm": "application/wasm",
                           ".data": "application/octet-stream",
                           ".js": "text/javascript"})

    def end_headers(self):
        # A rebuilt game must never be answered from a stale cache.
        self.send_header("Cache-Control", "no-store")
        super().end_headers()

    def do_GET(self):
        # Browsers ask for one unbidden; its 404 would only clutter the log.
        if self.path == "/favicon.ico" and not os.path.exists(
                os.path.join(self.directory, "favicon.ico")):
            self.send_response(204)
            self.end_headers()
            return
        super().do_GET()

    def log_message(self, *args):
        pass


class Browser:
    """Chromium and its DevTools pipe: commands to its fd 3, replies from fd 4."""

    def __init__(self, log_path):
        self.profile = tempfile.mkdtemp(prefix="drive-page-")
        self.proc = None
        self.to_child = self.from_child = None
        self.buffer = b""
        self.next_id = 0
        self.replies = {}
        self.events = []
        self.session = None
        self.log = open(log_path, "wb")

    def launch(self, chromium, deadline):
        to_child_r, self.to_child = os.pipe()
        self.from_child, from_child_w = os.pipe()
        # Lifted above 4 so that moving them to 3 and 4 cannot clobber one
        # another; a Python trampoline moves them, since preexec_fn is unsafe
        # with the server thread running and sh only knows fds up to 9.
        high_r = fcntl_dupfd(to_child_r)
        high_w = fcntl_dupfd(from_child_w)
        os.close(to_child_r)
        os.close(from_child_w)
        command = [sys.executable, "-c", TRAMPOLINE, str(high_r), str(high_w),
                   chromium] + CHROMIUM_FLAGS + [
                       "--user-data-dir=" + self.profile, "about:blank"]
        try:
            self.proc = subprocess.Popen(
                command, stdin=subprocess.DEVNULL, stdout=self.log,
                stderr=subprocess.STDOUT, pass_fds=(high_r, high_w),
                start_new_session=True)
        finally:
            os.close(high_r)
            os.close(high_w)
        self.call("Browser.getVersion", timeout=min(STARTUP_WAIT,
                                                   max(1.0, deadline - time.monotonic())))

    def _write(self, data):
        while data:
            _, ready, _ = select.select([], [self.to_child], [], COMMAND_WAIT)
            if not ready:
                raise DevToolsError("Chromium stopped reading commands")
            try:
                n = os.write(self.to_child, data)
            except OSError as e:
                raise DevToolsError("cannot send to Chromium: %s" % e)
            data = data[n:]

    def pump(self, wait):
        """Reads what Chromium sends within `wait` seconds, at least once."""
        end = time.monotonic() + wait
        while True:
            left = max(0.0, end - time.monotonic())
            ready, _, _ = select.select([self.from_child], [], [], left)
            if ready:
                chunk = os.read(self.from_child, 1 << 16)
                if not chunk:
                    try:
                        status = self.proc.wait(timeout=1)
                    except subprocess.TimeoutExpired:
                        status = "none yet"
                    raise DevToolsError("Chromium closed the DevTools pipe"
                                        " (exit status %s)" % status)
                self.buffer += chunk
                *messages, self.buffer = self.buffer.split(b"\0")
                for raw in messages:
                    message = json.loads(raw)
                    if "id" in message:
                        self.replies[message["id"]] = message
                    else:
                        self.events.append(message)
                # Return as soon as something arrived; callers loop.
                if messages:
                    return
            if time.monotonic() >= end:
                return

    def send(self, method, params=None, session=True):
        self.next_id += 1
        message = {"id": self.next_id, "method": method,
                   "params": params or {}}
        if session and self.session:
            message["sessionId"] = self.session
        self._write(json.dumps(message).encode() + b"\0")
        return self.next_id

    def call(self, method, params=None, session=True, timeout=COMMAND_WAIT,
             on_event=None):
        ident = self.send(method, params, session)
        end = time.monotonic() + timeout
        while ident not in self.replies:
            left = end - time.monotonic()
            if left <= 0:
                raise NoReply("no reply to %s within %g s" % (method, timeout))
            self.pump(left)
            if on_event:
                on_event()
        reply = self.replies.pop(ident)
        if "error" in reply:
            raise DevToolsError("%s: %s" % (method, reply["error"].get(
                "message", reply["error"])))
        return reply.get("result", {})

    def attach_page(self):
        end = time.monotonic() + STARTUP_WAIT
        while True:
            targets = self.call("Target.getTargets", session=False)
            pages = [t for t in targets["targetInfos"] if t["type"] == "page"]
            if pages:
                break
            if time.monotonic() > end:
                raise DevToolsError("Chromium opened no page")
            time.sleep(0.1)
        self.session = self.call(
            "Target.attachToTarget",
            {"targetId": pages[0]["targetId"], "flatten": True},
            session=False)["sessionId"]

    def close(self):
        if self.proc and self.proc.poll() is None:
            try:
                self.send("Browser.close", session=False)
                self.proc.wait(timeout=3)
            except (DevToolsError, OSError, subprocess.TimeoutExpired):
                pass
        if self.proc:
            # Helpers (zygote, GPU, renderers) share the session's group.
            for sig in (signal.SIGTERM, signal.SIGKILL):
                if not group_alive(self.proc.pid):
                    break
                try:
                    os.killpg(self.proc.pid, sig)
                except (ProcessLookupError, PermissionError):
                    break
                end = time.monotonic() + 3
                while group_alive(self.proc.pid) and time.monotonic() < end:
                    time.sleep(0.05)
            try:
                self.proc.wait(timeout=3)
            except subprocess.TimeoutExpired:
                pass
        for fd in (self.to_child, self.from_child):
            if fd is None:
                continue
            try:
                os.close(fd)
            except OSError:
                pass
        self.log.close()
        shutil.rmtree(self.profile, ignore_errors=True)


def fcntl_dupfd(fd):
    return fcntl.fcntl(fd, fcntl.F_DUPFD_CLOEXEC, 10)


def group_alive(pgid):
    """Whether a process of the group still runs; zombies await init, not us."""
    for entry in os.listdir("/proc"):
        if not entry.isdigit():
            continue
        try:
            with open("/proc/%s/stat" % entry) as f:
                fields = f.read().rsplit(")", 1)[1].split()
        except OSError:
            continue
        if int(fields[2]) == pgid and fields[0] not in "ZX":
            return True
    return False


def remote_text(arg):
    if arg.get("type") == "string":
        return arg.get("value", "")
    if "unserializableValue" in arg:
        return arg["unserializableValue"]
    if "value" in arg:
        value = arg["value"]
        return value if isinstance(value, str) else json.dumps(value)
    return arg.get("description", arg.get("type", ""))


class Driver:
    def __init__(self, browser, out_dir, deadline, timeout):
        self.b = browser
        self.timeout = timeout
        self.out_dir = out_dir
        self.deadline = deadline
        self.lines = []  # console API lines, for wait-log
        self.matched = 0  # wait-log looks at lines from here on
        self.loaded = False
        self.console = open(os.path.join(out_dir, "console.log"), "w",
                            encoding="utf-8")

    def drain(self):
        events, self.b.events = self.b.events, []
        for event in events:
            method, params = event.get("method"), event.get("params", {})
            if method == "Runtime.consoleAPICalled":
                text = " ".join(remote_text(a) for a in params.get("args", []))
                self.lines.append(text)
                self.write_console(text)
            elif method == "Runtime.exceptionThrown":
                d = params.get("exceptionDetails", {})
                what = (d.get("exception", {}).get("description")
                        or d.get("text", "")).split("\n")[0]
                self.write_console("exception: %s (%s:%s:%s)" % (
                    what, d.get("url", ""), d.get("lineNumber", 0) + 1,
                    d.get("columnNumber", 0) + 1))
            elif method == "Page.loadEventFired":
                self.loaded = True
            elif method == "Log.entryAdded":
                e = params.get("entry", {})
                self.write_console("log: %s: %s%s" % (
                    e.get("level"), e.get("text"),
                    " " + e["url"] if e.get("url") else ""))
            elif method == "Inspector.targetCrashed":
                raise DevToolsError("the page crashed")
            elif method == "Target.detachedFromTarget":
                raise DevToolsError("the page went away")

    def write_console(self, text):
        self.console.write(text + "\n")
        self.console.flush()
        out("console: " + text)

    def call(self, method, params=None, timeout=COMMAND_WAIT):
        """A page command; a page too busy to answer fails the step."""
        clipped = timeout > self.left()
        timeout = min(timeout, self.left())
        try:
            return self.b.call(method, params, timeout=timeout,
                               on_event=self.drain)
        except NoReply as e:
            if clipped:
                raise StepFailed(self.overall())
            raise StepFailed("the page did not answer: %s" % e)
        finally:
            self.drain()

    def overall(self):
        return "the overall timeout of %g s was reached" % self.timeout

    def left(self):
        return max(0.1, self.deadline - time.monotonic())

    def evaluate(self, expression, timeout=COMMAND_WAIT):
        result = self.call("Runtime.evaluate", {
            "expression": expression, "returnByValue": True,
            "awaitPromise": True}, timeout)
        if "exceptionDetails" in result:
            d = result["exceptionDetails"]
            what = d.get("exception", {}).get("description") or d.get("text")
            raise StepFailed("%s threw %s" % (expression, what.split("\n")[0]))
        return result.get("result", {})

    def wait_until(self, seconds, done):
        """Pumps events until done() is true; False on the step's time."""
        end = min(time.monotonic() + seconds, self.deadline)
        while True:
            self.drain()
            if done():
                return True
            if time.monotonic() >= end:
                if end == self.deadline:
                    raise StepFailed(self.overall())
                return False
            self.b.pump(min(0.1, max(0.0, end - time.monotonic())))

    def start(self, url):
        self.call("Runtime.enable")
        self.call("Page.enable")
        self.call("Log.enable")
        # Games may pause on blur; a headless page is never really focused.
        self.call("Emulation.setFocusEmulationEnabled", {"enabled": True})
        self.loaded = False
        result = self.call("Page.navigate", {"url": url})
        if result.get("errorText"):
            raise StepFailed("cannot load %s: %s" % (url, result["errorText"]))
        if not self.wait_until(DEFAULT_WAIT, lambda: self.loaded):
            raise StepFailed("%s did not finish loading in %g s"
                             % (url, DEFAULT_WAIT))

    def key_event(self, kind, name):
        key, code, keycode, text = KEYS[name]
        params = {"type": kind, "key": key, "code": code,
                  "windowsVirtualKeyCode": keycode,
                  "nativeVirtualKeyCode": keycode}
        if kind == "keyDown":
            if text:
                params.update(text=text, unmodifiedText=text)
            else:
                params["type"] = "rawKeyDown"
        self.call("Input.dispatchKeyEvent", params)

    def run(self, name, args):
        if name == "wait-log":
            prefix, limit = args

            def seen():
                for i in range(self.matched, len(self.lines)):
                    if self.lines[i].startswith(prefix):
                        self.matched = i + 1
                        return True
                return False
            if not self.wait_until(limit, seen):
                raise StepFailed('wait-log "%s" timed out after %g s'
                                 % (prefix, limit))
        elif name == "wait-js":
            expression, limit = args
            end = time.monotonic() + limit
            last = [""]

            def check():
                # Throwing counts as false: the page may not have made the
                # names the expression uses yet.
                try:
                    value = self.evaluate(expression,
                                          max(0.1, end - time.monotonic()))
                except StepFailed as e:
                    last[0] = " (last: %s)" % e
                    return False
                return js_truthy(value)
            if not self.wait_until(limit, check):
                raise StepFailed('wait-js "%s" timed out after %g s%s'
                                 % (expression, limit, last[0]))
        elif name in ("key", "hold"):
            self.key_event("keyDown", args[0])
            if name == "key":
                self.key_event("keyUp", args[0])
        elif name == "release":
            self.key_event("keyUp", args[0])
        elif name == "click":
            x, y = args
            for kind in ("mouseMoved", "mousePressed", "mouseReleased"):
                params = {"type": kind, "x": x, "y": y}
                if kind != "mouseMoved":
                    params.update(button="left", clickCount=1)
                self.call("Input.dispatchMouseEvent", params)
        elif name == "sleep":
            end = time.monotonic() + args[0]
            if end > self.deadline:
                raise StepFailed(self.overall())
            self.wait_until(args[0], lambda: False)
        elif name == "shot":
            self.shot(args[0])
        elif name == "eval":
            value = self.evaluate(args[0])
            out("eval: " + json.dumps(remote_value(value)))
        elif name == "shot-until":
            self.shot_until(*args)

    def shot_until(self, name, limit, command):
        """Takes shots until command (with {shot} as the shot's path) exits 0, or, after a
        leading "!", exits 1; the last shot stays. What the command printed last is kept
        for the failure's message."""
        negate = command[0] == "!"
        if negate:
            command = command[1:]
        path = os.path.join(self.out_dir, name)
        end = time.monotonic() + limit
        said = ""
        while True:
            self.shot(name, quiet=True)
            argv = [word.replace("{shot}", path) for word in command]
            try:
                done = subprocess.run(argv, stdout=subprocess.PIPE, stderr=subprocess.STDOUT,
                                      timeout=max(1.0, end - time.monotonic()) + 10)
            except (OSError, subprocess.TimeoutExpired) as e:
                raise StepFailed("shot-until: %s: %s" % (command[0], e))
            said = done.stdout.decode(errors="replace").strip()
            if done.returncode not in (0, 1):
                raise StepFailed("shot-until: %s exited %d: %s"
                                 % (command[0], done.returncode, said))
            if (done.returncode == 0) != negate:
                out("shot: %s (after %.1f s)" % (path, limit - (end - time.monotonic())))
                return
            if time.monotonic() >= end:
                raise StepFailed("shot-until %s timed out after %g s: %s"
                                 % (name, limit, said.replace("\n", "; ")))
            self.wait_until(0.2, lambda: False)

    def shot(self, name, quiet=False):
        # Two frames, so what a handler just drew has reached the compositor;
        # the race with a timer keeps a stalled page from hanging the step.
        rect = self.evaluate("""new Promise(done => {
            const give = () => {
                const c = document.querySelector('canvas');
                if (!c) return done(null);
                const r = c.getBoundingClientRect();
                done({x: r.left + scrollX, y: r.top + scrollY,
                      width: r.width, height: r.height});
            };
            setTimeout(give, 1000);
            requestAnimationFrame(() => requestAnimationFrame(give));
        })""").get("value")
        if not rect:
            raise StepFailed("shot: the page has no canvas")
        width, height = round(rect["width"]), round(rect["height"])
        if width <= 0 or height <= 0:
            raise StepFailed("shot: the canvas is %gx%g" % (rect["width"],
                                                             rect["height"]))
        result = self.call("Page.captureScreenshot", {
            "format": "png", "captureBeyondViewport": False,
            "clip": {"x": round(rect["x"]), "y": round(rect["y"]),
                     "width": width, "height": height, "scale": 1}})
        path = os.path.join(self.out_dir, name)
        os.makedirs(os.path.dirname(path), exist_ok=True)
        with open(path, "wb") as f:
            f.write(base64.b64decode(result["data"]))
        got = png_size(path)
        if got != (width, height):
            raise StepFailed("shot %s is %dx%d, the canvas is %dx%d"
                             % (name, got[0], got[1], width, height))
        if not quiet:
            out("shot: %s %dx%d" % (path, width, height))


def remote_value(obj):
    if "value" in obj:
        return obj["value"]
    if "unserializableValue" in obj:
        return obj["unserializableValue"]
    return None if obj.get("type") == "undefined" else obj.get("description")


def js_truthy(obj):
    if "unserializableValue" in obj:
        return obj["unserializableValue"] not in ("-0", "0n", "NaN")
    if obj.get("type") in ("object", "function", "symbol"):
        return obj.get("subtype") != "null"
    return bool(obj.get("value"))


def main(argv):
    parser = argparse.ArgumentParser(
        description="Drive a page in headless Chromium through steps.")
    where = parser.add_mutually_exclusive_group(required=True)
    where.add_argument("--serve", metavar="DIR", help="folder to serve")
    where.add_argument("--url", help="page to open instead of serving")
    parser.add_argument("--page", default="index.html",
                        help="page inside --serve (default index.html)")
    parser.add_argument("steps", nargs="?", metavar="STEPFILE")
    parser.add_argument("--step", action="append", default=[],
                        help="one step line; repeatable")
    parser.add_argument("--out", default=".", help="folder for shots and logs")
    parser.add_argument("--chromium", default="/usr/bin/chromium")
    parser.add_argument("--timeout", type=float, default=120.0,
                        help="seconds for the whole run (default 120)")
    args = parser.parse_args(argv)
    if (args.steps is None) == (not args.step):
        parser.error("give a step file or --step lines, not both or neither")
    if args.serve and not os.path.isdir(args.serve):
        parser.error("--serve %s is not a folder" % args.serve)
    if args.timeout <= 0:
        parser.error("--timeout must be positive")
    try:
        steps = load_steps(args.steps, args.step)
    except BadStep as e:
        print("drive-page: %s" % e, file=sys.stderr, flush=True)
        return 2
    if not os.access(args.chromium, os.X_OK):
        print("drive-page: cannot run %s" % args.chromium, file=sys.stderr,
              flush=True)
        return 3
    os.makedirs(args.out, exist_ok=True)
    deadline = time.monotonic() + args.timeout

    def terminate(signum, frame):
        raise SystemExit(128 + signum)
    for sig in (signal.SIGTERM, signal.SIGHUP, signal.SIGINT):
        signal.signal(sig, terminate)

    server = browser = driver = None
    where = "start"
    try:
        if args.serve:
            server = Server(args.serve)
            out("Serving http://127.0.0.1:%d/" % server.port)
            url = "http://127.0.0.1:%d/%s" % (server.port,
                                              args.page.lstrip("/"))
        else:
            url = args.url
        log_path = os.path.join(args.out, "chromium.log")
        try:
            browser = Browser(log_path)
            browser.launch(args.chromium, deadline)
            browser.attach_page()
        except (DevToolsError, OSError) as e:
            print("drive-page: Chromium did not start: %s (see %s)"
                  % (e, log_path), file=sys.stderr, flush=True)
            return 3
        driver = Driver(browser, args.out, deadline, args.timeout)
        where = "loading " + url
        driver.start(url)
        for where, name, step_args in steps:
            driver.run(name, step_args)
        return 0
    except StepFailed as e:
        print("%s: %s" % (where, e), file=sys.stderr, flush=True)
        return 1
    except DevToolsError as e:
        print("drive-page: %s: DevTools: %s" % (where, e), file=sys.stderr,
              flush=True)
        return 3
    finally:
        for sig in (signal.SIGTERM, signal.SIGHUP, signal.SIGINT):
            signal.signal(sig, signal.SIG_IGN)
        if driver:
            driver.console.close()
        if browser:
            browser.close()
        if server:
            server.close()


if __name__ == "__main__":
    sys.exit(main(sys.argv[1:]))
