"""The runtime installer's download server for the Wine tests: HTTPS on loopback, on a port
the system picks (printed as "port N"), answering the paths the tests ask for.
    installer_server.py <chain.pem> <key.pem> <registering-installer.exe> <idle-installer.exe>
"""
import http.server
import socketserver
import ssl
import sys
import time

chain, key, registering, idle = sys.argv[1:5]
MIB = 1024 * 1024


class Handler(http.server.BaseHTTPRequestHandler):
    protocol_version = "HTTP/1.1"

    def log_message(self, *args):
        pass

    def head(self, status, length):
        self.send_response(status)
        self.send_header("Content-Type", "application/octet-stream")
        self.send_header("Content-Length", str(length))
        self.end_headers()

    def file(self, path):
        with open(path, "rb") as f:
            data = f.read()
        self.head(200, len(data))
        self.wfile.write(data)

    def do_GET(self):
        try:
            if self.path == "/installer.exe":
                self.file(registering)
            elif self.path == "/idle-installer.exe":
                self.file(idle)
            elif self.path in ("/moved", "/to-plain"):
                # Where the real address sends its callers on: another place of the same server,
                # or plain HTTP, which must not be followed.
                port = self.server.server_address[1]
                scheme = "https" if self.path == "/moved" else "http"
                self.send_response(302)
                self.send_header("Location", f"{scheme}://localhost:{port}/installer.exe")
                self.send_header("Content-Length", "0")
                self.end_headers()
            elif self.path == "/oversized":
                # Announces more than the client accepts, then sends on.
                self.head(200, 64 * MIB)
                self.wfile.write(b"\0" * MIB)
            elif self.path == "/unannounced-oversized":
                # No length given: the client must count.
                self.send_response(200)
                self.send_header("Connection", "close")
                self.end_headers()
                for _ in range(5):
                    self.wfile.write(b"\0" * MIB)
            elif self.path == "/stalled":
                self.head(200, 1000)
                self.wfile.write(b"MZ" + b"\0" * 8)
                self.wfile.flush()
                # Longer than the test may run: only the client's own limit ends this.
                time.sleep(600)
            elif self.path == "/short":
                self.head(200, 1000)
                self.wfile.write(b"MZ" + b"\0" * 8)
                self.wfile.flush()
                self.close_connection = True
            elif self.path == "/slow":
                # An eighth at once, then a trickle until the client goes away.
                self.head(200, 2 * MIB)
                self.wfile.write(b"\0" * (MIB // 4))
                self.wfile.flush()
                for _ in range(1536):
                    time.sleep(0.2)
                    self.wfile.write(b"\0" * 1024)
                    self.wfile.flush()
            else:
                self.head(404, 0)
        except (BrokenPipeError, ConnectionResetError, ssl.SSLError):
            pass


class Server(socketserver.ThreadingMixIn, http.server.HTTPServer):
    daemon_threads = True


server = Server(("127.0.0.1", 0), Handler)
context = ssl.SSLContext(ssl.PROTOCOL_TLS_SERVER)
context.load_cert_chain(chain, key)
server.socket = context.wrap_socket(server.socket, server_side=True)
print("port", server.server_address[1], flush=True)
server.serve_forever()
