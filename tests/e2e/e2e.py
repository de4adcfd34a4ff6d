#!/usr/bin/env python3
"""The end-to-end suite: installs the program from its installer into a fresh Wine prefix and uses
it as a person would, through its command line and its windows (worked by e2e_driver.exe), then
updates it from a local server and uninstalls it. Run by tests/e2e/run.sh, which makes the prefix,
the display and the installers; each step prints what it checked, and a failure says what differed
and leaves a screenshot of that moment beside the suite's other files."""
import argparse
import hashlib
import http.server
import os
import re
import shutil
import subprocess
import sys
import threading
import time

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "..", "scripts"))
from file_version import file_version  # noqa: E402

UNINSTALL_KEY = r"HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall\Pelto"
APP_NAME = "Noram截图"
PUBLISHER = "Noram软件"
PROGRAM_FILES = ["pelto.exe", "PeltoLib.dll", "PeltoFx.dll", "Hook.dll", "snap.wav", "uninstall.exe"]

# Command and control ids of the main window (app/res/resource.h).
ID_SNAP_FULLSCREEN = 32795
ID_OPT_GRAYSCALE = 32810
ID_OPT_FLIP_HORZ = 32822
ID_APP_EXIT = 0xE141
ID_HELP_BUTTON = 0xE146
IDC_GRAYSCALE = 1006
IDC_FLIP_HORZ = 1010

# The marker: red left half, blue right half, clear of the centred main window and of Wine's
# tray window at the top left.
MARKER = (20, 60, 300, 200)
RED, BLUE = (255, 0, 0), (0, 0, 255)
PATIENCE = 120  # seconds any one condition may take on a loaded machine


class Failure(Exception):
    pass


def win_path(path):
    return "Z:" + os.path.abspath(path).replace("/", "\\")


class Picture:
    """A picture file decoded by ImageMagick: size and 8-bit RGB pixels."""

    def __init__(self, path):
        size = subprocess.run(["identify", "-format", "%w %h", path + "[0]"], check=True,
                              capture_output=True, text=True).stdout.split()
        self.width, self.height = int(size[0]), int(size[1])
        self.rgb = subprocess.run(["convert", path + "[0]", "-depth", "8", "rgb:-"], check=True,
                                  capture_output=True).stdout
        if len(self.rgb) != self.width * self.height * 3:
            raise Failure("%s decoded to %d bytes for %dx%d" %
                          (path, len(self.rgb), self.width, self.height))

    def at(self, x, y):
        i = (y * self.width + x) * 3
        return tuple(self.rgb[i:i + 3])

    def size(self):
        return (self.width, self.height)


def near(a, b, tolerance):
    return all(abs(p - q) <= tolerance for p, q in zip(a, b))


class QuietHandler(http.server.SimpleHTTPRequestHandler):
    requests = []

    def log_message(self, fmt, *args):
        QuietHandler.requests.append(self.path)


class Suite:
    def __init__(self, args):
        self.build = os.path.abspath(args.build)
        self.work = os.path.abspath(args.work)
        self.installer = os.path.abspath(args.installer)
        self.release = os.path.abspath(args.release)
        self.prefix = os.environ["WINEPREFIX"]
        self.program_dir = os.path.join(self.prefix, "drive_c", "Program Files", "Pelto")
        self.driver = win_path(os.path.join(self.build, "bin", "e2e_driver.exe"))
        self.files = os.path.join(self.work, "files")
        os.makedirs(self.files, exist_ok=True)
        self.env = dict(os.environ, PELTO_UPDATE_ROOT="http://127.0.0.1:9")
        self.step_name = ""
        self.step_count = 0
        self.program = None
        self.config = None
        self.marker = None
        self.server = None
        self.log = open(os.path.join(self.work, "wine.log"), "ab")
        dims = re.search(r"dimensions:\s+(\d+)x(\d+)",
                         subprocess.run(["xdpyinfo"], capture_output=True, text=True).stdout)
        self.screen = (int(dims.group(1)), int(dims.group(2)))

    # ---- reporting ----

    def step(self, name):
        self.step_count += 1
        self.step_name = name
        print("== %d. %s" % (self.step_count, name), flush=True)

    def ok(self, what):
        print("   ok: " + what, flush=True)

    def check(self, condition, what, differed):
        if not condition:
            raise Failure("%s: %s" % (what, differed))
        self.ok(what)

    def expect_equal(self, actual, expected, what):
        self.check(actual == expected, what, "expected %r, got %r" % (expected, actual))

    def wait_until(self, condition, what, limit=PATIENCE, seen=None):
        """Polls condition; on time-out says what seen() returned last, if given."""
        end = time.monotonic() + limit
        while True:
            result = condition()
            if result:
                self.ok(what)
                return result
            if time.monotonic() > end:
                last = " (last seen: %r)" % (seen(),) if seen else ""
                raise Failure("%s: not so after %d s%s" % (what, limit, last))
            time.sleep(0.1)

    def screenshot(self):
        name = "failure-%02d-%s.png" % (self.step_count, re.sub(r"\W+", "-", self.step_name))
        path = os.path.join(self.work, name)
        subprocess.run(["import", "-window", "root", path], capture_output=True)
        return path

    # ---- Wine ----

    def wine(self, args, env=None, limit=PATIENCE):
        # Output to a file, not a pipe: a Wine service that the program happens to start inherits
        # its handles and would hold a pipe open long after the program has ended.
        with open(os.path.join(self.work, "output.txt"), "w+b") as out:
            done = subprocess.run(["wine"] + args, stdout=out, stderr=self.log, timeout=limit,
                                  env=env or self.env)
            out.seek(0)
            return done.returncode, out.read().decode("utf-8", "replace")

    def drive(self, *args):
        rc, out = self.wine([self.driver] + [str(a) for a in args])
        if rc != 0:
            raise Failure("e2e_driver %s: %s" % (" ".join(str(a) for a in args), out.strip()))
        return out.strip()

    def installed(self, name):
        return os.path.join(self.program_dir, name)

    def pelto(self, *args):
        return self.wine([r"C:\Program Files\Pelto\pelto.exe"] + list(args))

    def start_program(self, env=None):
        self.program = subprocess.Popen(["wine", r"C:\Program Files\Pelto\pelto.exe"],
                                        stdout=subprocess.DEVNULL, stderr=self.log,
                                        env=env or self.env)
        self.ok(self.drive("main-window"))

    def wait_program_end(self, what):
        try:
            rc = self.program.wait(timeout=PATIENCE)
        except subprocess.TimeoutExpired:
            raise Failure("%s: the program was still running after %d s" % (what, PATIENCE))
        self.program = None
        self.expect_equal(rc, 0, what + ", exit code")

    def exit_program(self):
        self.drive("command", ID_APP_EXIT)
        self.wait_program_end("the program ended on 退出")

    def registry(self, key):
        """The values of a registry key, or None when there is no such key."""
        out = os.path.join(self.work, "key.reg")
        if os.path.exists(out):
            os.remove(out)
        rc, _ = self.wine(["reg", "export", key, win_path(out), "/y"])
        if rc != 0 or not os.path.exists(out):
            return None
        with open(out, "rb") as f:
            text = f.read().decode("utf-16")
        values = {}
        for m in re.finditer(r'^"([^"]+)"=(?:"((?:[^"\\]|\\.)*)"|dword:([0-9a-fA-F]+))', text,
                             re.M):
            if m.group(3) is not None:
                values[m.group(1)] = int(m.group(3), 16)
            else:
                values[m.group(1)] = m.group(2).replace("\\\\", "\\")
        return values

    def save_from_menu(self, name, kind):
        path = os.path.join(self.files, name)
        if os.path.exists(path):
            os.remove(path)
        self.drive("save-as", win_path(path), kind)
        self.wait_until(lambda: os.path.exists(path) and os.path.getsize(path) > 0,
                        "saved %s from the menu as %s" % (name, kind))
        return Picture(path)

    def capture(self, mode, name, *extra):
        path = os.path.join(self.files, name)
        if os.path.exists(path):
            os.remove(path)
        rc, out = self.pelto("--capture", mode, "--out", win_path(path), *extra)
        if rc != 0:
            raise Failure("pelto --capture %s --out %s exited with %d: %s" % (mode, name, rc, out))
        return Picture(path)

    def marker_point(self, fx, fy):
        x, y, w, h = MARKER
        return (x + int(w * fx), y + int(h * fy))

    # ---- the steps ----

    def install(self):
        self.step("install silently")
        setup = os.path.basename(self.installer)
        rc, _ = self.wine([win_path(self.installer), "/S"])
        self.expect_equal(rc, 0, "%s /S exit code" % setup)
        for name in PROGRAM_FILES:
            self.check(os.path.isfile(self.installed(name)), name + " installed",
                       "missing in " + self.program_dir)
        with open(self.installed("pelto.exe"), "rb") as a, \
                open(os.path.join(self.build, "bin", "pelto.exe"), "rb") as b:
            self.check(a.read() == b.read(), "the installed pelto.exe is the built one",
                       "the files differ")
        link = os.path.join(self.prefix, "drive_c", "ProgramData", "Microsoft", "Windows",
                            "Start Menu", "Programs", APP_NAME + ".lnk")
        self.check(os.path.isfile(link), "Start-menu entry", "no " + link)
        values = self.registry(UNINSTALL_KEY) or {}
        self.expect_equal(values.get("DisplayName"), APP_NAME, "Apps entry: display name")
        self.expect_equal(values.get("DisplayVersion"), "2.1.0.1", "Apps entry: version")
        self.expect_equal(values.get("Publisher"), PUBLISHER, "Apps entry: publisher")
        size = values.get("EstimatedSize", 0)
        self.check(isinstance(size, int) and size > 1000, "Apps entry: size %s KB" % size,
                   "EstimatedSize is %r" % size)
        self.check("uninstall.exe" in values.get("UninstallString", ""), "Apps entry: uninstaller",
                   "UninstallString is %r" % values.get("UninstallString"))

    def command_line(self):
        self.step("capture from the command line")
        self.marker = subprocess.Popen(["wine", self.driver, "marker"] + [str(v) for v in MARKER],
                                       stdout=subprocess.DEVNULL, stderr=self.log, env=self.env)
        x, y, w, h = MARKER
        rect = "rect:%d,%d,%d,%d" % MARKER

        def marker_on_screen():
            shot = self.capture(rect, "rect.bmp", "--no-effects")
            return shot.at(10, h // 2) == RED and shot.at(w - 10, h // 2) == BLUE and shot

        shot = self.wait_until(marker_on_screen, "rectangle to BMP shows the marker: red, blue")
        self.expect_equal(shot.size(), (w, h), "rectangle to BMP: size")
        full = self.capture("full", "full.png", "--no-effects")
        self.expect_equal(full.size(), self.screen, "whole screen to PNG: size")
        self.expect_equal(full.at(x + 10, y + h // 2), RED, "whole screen to PNG: marker pixel")
        jpeg = self.capture(rect, "rect.jpg", "--no-effects")
        self.expect_equal(jpeg.size(), (w, h), "rectangle to JPEG: size")
        self.check(near(jpeg.at(10, h // 2), RED, 40) and near(jpeg.at(w - 10, h // 2), BLUE, 40),
                   "rectangle to JPEG: red and blue within JPEG's loss",
                   "%s, %s" % (jpeg.at(10, h // 2), jpeg.at(w - 10, h // 2)))

    def menu(self):
        self.step("capture from the menu, save and open again")
        self.start_program()
        self.drive("command", ID_SNAP_FULLSCREEN)
        full = self.save_from_menu("menu-full.png", "PNG")
        self.expect_equal(full.size(), self.screen, "whole screen from the menu: size")
        self.expect_equal(full.at(*self.marker_point(0.1, 0.5)), RED,
                          "whole screen from the menu: marker pixel")
        x1, y1 = self.marker_point(0.1, 0.1)
        x2, y2 = self.marker_point(0.9, 0.9)
        self.ok(self.drive("region-start"))
        steps = [["mousemove", str(x1), str(y1)], ["mousedown", "1"]]
        steps += [["mousemove", str(x1 + (x2 - x1) * i // 5), str(y1 + (y2 - y1) * i // 5)]
                  for i in range(1, 6)]
        for args in steps + [["mouseup", "1"]]:
            subprocess.run(["xdotool"] + args, check=True)
        self.ok(self.drive("region-end"))
        region = self.save_from_menu("menu-region.bmp", "BMP")
        self.check(abs(region.width - (x2 - x1)) <= 3 and abs(region.height - (y2 - y1)) <= 3,
                   "region from the menu: size %dx%d" % region.size(),
                   "dragged %dx%d" % (x2 - x1, y2 - y1))
        self.check(region.at(5, region.height // 2) == RED and
                   region.at(region.width - 5, region.height // 2) == BLUE,
                   "region from the menu: red left, blue right",
                   "%s, %s" % (region.at(5, region.height // 2),
                               region.at(region.width - 5, region.height // 2)))
        # Each file made so far, opened in the program and saved again in another format. JPEG
        # decoders differ a little near edges (ImageMagick's from the platform's): on average
        # the pixels must still agree.
        for source, again, kind, mean_limit in (("rect.bmp", "again-bmp.png", "PNG", 0),
                                                ("full.png", "again-png.bmp", "BMP", 0),
                                                ("rect.jpg", "again-jpg.bmp", "BMP", 1.0)):
            before = Picture(os.path.join(self.files, source))
            self.ok(self.drive("open", win_path(os.path.join(self.files, source))))
            after = self.save_from_menu(again, kind)
            self.expect_equal(after.size(), before.size(), "%s opened again: size" % source)
            diffs = [abs(p - q) for p, q in zip(before.rgb, after.rgb)]
            mean = sum(diffs) / len(diffs)
            self.check(mean <= mean_limit, "%s opened again: same pixels (mean difference %.2f, "
                       "largest %d)" % (source, mean, max(diffs)),
                       "the mean difference is %.2f" % mean)

    def effects(self):
        self.step("effects change the saved picture")
        self.drive("command", ID_OPT_GRAYSCALE)
        self.expect_equal(self.drive("checked", IDC_GRAYSCALE), "1", "灰度 switched on")
        self.drive("command", ID_SNAP_FULLSCREEN)
        grey = self.save_from_menu("grey.png", "PNG")
        colored = sum(1 for i in range(0, len(grey.rgb), 3)
                      if not grey.rgb[i] == grey.rgb[i + 1] == grey.rgb[i + 2])
        self.expect_equal(colored, 0, "grey: pixels whose channels differ")
        self.check(grey.at(*self.marker_point(0.1, 0.5)) != grey.at(0, grey.height - 1),
                   "grey: the marker is still visible", "it is the background's grey")
        self.drive("command", ID_OPT_GRAYSCALE)
        self.drive("command", ID_OPT_FLIP_HORZ)
        self.expect_equal(self.drive("checked", IDC_GRAYSCALE), "0", "灰度 switched off")
        self.expect_equal(self.drive("checked", IDC_FLIP_HORZ), "1", "水平翻转 switched on")
        self.drive("command", ID_SNAP_FULLSCREEN)
        flipped = self.save_from_menu("flipped.png", "PNG")
        red_x, y = self.marker_point(0.1, 0.5)
        blue_x, _ = self.marker_point(0.9, 0.5)
        mirror = flipped.width - 1
        self.expect_equal((flipped.at(mirror - red_x, y), flipped.at(mirror - blue_x, y)),
                          (RED, BLUE), "flip: the marker's halves at their mirrored places")
        self.expect_equal(flipped.at(red_x, y) == RED, False,
                          "flip: no red where the marker was not mirrored")

    def options(self):
        self.step("change an option, exit and start again")
        out = self.drive("options", "300")
        self.expect_equal(out, "delay 500", "options sheet: the capture delay as it came")
        self.exit_program()
        configs = [p for p in (self.installed("config.xml"),
                               os.path.join(self.prefix, "drive_c", "users", os.environ.get(
                                   "USER", "root"), "AppData", "Roaming", "Pelto", "config.xml"))
                   if os.path.exists(p)]
        self.check(configs, "settings written to " + ", ".join(configs), "no config.xml")
        self.config = configs[0]
        self.start_program()
        self.expect_equal(self.drive("checked", IDC_FLIP_HORZ), "1", "水平翻转 kept")
        self.expect_equal(self.drive("checked", IDC_GRAYSCALE), "0", "灰度 kept off")
        self.expect_equal(self.drive("options"), "delay 300", "the capture delay kept")
        self.exit_program()
        x, y, w, h = MARKER
        shot = self.capture("rect:%d,%d,%d,%d" % MARKER, "flipped-command-line.png")
        self.expect_equal((shot.at(10, h // 2), shot.at(w - 10, h // 2)), (BLUE, RED),
                          "the command line applies the kept flip")

    def update(self):
        self.step("update from a local server")
        serve = os.path.join(self.work, "server")
        os.makedirs(os.path.join(serve, "soft"), exist_ok=True)
        shutil.rmtree(os.path.join(serve, "soft", "pelto"), ignore_errors=True)
        shutil.copytree(self.release, os.path.join(serve, "soft", "pelto"))
        with open(os.path.join(serve, "soft", "pelto", "update.txt"), "rb") as f:
            head = f.read().split(b"\r\n")[0].decode("ascii").split(" ")
        new_setup, new_version = head[0], head[1]
        handler = lambda *a, **k: QuietHandler(*a, directory=serve, **k)  # noqa: E731
        self.server = http.server.ThreadingHTTPServer(("127.0.0.1", 0), handler)
        threading.Thread(target=self.server.serve_forever, daemon=True).start()
        root = "http://127.0.0.1:%d" % self.server.server_address[1]
        self.ok("serving %s %s at %s" % (new_setup, new_version, root))
        self.start_program(dict(self.env, PELTO_UPDATE_ROOT=root))
        label = lambda: self.drive("text", ID_HELP_BUTTON)  # noqa: E731
        self.wait_until(lambda: label() == "有更新", "the help button says 有更新", seen=label)
        info = self.drive("update")
        self.check(new_version in info, "the update dialog offers " + new_version, info)
        self.wait_program_end("the program closed for the update")
        self.wait_until(lambda: any(p.startswith("/soft/pelto/" + new_setup)
                                    for p in QuietHandler.requests),
                        "the installer was downloaded")
        with open(os.path.join(serve, "soft", "pelto", new_setup), "rb") as f:
            served = hashlib.sha256(f.read()).hexdigest()
        downloaded = self.installed(new_setup)
        self.wait_until(lambda: os.path.exists(downloaded), "the installer lies beside the program")
        self.wait_until(lambda: self.installed_version() == new_version,
                        "pelto.exe is version " + new_version, seen=self.installed_version)
        listed = lambda: (self.registry(UNINSTALL_KEY) or {}).get("DisplayVersion")  # noqa: E731
        self.wait_until(lambda: listed() == new_version, "the Apps entry says " + new_version,
                        seen=listed)
        with open(downloaded, "rb") as f:
            self.expect_equal(hashlib.sha256(f.read()).hexdigest(), served,
                              "the started installer is the served one")
        self.wait_until(lambda: not self.running(new_setup), "the installer has ended")
        rc, out = self.pelto("--version")
        self.expect_equal((rc, out.strip()), (0, new_version), "the updated program's --version")

    def installed_version(self):
        try:
            return file_version(self.installed("pelto.exe"))
        except (OSError, ValueError):
            return None

    def running(self, exe):
        for pid in os.listdir("/proc"):
            try:
                with open("/proc/%s/cmdline" % pid, "rb") as f:
                    if exe.encode() in f.read():
                        return True
            except OSError:
                pass
        return False

    def uninstall(self):
        self.step("uninstall")
        rc, _ = self.wine([r"C:\Program Files\Pelto\uninstall.exe", "/S"])
        self.expect_equal(rc, 0, "uninstall.exe /S exit code")
        present = lambda: [n for n in PROGRAM_FILES if os.path.exists(self.installed(n))]  # noqa
        self.wait_until(lambda: not present(), "the program's files are gone", seen=present)
        self.wait_until(lambda: self.registry(UNINSTALL_KEY) is None, "the Apps entry is gone")
        link = os.path.join(self.prefix, "drive_c", "ProgramData", "Microsoft", "Windows",
                            "Start Menu", "Programs", APP_NAME + ".lnk")
        self.check(not os.path.exists(link), "the Start-menu entry is gone", link + " is there")
        leftovers = sorted(os.listdir(self.program_dir)) if os.path.isdir(self.program_dir) else []
        self.check(os.path.exists(self.config), "the settings are kept: " + self.config,
                   "config.xml is gone")
        self.check(all(n == "config.xml" for n in leftovers), "nothing else left in the folder",
                   "left: %s" % leftovers)

    def close(self):
        if self.marker:
            self.wine([self.driver, "close-marker"])
            try:
                self.marker.wait(timeout=30)
            except subprocess.TimeoutExpired:
                self.marker.kill()
        if self.server:
            self.server.shutdown()


def main():
    parser = argparse.ArgumentParser(description=__doc__.split("\n\n")[0])
    parser.add_argument("--build", required=True, help="the Windows build folder")
    parser.add_argument("--work", required=True, help="where the suite keeps its files")
    parser.add_argument("--installer", required=True, help="the installer under test")
    parser.add_argument("--release", required=True,
                        help="the newer release: its installer and update.txt")
    suite = Suite(parser.parse_args())
    start = time.monotonic()
    try:
        for run in (suite.install, suite.command_line, suite.menu, suite.effects, suite.options,
                    suite.update, suite.uninstall):
            run()
    except (Failure, subprocess.TimeoutExpired, subprocess.CalledProcessError) as e:
        shot = suite.screenshot()
        print("FAILED in step %d (%s): %s" % (suite.step_count, suite.step_name, e))
        print("screenshot: " + shot)
        suite.close()
        return 1
    suite.close()
    print("e2e: all %d steps passed in %.0f s" % (suite.step_count, time.monotonic() - start))
    return 0


if __name__ == "__main__":
    sys.exit(main())
