#!/usr/bin/env python3
"""MQTT against the running program: set -> state latency, and a flood of 10,000 commands.

Starts a Mosquitto broker on 127.0.0.1 with no-delay on, and the application itself
(headless, on the simulated board) connected to it. Then:
- latency: 100 commands one after the other, each timed from its publish to its state;
- flood: 10,000 switching commands for output 1 as fast as the broker takes them; 1 s into it
  a command for output 2, and at 2 s a time-table switching of output 3, each timed to its
  state; the time until the program is idle again, and the bytes it wrote meanwhile.

    bench/mqtt_flood.py BUILD/app/kestrum[,OTHER/kestrum ...]
"""
import datetime
import os
import socket
import statistics
import struct
import subprocess
import sys
import tempfile
import threading
import time

FLOOD = 10000


def free_port():
    with socket.socket() as s:
        s.bind(("127.0.0.1", 0))
        return s.getsockname()[1]


def encode_length(n):
    out = b""
    while True:
        byte, n = n % 128, n // 128
        out += bytes([byte | (0x80 if n else 0)])
        if not n:
            return out


def string(text):
    data = text.encode() if isinstance(text, str) else text
    return struct.pack("!H", len(data)) + data


class Client:
    """A minimal MQTT 3.1.1 client: QoS 0, no-delay, a reader thread keeping the last payloads."""

    def __init__(self, port, name):
        self.sock = socket.create_connection(("127.0.0.1", port))
        self.sock.setsockopt(socket.IPPROTO_TCP, socket.TCP_NODELAY, 1)
        body = string("MQTT") + bytes([4, 2]) + struct.pack("!H", 60) + string(name)
        self.sock.sendall(b"\x10" + encode_length(len(body)) + body)
        self.latest = {}
        self.changed = threading.Condition()
        self.reader = threading.Thread(target=self.read, daemon=True)
        self.reader.start()

    def subscribe(self, topic):
        body = struct.pack("!H", 1) + string(topic) + b"\x00"
        self.sock.sendall(b"\x82" + encode_length(len(body)) + body)

    def publish(self, topic, payload):
        self.sock.sendall(self.packet(topic, payload))

    @staticmethod
    def packet(topic, payload):
        body = string(topic) + payload
        return b"\x30" + encode_length(len(body)) + body

    def read_exact(self, n):
        data = b""
        while len(data) < n:
            chunk = self.sock.recv(n - len(data))
            if not chunk:
                raise EOFError
            data += chunk
        return data

    def read(self):
        try:
            while True:
                header = self.read_exact(1)[0]
                length, shift = 0, 0
                while True:
                    byte = self.read_exact(1)[0]
                    length += (byte & 0x7F) << shift
                    shift += 7
                    if not byte & 0x80:
                        break
                body = self.read_exact(length)
                if header >> 4 == 3:
                    size = struct.unpack("!H", body[:2])[0]
                    topic = body[2:2 + size].decode()
                    with self.changed:
                        self.latest[topic] = (body[2 + size:], time.monotonic())
                        self.changed.notify_all()
        except (EOFError, OSError):
            pass

    def wait_for(self, topic, payload, limit):
        deadline = time.monotonic() + limit
        with self.changed:
            while self.latest.get(topic, (None,))[0] != payload:
                if not self.changed.wait(max(0, deadline - time.monotonic())):
                    return None
            return self.latest[topic][1]


def cpu_ticks(pid):
    fields = open("/proc/%d/stat" % pid).read().rsplit(")", 1)[1].split()
    return int(fields[11]) + int(fields[12])


def written(pid):
    for line in open("/proc/%d/io" % pid):
        if line.startswith("wchar:"):
            return int(line.split()[1])
    return 0


def measure(binary, port):
    folder = tempfile.mkdtemp(prefix="kestrum-mqtt-")
    env = {**os.environ, "XDG_CONFIG_HOME": folder + "/cfg", "XDG_DATA_HOME": folder + "/data",
           "XDG_RUNTIME_DIR": folder + "/run"}
    for sub in ("cfg/KaugVool", "data", "run"):
        os.makedirs(os.path.join(folder, sub), mode=0o700, exist_ok=True)
    subprocess.run(["timeout", "-s", "TERM", "2", binary, "--headless", "--simulate"], env=env,
                   stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL, check=False)
    # Output 3 switches on by its time table, daily, 2 s into the flood.
    start = time.time()
    flood_at = start + 12
    switch_at = datetime.datetime.fromtimestamp(int(flood_at) + 2)
    ini = os.path.join(folder, "cfg", "KaugVool", "KaugVool.ini")
    text = open(ini, encoding="utf-8").read()
    text = text.replace("Juhtimine%203=0", "Juhtimine%203=1")
    text = text.replace("Initsialiseeritud%203=0", "Initsialiseeritud%203=1")
    text = text.replace("Sisseaeg%2043=0", "Sisseaeg%2043=" + switch_at.strftime("%H:%M:%S"))
    text = text.replace("Sisseaeg%2063=0", "Sisseaeg%2063=1")
    text += "\n[MQTT]\nBroker=mqtt://127.0.0.1:%d\nClientId=kestrum-bench\n" % port
    open(ini, "w", encoding="utf-8").write(text)

    program = subprocess.Popen([binary, "--headless", "--simulate"], env=env,
                               stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    client = Client(port, "bench")
    client.subscribe("kestrum/#")
    if client.wait_for("kestrum/availability", b"online", 10) is None:
        program.kill()
        return {"error": "the program did not come online"}
    figures = {}

    latencies = []
    for i in range(100):
        payload = b"ON" if i % 2 == 0 else b"OFF"
        sent = time.monotonic()
        client.publish("kestrum/output/4/set", payload)
        seen = client.wait_for("kestrum/output/4/state", payload, 5)
        if seen is not None:
            latencies.append((seen - sent) * 1000)
    latencies.sort()
    figures["set->state p50 ms"] = statistics.median(latencies)
    figures["set->state p99 ms"] = latencies[int(len(latencies) * 0.99) - 1]

    time.sleep(max(0, flood_at - time.time()))
    before_bytes = written(program.pid)
    flood_start = time.monotonic()
    flood = b"".join(Client.packet("kestrum/output/1/set", b"ON" if i % 2 == 0 else b"OFF")
                     for i in range(FLOOD))
    sender = threading.Thread(target=client.sock.sendall, args=(flood,))
    sender.start()
    time.sleep(max(0, flood_start + 1 - time.monotonic()))
    legit_sent = time.monotonic()
    # Its own connection: the flood's may still be queued in the socket.
    other = Client(port, "bench-legit")
    other.publish("kestrum/output/2/set", b"ON")
    sender.join()
    seen = client.wait_for("kestrum/output/2/state", b"ON", 180)
    figures["command 1 s into the flood, s"] = (seen - legit_sent) if seen else float("nan")
    seen = client.wait_for("kestrum/output/3/state", b"ON", 180)
    if seen:
        figures["time-table switching late, s"] = seen - flood_start - (
            switch_at.timestamp() - flood_at)
    # Idle again: no CPU for a whole second.
    last, quiet_since = cpu_ticks(program.pid), time.monotonic()
    busy_until = time.monotonic()
    while time.monotonic() - quiet_since < 1.0 and time.monotonic() - flood_start < 300:
        time.sleep(0.1)
        now = cpu_ticks(program.pid)
        if now != last:
            last, quiet_since = now, time.monotonic()
            busy_until = quiet_since
    figures["flood drained, s"] = busy_until - flood_start
    time.sleep(1.5)
    figures["bytes written in the flood, MB"] = (written(program.pid) - before_bytes) / 1e6
    program.terminate()
    program.wait()
    return figures


def main():
    port = free_port()
    folder = tempfile.mkdtemp(prefix="kestrum-broker-")
    config = os.path.join(folder, "mosquitto.conf")
    open(config, "w").write("user root\nallow_anonymous true\npersistence false\n"
                            "set_tcp_nodelay true\nmax_queued_messages 0\n"
                            "listener %d 127.0.0.1\n" % port)
    broker = subprocess.Popen(["/usr/sbin/mosquitto", "-c", config], stdout=subprocess.DEVNULL,
                              stderr=subprocess.DEVNULL)
    time.sleep(0.5)
    try:
        for binary in sys.argv[1].split(","):
            print(binary)
            for key, value in measure(binary, port).items():
                print("    %-34s %10.3f" % (key, value) if isinstance(value, float)
                      else "    %-34s %s" % (key, value))
            sys.stdout.flush()
    finally:
        broker.terminate()
        broker.wait()


if __name__ == "__main__":
    main()
