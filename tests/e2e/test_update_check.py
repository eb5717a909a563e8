"""The real program under a real X server: Help's update check fetches the record from a local
https server whose certificate a test authority signed, trusted for this run only through
SSL_CERT_FILE, and shows the newer version it describes."""

import os
import struct
import subprocess
import sys
import unittest

sys.path.insert(0, os.path.dirname(__file__))
import harness  # noqa: E402

PROGRAM = os.environ.get("SLICEWELL", "build/app/slicewell")
SERVER = os.path.join(os.path.dirname(__file__), "..", "update", "update_server.py")


def make_authority(folder):
    """A certificate authority of this run and a server certificate it signed for 127.0.0.1."""
    def openssl(*arguments):
        subprocess.run(["openssl", *arguments], cwd=folder, check=True, capture_output=True,
                       timeout=60)
    with open(os.path.join(folder, "server.ext"), "w") as ext:
        ext.write("subjectAltName=IP:127.0.0.1\nbasicConstraints=CA:FALSE\n")
    openssl("req", "-x509", "-newkey", "rsa:2048", "-nodes", "-keyout", "ca.key", "-out",
            "ca.pem", "-days", "2", "-subj", "/CN=Slicewell test authority")
    openssl("req", "-newkey", "rsa:2048", "-nodes", "-keyout", "server.key", "-out",
            "server.csr", "-subj", "/CN=127.0.0.1")
    openssl("x509", "-req", "-in", "server.csr", "-CA", "ca.pem", "-CAkey", "ca.key",
            "-CAcreateserial", "-out", "server.pem", "-days", "2", "-extfile", "server.ext")
    return tuple(os.path.join(folder, name) for name in ("ca.pem", "server.pem", "server.key"))


def record(description):
    """An update record of 1820 bytes: build 999 of version 4.9, published in 2064."""
    data = bytearray(1820)
    struct.pack_into("<I", data, 4, 999)
    struct.pack_into("<I", data, 8, (4 << 16) | 9)
    struct.pack_into("<d", data, 20, 60000.0)
    data[28:28 + len(description)] = description
    return bytes(data)


class UpdateCheckEndToEnd(unittest.TestCase):
    def test_update_check_over_https_shows_the_newer_version(self):
        # Breaks when the check cannot speak https (every fresh install's address is one), does
        # not verify the server against the trusted authority, or loses the record on the way.
        with harness.Session() as session:
            authority, certificate, key = make_authority(session.root)
            served = os.path.join(session.root, "served")
            os.makedirs(served)
            with open(os.path.join(served, "record.http"), "wb") as response:
                response.write(b"HTTP/1.0 200 OK\r\n\r\n" + record(b"A newer cutter"))
            server = subprocess.Popen(["python3", SERVER, served, certificate, key],
                                      stdout=subprocess.PIPE, stderr=subprocess.DEVNULL,
                                      text=True)
            try:
                port = int(server.stdout.readline())
                harness.write_settings(session, SplashDelay=0, CutterAutoPlay=0,
                                       UpdatesURL=f"https://127.0.0.1:{port}/record")
                app = session.start([os.path.abspath(PROGRAM)], cwd=session.root,
                                    extra_env={"SSL_CERT_FILE": authority})
                window = session.window("^Slicewell 4 - Untitled1$")
                accessible = session.accessible()
                program = accessible.application("slicewell")

                session.key(window, "alt+h")
                session.xdotool("key", "u")  # "Check for &updates"
                info = session.window("^Update information$", timeout=30)
                self.assertEqual(session.xdotool("getwindowname", info), "Update information")
                accessible.find(program, "label",
                                "There is an updated Slicewell version available")
                accessible.find(program, "label", "Latest version: 4.9 build 999 ")
                accessible.press(accessible.find(program, "push button", "Update version info"))
                harness.wait_for(lambda: harness.window_gone(session, "^Update information$"),
                                 10, what="the update window to close")

                session.key(window, "alt+F4")
                self.assertEqual(app.wait(15), 0, harness.output(app)[1])
                self.assertNotIn("certificate", harness.output(app)[1])
            finally:
                server.terminate()
                server.wait(10)


if __name__ == "__main__":
    unittest.main(verbosity=2)
