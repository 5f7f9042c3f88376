"""A desktop of the tests' own for the real program: Xvfb, a private D-Bus session bus and a
portable copy of Norvane beside its settings files, all in one temporary folder."""
import os
import shutil
import signal
import subprocess
import sys
import tempfile
import time

SKIPPED = 77


def skip(why):
    print("SKIPPED: " + why)
    sys.exit(SKIPPED)


def crlf(*lines):
    return "".join(line + "\r\n" for line in lines).encode("utf-8")


def eventually(check, what, seconds=15):
    end = time.time() + seconds
    while time.time() < end:
        result = check()
        if result:
            return result
        time.sleep(0.2)
    raise AssertionError("never happened: " + what)


class Desktop:
    def __init__(self, program, prefix, bus_config=None, **env):
        self.dir = tempfile.mkdtemp(prefix=prefix)
        self.program_dir = os.path.join(self.dir, "program")
        self.program = os.path.join(self.program_dir, "norvane")
        self.processes = []
        self.norvane = None
        os.makedirs(self.program_dir)
        shutil.copy(program, self.program)
        self.env = dict(os.environ, HOME=self.dir, XDG_RUNTIME_DIR=self.dir, LANG="C.UTF-8",
                        QT_QPA_PLATFORM="xcb", **env)
        if "QT_ACCESSIBILITY" not in env:
            self.env.pop("QT_ACCESSIBILITY", None)
        self.env.pop("AT_SPI_BUS_ADDRESS", None)
        self.start_display()
        self.start_bus(bus_config)

    def spawn(self, command, **options):
        """A helper process in a session of its own: whatever it starts ends with it."""
        process = subprocess.Popen(command, env=self.env, start_new_session=True, **options)
        self.processes.append(process)
        return process

    def start_display(self):
        read, write = os.pipe()
        log = os.path.join(self.dir, "xvfb.log")
        with open(log, "wb") as out:
            # Kept through its clients' ends: a server resetting refuses the next program.
            self.spawn(["Xvfb", "-displayfd", str(write), "-screen", "0", "1280x900x24",
                        "-nolisten", "tcp", "-noreset"], pass_fds=(write,), stderr=out)
        os.close(write)
        # Up to the line's end: the server writes the number and the newline apart and ends
        # itself if the pipe is closed in between.
        display = b""
        while not display.endswith(b"\n"):
            chunk = os.read(read, 64)
            if not chunk:
                break
            display += chunk
        os.close(read)
        self.env["DISPLAY"] = ":" + display.decode().strip()
        try:
            eventually(lambda: subprocess.run(["xdotool", "getdisplaygeometry"], env=self.env,
                                              capture_output=True).returncode == 0,
                       "Xvfb answering on " + self.env["DISPLAY"])
        except AssertionError:
            with open(log, encoding="utf-8", errors="replace") as f:
                print(f.read(), file=sys.stderr)
            raise

    def start_bus(self, config):
        if config:
            path = os.path.join(self.dir, "bus.conf")
            with open(path, "w") as f:
                f.write(config)
            command = ["dbus-daemon", "--config-file=" + path]
        else:
            command = ["dbus-daemon", "--session"]
        bus = self.spawn(command + ["--nofork", "--print-address=1"], stdout=subprocess.PIPE)
        self.address = bus.stdout.readline().decode().strip()
        self.env["DBUS_SESSION_BUS_ADDRESS"] = self.address

    def configure(self, data, *norvane_ini):
        """The copy's settings: data as its one folder, norvane_ini as its program settings."""
        with open(os.path.join(self.program_dir, "Settings.ini"), "wb") as f:
            f.write(crlf("[DataFolders]", "FolderCount=1", "Folder1=" + data + "/"))
        with open(os.path.join(self.program_dir, "Norvane4.ini"), "wb") as f:
            f.write(crlf(*norvane_ini, "[Application]", "FirstStart=0"))

    def start_program(self):
        self.stop()
        self.norvane = subprocess.Popen([self.program], env=self.env)

    def windows(self, name):
        found = subprocess.run(["xdotool", "search", "--onlyvisible", "--name", name],
                               env=self.env, capture_output=True, text=True)
        return found.stdout.split()

    def keys(self, *keys):
        for key in keys:
            subprocess.run(["xdotool", "key", "--clearmodifiers", key], env=self.env, check=True)
            time.sleep(0.15)

    def type(self, text):
        subprocess.run(["xdotool", "type", "--delay", "20", text], env=self.env, check=True)

    def focus_window(self, title):
        window = eventually(lambda: self.windows(title), "a window named " + title)
        subprocess.run(["xdotool", "windowfocus", "--sync", window[0]], env=self.env)

    def stop(self):
        if self.norvane is not None:
            self.norvane.kill()
            self.norvane.wait()
            self.norvane = None

    def close(self):
        self.stop()
        for process in reversed(self.processes):
            try:
                os.killpg(process.pid, signal.SIGKILL)
            except (ProcessLookupError, PermissionError):
                process.kill()
            process.wait()
        shutil.rmtree(self.dir, ignore_errors=True)
