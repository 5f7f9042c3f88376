"""What every request to the tests' slow share pays, in either of its modes: it waits while the
stall flag exists (a server that went away), is logged so a test can count what a program asks,
then takes the round trip's delay."""
import os
import threading
import time


class Trips:
    def __init__(self, delay_s, stall_flag, log_path):
        self.delay_s = delay_s
        self.stall_flag = stall_flag
        self.log = open(log_path, "a", buffering=1) if log_path else None
        self.log_lock = threading.Lock()
        self.started = time.monotonic()

    def stalled(self):
        return bool(self.stall_flag) and os.path.exists(self.stall_flag)

    def note(self, request, path):
        """Logs one request as "<seconds since mount> <request> <path>"."""
        if self.log:
            with self.log_lock:
                self.log.write("%.6f %s %s\n" % (time.monotonic() - self.started, request, path))
