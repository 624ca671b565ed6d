"""Runs Windows programs under Wine for the end-to-end tests.

One Session per test run: a fresh Wine prefix inside the build tree, a display (the
caller's $DISPLAY if it answers, else an Xvfb of our own) and a wineserver kept alive
between runs, all ended by close(). Tests get the session from session().

Facts about Wine that the helpers rely on:
- The exit code is the Windows exit code modulo 256 (ExitProcess(-1) reads 255).
- Drive letters and types are read by Wine's mount manager when the wineserver starts,
  so set_drives() restarts the wineserver (about 1 s).
- A working directory outside every drive makes Wine start in C:\\windows.
- With Wine's 32-bit half installed, `wine reg` is the 32-bit reg.exe, whose
  HKLM\\Software is the Wow6432Node of the 64-bit view; so every registry helper takes
  the view it works in. Wine reads its own settings (drive types, per-program
  versions) from the 64-bit view: WINE_VIEW.
- Each program reads the screen's DPI when it starts: HKCU\\Control Panel\\Desktop, value
  LogPixels (set_dpi); without it HKLM\\System\\CurrentControlSet\\Hardware Profiles\\
  Current\\Software\\Fonts, LogPixels; else 96. Wine scales nothing for a program that is not
  DPI-aware: every program sees the real DPI, aware or not.
"""

import atexit
import fcntl
import glob
import json
import os
import pwd
import select
import shutil
import signal
import socket
import struct
import subprocess
import tempfile
import time

# Defaults follow this checkout, wherever it was cloned.
REPO_ROOT = os.path.dirname(os.path.dirname(os.path.dirname(os.path.abspath(__file__))))
DEFAULT_BUILD = os.path.join(REPO_ROOT, "build", "win64")
DEFAULT_NVPACK = os.path.join(REPO_ROOT, "build", "host", "nvpack")
DEFAULT_LANG = "en_US.UTF-8"
USER = pwd.getpwuid(os.getuid()).pw_name
HOME = pwd.getpwuid(os.getuid()).pw_dir

# Seconds that harness housekeeping (wineboot, reg, wineserver) may take before it counts as hung.
SETUP_LIMIT = 120
COMMAND_LIMIT = 30

# The registry view of Wine's own settings.
WINE_VIEW = 64

# Where Wine reads the screen's DPI (LogPixels, a REG_DWORD), as winecfg writes it.
DPI_KEY = r"HKCU\Control Panel\Desktop"


class HarnessError(RuntimeError):
    """The harness itself could not do what a test asked (Wine, Xvfb, registry)."""


class TimeLimitExceeded(AssertionError):
    """A program under test did not end within its time limit; it has been killed."""

    def __init__(self, message, stdout=b""):
        super().__init__(message)
        self.stdout = stdout


class RunResult:
    """What one run of a Windows program left: exit code, output and dialog records."""

    def __init__(self, args, exit_code, stdout, stderr, events, seconds):
        self.args = args
        self.exit_code = exit_code  # 0..255; a Windows -1 reads 255
        self.stdout = stdout  # raw bytes; text mode writes \r\n
        self.stderr = stderr  # raw bytes, mostly Wine's own messages
        self.events = events  # the watcher's records (dicts), [] when not watched
        self.seconds = seconds

    @property
    def text(self):
        """Standard output decoded as UTF-8 with \\r\\n turned into \\n."""
        return self.stdout.decode("utf-8", "replace").replace("\r\n", "\n")

    @property
    def lines(self):
        return self.text.splitlines()

    @property
    def message_boxes(self):
        """The message boxes seen, in order: dicts with caption, text, caption_ansi,
        text_ansi (hex of the ANSI bytes) and pressed (the button id)."""
        return [e for e in self.events if e["event"] == "msgbox"]

    @property
    def progress(self):
        """The progress dialog states seen, in order (see DialogWatcher.cpp). A record
        may catch a change half-made: assert on a subsequence or on the last state."""
        return [e for e in self.events if e["event"] == "progress"]

    def __repr__(self):
        return "RunResult(exit_code=%r, stdout=%r, events=%d)" % (self.exit_code, self.stdout[:200], len(self.events))


def _display_answers(display):
    """True if an X server accepts connections on the display named like ':0' or 'host:0'."""
    host, _, rest = display.rpartition(":")
    number = rest.split(".")[0]
    if not number.isdigit():
        return False
    try:
        if host in ("", "unix"):
            with socket.socket(socket.AF_UNIX) as s:
                s.settimeout(2)
                s.connect("/tmp/.X11-unix/X" + number)
        else:
            with socket.create_connection((host, 6000 + int(number)), timeout=2):
                pass
        return True
    except OSError:
        return False


def pe_bits(path):
    """32 or 64: what a Windows program is built for, read from its PE header. Raises
    HarnessError for a file that is no i386 or x86-64 program."""
    with open(path, "rb") as f:
        header = f.read(4096)
    if header[:2] == b"MZ" and len(header) >= 0x40:
        offset = struct.unpack_from("<I", header, 0x3C)[0]
        if offset + 6 <= len(header) and header[offset:offset + 4] == b"PE\0\0":
            machine = struct.unpack_from("<H", header, offset + 4)[0]
            if machine in (0x14C, 0x8664):
                return 32 if machine == 0x14C else 64
    raise HarnessError("%s is no i386 or x86-64 Windows program" % path)


def list_files(directory):
    """Sorted paths relative to directory of everything below it, directories with a
    trailing '/'. [] if the directory does not exist."""
    found = []
    for root, dirs, files in os.walk(directory):
        rel = os.path.relpath(root, directory)
        prefix = "" if rel == "." else rel + "/"
        found += [prefix + d + "/" for d in dirs] + [prefix + f for f in files]
    return sorted(found)


def wait_for(condition, timeout=10, interval=0.1):
    """Calls condition() until it returns true or timeout seconds have passed; returns
    its last result. For what a program's children or deferred work do after it ended."""
    deadline = time.monotonic() + timeout
    while True:
        result = condition()
        if result or time.monotonic() >= deadline:
            return result
        time.sleep(interval)


class Session:
    """A Wine prefix, display and wineserver shared by all tests of one run."""

    def __init__(self, build_dir=None, nvpack=None, work_dir=None):
        self.build_dir = os.path.abspath(build_dir or os.environ.get("NV_E2E_BUILD") or DEFAULT_BUILD)
        self.nvpack = os.path.abspath(nvpack or os.environ.get("NV_NVPACK") or DEFAULT_NVPACK)
        self.work_dir = os.path.abspath(work_dir or os.environ.get("NV_E2E_WORK") or os.path.join(self.build_dir, "e2e"))
        self.launcher = os.path.join(self.build_dir, "launcher.exe")
        self.watcher = self.fixture("DialogWatcher")
        self.prefix = os.path.join(self.work_dir, "prefix")
        self.drive_c = os.path.join(self.prefix, "drive_c")
        self.display = None
        self._xvfb = None
        self._drives = {}
        self._drive_types = set()
        self._runs = 0
        self._started = False
        self._failure = None
        self._lock = None

    # --- life cycle -------------------------------------------------------------

    def start(self):
        """Creates the prefix (about 10 s) and the display. Raises HarnessError, also on
        every later call once a start has failed."""
        if self._failure:
            raise HarnessError("the Wine session could not start: %s" % self._failure)
        if self._started:
            return
        self._started = True
        try:
            self._create()
        except Exception as error:
            self._failure = error
            self.close()
            raise

    def _create(self):
        os.makedirs(self.work_dir, exist_ok=True)
        lock = open(os.path.join(self.work_dir, ".lock"), "w")
        try:
            fcntl.flock(lock, fcntl.LOCK_EX | fcntl.LOCK_NB)
        except OSError:
            lock.close()
            raise HarnessError("another end-to-end run uses %s; give this one its own work directory" % self.work_dir)
        self._lock = lock
        self._start_display()
        if os.path.isdir(self.prefix):
            self._command(["wineserver", "-k"], check=False)  # a server an interrupted run left behind
        for old_state in (self.prefix, os.path.join(self.work_dir, "runs"), os.path.join(self.work_dir, "scratch")):
            shutil.rmtree(old_state, ignore_errors=True)
        self._command(["wineboot", "-i"], limit=SETUP_LIMIT)
        if os.path.exists(self.launcher) and self.launcher_view == 32 and not os.path.exists(
                os.path.join(self.drive_c, "windows", "syswow64", "kernel32.dll")):
            raise HarnessError("this Wine cannot run the 32-bit programs of %s: wine32 is not installed"
                               % self.build_dir)
        # Without a window manager, Wine waits 2 s for every managed window to unmap.
        self.reg_add(r"HKCU\Software\Wine\X11 Driver", "Managed", "N", view=WINE_VIEW)
        self._drives = {"c": self.drive_c, "z": "/"}
        self._restart_server()

    def close(self):
        """Ends the prefix's wineserver and our Xvfb, if any. Safe to call twice."""
        if not self._started:
            return
        self._started = False
        try:
            if self._lock:  # the prefix is ours only while we hold the lock
                self._command(["wineserver", "-k"], check=False)
                self._command(["wineserver", "-w"], check=False)
        finally:
            if self._lock:
                self._lock.close()
                self._lock = None
            if self._xvfb:
                self._xvfb.terminate()
                try:
                    self._xvfb.wait(10)
                except subprocess.TimeoutExpired:
                    self._xvfb.kill()
                    self._xvfb.wait()
                self._xvfb = None

    def _start_display(self):
        given = os.environ.get("DISPLAY")
        if given and _display_answers(given):
            self.display = given
            return
        read_end, write_end = os.pipe()
        try:
            self._xvfb = subprocess.Popen(
                ["Xvfb", "-displayfd", str(write_end), "-screen", "0", "1280x1024x24", "-nolisten", "tcp"],
                pass_fds=(write_end,), stdin=subprocess.DEVNULL, stdout=subprocess.DEVNULL,
                stderr=subprocess.DEVNULL, start_new_session=True)
            os.close(write_end)
            write_end = None
            number = b""
            deadline = time.monotonic() + 20
            while not number.endswith(b"\n") and time.monotonic() < deadline:
                if select.select([read_end], [], [], 1)[0]:
                    chunk = os.read(read_end, 16)
                    if not chunk:
                        break
                    number += chunk
            if not number.strip().isdigit():
                raise HarnessError("Xvfb did not start")
            self.display = ":" + number.strip().decode()
        finally:
            os.close(read_end)
            if write_end is not None:
                os.close(write_end)

    # --- environment and housekeeping ---------------------------------------------

    def environment(self, env=None, lang=None):
        """The environment of a Wine process: a small fixed base (no host JAVA_HOME and
        the like), LC_ALL = lang or en_US.UTF-8, then env (a value None removes a name)."""
        base = {
            "PATH": os.environ.get("PATH", "/usr/bin:/bin"),
            "HOME": os.environ.get("HOME", HOME),
            "USER": USER,
            "DISPLAY": self.display or "",
            "WINEPREFIX": self.prefix,
            "WINEDEBUG": "-all",
            "WINEDLLOVERRIDES": "mscoree,mshtml=",
            "LC_ALL": lang or DEFAULT_LANG,
        }
        for name, value in (env or {}).items():
            if value is None:
                base.pop(name, None)
            else:
                base[name] = value
        return base

    def _command(self, argv, limit=COMMAND_LIMIT, check=True):
        """Runs a Wine housekeeping command; returns its standard output as text."""
        # Files, not pipes: the Wine services that a command starts would hold a pipe open.
        with tempfile.TemporaryFile() as out, tempfile.TemporaryFile() as err:
            try:
                code = subprocess.run(argv, stdin=subprocess.DEVNULL, stdout=out, stderr=err,
                                      env=self.environment(), cwd=self.work_dir, timeout=limit).returncode
            except subprocess.TimeoutExpired:
                raise HarnessError("%s did not end within %d s" % (" ".join(argv), limit))
            out.seek(0)
            err.seek(0)
            if check and code != 0:
                raise HarnessError("%s failed (%d): %s" % (" ".join(argv), code, err.read().decode("utf-8", "replace")))
            return out.read().decode("utf-8", "replace")

    def _restart_server(self):
        """Starts a fresh wineserver, so drive changes take effect. It stays 30 s after
        the last Wine process, so runs need not start it again, yet a harness that was
        killed leaves no server for ever."""
        self._command(["wineserver", "-k"], check=False)
        self._command(["wineserver", "-w"], check=False)
        subprocess.Popen(["wineserver", "-p30"], stdin=subprocess.DEVNULL, stdout=subprocess.DEVNULL,
                         stderr=subprocess.DEVNULL, env=self.environment(), cwd=self.work_dir).wait(COMMAND_LIMIT)

    # --- paths ----------------------------------------------------------------------

    def fixture(self, name):
        """Linux path of a test program built from tests/fixtures, e.g. fixture('ShowBox');
        fails the test when the build did not make it."""
        return self.built(os.path.join(self.build_dir, "fixtures", name + ".exe"))

    def built(self, path):
        """path, a product of the build; a missing one fails the test (an incomplete
        build is a fault, not a reason to skip)."""
        if not os.path.exists(path):
            raise AssertionError("%s is not built (build directory %s)" % (path, self.build_dir))
        return path

    def scratch(self, name):
        """A new, empty directory for one test's files (Linux path)."""
        path = os.path.join(self.work_dir, "scratch", name)
        shutil.rmtree(path, ignore_errors=True)
        os.makedirs(path)
        return path

    @property
    def launcher_view(self):
        """32 or 64: the registry view that launcher.exe (and the fixtures beside it)
        read by default, which is the one a test preparing their registry names."""
        return pe_bits(self.launcher)

    @property
    def temp_dir(self):
        """Linux path of the %TEMP% directory that programs in the prefix use."""
        return os.path.join(self.drive_c, "users", USER, "Temp")

    def windows_path(self, linux_path):
        """The Windows form of a Linux path under the current drive table: through the
        drive whose directory holds it most closely, else \\\\?\\unix\\... ."""
        path = os.path.realpath(linux_path)
        best = None
        for letter, target in self._drives.items():
            root = os.path.realpath(target)
            if path == root or path.startswith(root.rstrip("/") + "/"):
                if best is None or len(root) > len(best[1]):
                    best = (letter, root)
        if best is None:
            return "\\\\?\\unix" + path.replace("/", "\\")
        rest = path[len(best[1]):].strip("/")
        return best[0].upper() + ":\\" + rest.replace("/", "\\")

    # --- drives and registry ------------------------------------------------------

    def set_drives(self, drives, types=None):
        """Makes the drive table exactly drives ({letter: Linux directory}), plus c: (the
        prefix's drive_c) unless drives names it; z: and every other link go away. types
        ({letter: 'hd' | 'cdrom' | 'network' | 'floppy' | 'ramdisk'}) sets the drive types.
        Restarts the wineserver so programs see the new table."""
        table = {"c": self.drive_c}
        table.update({letter.lower().rstrip(":"): target for letter, target in drives.items()})
        self._write_drives(table, {k.lower().rstrip(":"): v for k, v in (types or {}).items()})

    def reset_drives(self):
        """Back to Wine's default table: c: the prefix's drive_c, z: the root /."""
        self._write_drives({"c": self.drive_c, "z": "/"}, {})

    def _write_drives(self, table, types):
        if table == self._drives and set(types) == self._drive_types == set():
            return
        dosdevices = os.path.join(self.prefix, "dosdevices")
        for name in os.listdir(dosdevices):
            if len(name) == 2 and name.endswith(":"):
                os.remove(os.path.join(dosdevices, name))
        for letter, target in table.items():
            os.symlink(os.path.abspath(target), os.path.join(dosdevices, letter + ":"))
        for letter in self._drive_types - set(types):
            self.reg_delete(r"HKLM\Software\Wine\Drives", letter + ":", view=WINE_VIEW)
        for letter, kind in types.items():
            self.reg_add(r"HKLM\Software\Wine\Drives", letter + ":", kind, view=WINE_VIEW)
        self._drive_types = set(types)
        self._drives = dict(table)
        self._restart_server()

    # Registry helpers: view is 32 or 64, the registry view to work in (WINE_VIEW for
    # Wine's settings, launcher_view for what the launcher reads).

    @staticmethod
    def _view_switch(view):
        if view not in (32, 64):
            raise ValueError("a registry view is 32 or 64, not %r" % (view,))
        return "/reg:%d" % view

    def reg_add(self, key, name, value, kind="REG_SZ", *, view):
        """Sets a registry value (name None: the key's default value); creates the key."""
        argv = ["wine", "reg", "add", key] + (["/ve"] if name is None else ["/v", name])
        self._command(argv + ["/t", kind, "/d", str(value), "/f", self._view_switch(view)])

    def reg_delete(self, key, name=None, *, view):
        """Deletes one value, or with name None the whole key. Missing is not an error."""
        argv = ["wine", "reg", "delete", key] + ([] if name is None else ["/v", name])
        self._command(argv + ["/f", self._view_switch(view)], check=False)

    def reg_import(self, text, *, view):
        """Imports a .reg file's text (from the line after its header): keys in
        [brackets], `"NAME"="text"`, `dword:`, `hex(2):`, `[-KEY]` and `"NAME"=-`
        deletions; deleting what is missing is no error. One Wine start for any number
        of values. Written as UTF-16, the form in which `hex(2):` data is UTF-16 too."""
        path = os.path.join(self.drive_c, "nv-import.reg")  # on C:, which every drive table keeps
        with open(path, "wb") as f:
            f.write(b"\xff\xfe" + ("Windows Registry Editor Version 5.00\r\n\r\n" + text).replace(
                "\r\n", "\n").replace("\n", "\r\n").encode("utf-16-le"))
        try:
            self._command(["wine", "reg", "import", self.windows_path(path), self._view_switch(view)])
        finally:
            os.remove(path)

    def reg_query(self, key, name, *, view):
        """The data of a registry value as `reg query` prints it, or None if it is missing."""
        try:
            out = self._command(["wine", "reg", "query", key, "/v", name, self._view_switch(view)])
        except HarnessError:
            return None
        for line in out.splitlines():
            parts = line.strip().split(None, 2)
            if len(parts) >= 2 and parts[0].lower() == name.lower() and parts[1].startswith("REG_"):
                return parts[2] if len(parts) > 2 else ""
        return None

    def set_windows_version(self, exe_name, version="win98"):
        """Makes Wine report a Windows version ('win98', 'winxp', ...) to programs with
        this file name; None returns them to the prefix's default."""
        key = "HKCU\\Software\\Wine\\AppDefaults\\" + exe_name
        if version is None:
            self.reg_delete(key, "Version", view=WINE_VIEW)
        else:
            self.reg_add(key, "Version", version, view=WINE_VIEW)

    def set_dpi(self, dpi):
        """Sets the screen's DPI that programs started from now on see (96 is 100 %, 144
        150 %, 192 200 %); None returns to Wine's default of 96. No restart is needed."""
        if dpi is None:
            self.reg_delete(DPI_KEY, "LogPixels", view=WINE_VIEW)
        else:
            self.reg_add(DPI_KEY, "LogPixels", int(dpi), "REG_DWORD", view=WINE_VIEW)

    # --- running programs ---------------------------------------------------------

    def temporary_names(self):
        """The launcher's temporary names (LRE...) in the prefix's %TEMP%, except the
        clean-up batch files, which remove themselves after the run."""
        pattern = os.path.join(self.temp_dir, "LRE*")
        return {path for path in glob.glob(pattern) if not path.lower().endswith(".bat")}

    def run(self, program, args=(), env=None, cwd=None, timeout=60, watch=False, lang=None, keeps_temp=False,
            layout=False):
        """Runs a Windows program (a Windows path, or a Linux path that is given to Wine
        in its windows_path form) with args, closed standard input, the environment of
        environment(env, lang) and cwd (a Linux directory, default drive_c).
        With watch, the dialog watcher runs beside it: it presses every message box and
        its records land in RunResult.events; with layout also, each progress and msgbox
        record carries the dialog's "layout" (controls, rects, the size their texts need:
        see DialogWatcher.cpp). Returns a RunResult; raises
        TimeLimitExceeded after killing the program (and every process of the prefix)
        if it has not ended within timeout seconds. Unless keeps_temp is given (for a
        run that hands temporary files on by design), a run that leaves a temporary
        name of its own in %TEMP% fails: every run must clean up after itself."""
        temporary_before = self.temporary_names()
        if "/" in program:
            program = self.windows_path(program)
        argv = ["wine", program] + [str(a) for a in args]
        self._runs += 1
        run_dir = os.path.join(self.work_dir, "runs", str(self._runs))
        shutil.rmtree(run_dir, ignore_errors=True)
        os.makedirs(run_dir)
        environment = self.environment(env, lang)
        watcher = self._start_watcher(run_dir, environment, timeout, layout) if watch or layout else None
        began = time.monotonic()
        timed_out = False
        with open(os.path.join(run_dir, "stdout"), "wb") as out, open(os.path.join(run_dir, "stderr"), "wb") as err:
            # Files, not pipes: Wine's helper processes may hold a pipe open.
            process = subprocess.Popen(argv, stdin=subprocess.DEVNULL, stdout=out, stderr=err,
                                       env=environment, cwd=cwd or self.drive_c, start_new_session=True)
            try:
                exit_code = process.wait(timeout)
            except subprocess.TimeoutExpired:
                timed_out = True
                os.killpg(process.pid, signal.SIGKILL)
                exit_code = process.wait()
        seconds = time.monotonic() - began
        events = self._stop_watcher(watcher, run_dir) if watcher else []
        with open(os.path.join(run_dir, "stdout"), "rb") as f:
            stdout = f.read()
        with open(os.path.join(run_dir, "stderr"), "rb") as f:
            stderr = f.read()
        if timed_out:
            # Children of the program may live on in their own sessions: end the prefix's processes.
            self._restart_server()
            raise TimeLimitExceeded("%s did not end within %s s; output so far: %r; dialogs: %r"
                                    % (" ".join(argv[1:]), timeout, stdout[-2000:], events[-20:]), stdout)
        left = sorted(self.temporary_names() - temporary_before)
        if left and not keeps_temp:
            raise AssertionError("the run left temporary files behind: %r" % left)
        return RunResult(argv[1:], exit_code, stdout, stderr, events, seconds)

    def run_host(self, argv, cwd=None, timeout=60):
        """Runs a Linux program such as nvpack with closed standard input. Returns a
        subprocess.CompletedProcess (returncode, stdout and stderr as bytes); raises
        TimeLimitExceeded after killing it if it has not ended within timeout seconds."""
        try:
            return subprocess.run([str(a) for a in argv], stdin=subprocess.DEVNULL, capture_output=True,
                                  cwd=cwd, timeout=timeout)
        except subprocess.TimeoutExpired as expired:
            raise TimeLimitExceeded("%s did not end within %s s" % (" ".join(map(str, argv)), timeout),
                                    expired.stdout or b"")

    def _start_watcher(self, run_dir, environment, timeout, layout=False):
        output = os.path.join(run_dir, "dialogs.jsonl")
        stop = os.path.join(run_dir, "stop")
        limit_ms = int((timeout + 30) * 1000)
        process = subprocess.Popen(
            ["wine", self.windows_path(self.watcher), self.windows_path(output), self.windows_path(stop), str(limit_ms)]
            + (["-layout"] if layout else []),
            stdin=subprocess.DEVNULL, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL,
            env=environment, cwd=self.drive_c, start_new_session=True)
        deadline = time.monotonic() + 30
        while time.monotonic() < deadline:
            if os.path.exists(output) and os.path.getsize(output) > 0:
                return process
            if process.poll() is not None:
                break
            time.sleep(0.05)
        self._kill(process)
        raise HarnessError("the dialog watcher did not start (%s)" % self.watcher)

    def _stop_watcher(self, process, run_dir):
        open(os.path.join(run_dir, "stop"), "wb").close()
        try:
            process.wait(15)
        except subprocess.TimeoutExpired:
            self._kill(process)
        events = []
        with open(os.path.join(run_dir, "dialogs.jsonl"), "rb") as f:
            for line in f:
                if line.strip():
                    events.append(json.loads(line.decode("utf-8")))
        return [e for e in events if e["event"] not in ("ready", "end")]

    @staticmethod
    def _kill(process):
        try:
            os.killpg(process.pid, signal.SIGKILL)
        except ProcessLookupError:
            pass
        process.wait()


_session = None


def configure(build_dir=None, nvpack=None, work_dir=None):
    """Sets up the session that session() returns; call before the first session()."""
    global _session
    if _session is not None:
        _session.close()
    _session = Session(build_dir, nvpack, work_dir)
    atexit.register(_session.close)
    return _session


def session():
    """The run's Session, started on first use and closed when the interpreter exits.
    Build and work directories come from configure() or from NV_E2E_BUILD, NV_NVPACK
    and NV_E2E_WORK."""
    global _session
    if _session is None:
        configure()
    _session.start()
    return _session
