"""Starts the whole program for a test: headless on the simulated board, with per-user
folders of its own and the web panel on a free 127.0.0.1 port signed in with a known
password. Ended by SIGTERM, and for sure, when the test ends."""

import os
import signal
import socket
import subprocess
import tempfile
import time


def free_port():
    with socket.socket() as probe:
        probe.bind(("127.0.0.1", 0))
        return probe.getsockname()[1]


class KestrumProgram:
    def __init__(self, binary, password):
        self.folder = tempfile.TemporaryDirectory()
        self.port = free_port()
        home = self.folder.name
        self.env = dict(os.environ,
                        XDG_CONFIG_HOME=os.path.join(home, "config"),
                        XDG_DATA_HOME=os.path.join(home, "data"),
                        XDG_RUNTIME_DIR=os.path.join(home, "run"))
        os.makedirs(self.env["XDG_RUNTIME_DIR"], mode=0o700)
        os.makedirs(os.path.join(self.env["XDG_CONFIG_HOME"], "KaugVool"))
        with open(self.settings_file(), "w", encoding="utf-8") as settings:
            settings.write(f"[Seaded]\nLogi=1\n[Web]\nEnabled=1\nListen=127.0.0.1:{self.port}\n")
        subprocess.run([binary, "--set-web-password"], input=password + "\n", text=True,
                       env=self.env, check=True, timeout=30, capture_output=True)
        self.errors = open(os.path.join(home, "kestrum.err"), "w+", encoding="utf-8")
        self.process = subprocess.Popen([binary, "--headless", "--simulate"], env=self.env,
                                        stdout=self.errors, stderr=subprocess.STDOUT)
        self._wait_until_listening()

    def settings_file(self):
        return os.path.join(self.env["XDG_CONFIG_HOME"], "KaugVool", "KaugVool.ini")

    def url(self, path="/"):
        return f"http://127.0.0.1:{self.port}{path}"

    def output(self):
        self.errors.flush()
        self.errors.seek(0)
        return self.errors.read()

    def _wait_until_listening(self):
        deadline = time.monotonic() + 20
        while time.monotonic() < deadline:
            if self.process.poll() is not None:
                raise RuntimeError("kestrum ended at start:\n" + self.output())
            try:
                socket.create_connection(("127.0.0.1", self.port), timeout=1).close()
                return
            except OSError:
                time.sleep(0.1)
        raise RuntimeError("kestrum's web panel did not listen:\n" + self.output())

    def stop(self):
        """Ends the program as a service manager would; raises unless it ended in order."""
        status = self.process.poll()
        if status is None:
            self.process.send_signal(signal.SIGTERM)
            try:
                status = self.process.wait(timeout=10)
            except subprocess.TimeoutExpired:
                self.process.kill()
                self.process.wait()
        output = self.output()
        self.errors.close()
        self.folder.cleanup()
        if status != 0:
            raise RuntimeError(f"kestrum ended with status {status}:\n{output}")

    def __enter__(self):
        return self

    def __exit__(self, kind, *_):
        try:
            self.stop()
        except RuntimeError:
            if kind is None:  # the test's own failure says more
                raise
