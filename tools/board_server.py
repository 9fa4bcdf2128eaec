#!/usr/bin/env python3
"""A small board server on loopback, for the demo and the end-to-end tests.

Serves each board folder given with --board NAME=DIR under /NAME/ (SETTING.TXT and pictures)
with the files' times as Last-Modified, as static file servers do, answers 404 for everything
else, prints the port it listens on as the first line of standard output, and stops by itself
after --lifetime seconds. With --log FILE it appends each request's path to FILE as it arrives,
for a test to wait on. With --proxied-only it answers 403 to any request that did not come
through a proxy (one without a Via header), as a server reachable only through the proxy.
"""
import argparse
import email.utils
import http.server
import os
import sys
import threading
import time


def unchanged_since(since, modified):
    """True when the If-Modified-Since date `since` is no older than `modified`."""
    try:
        return since is not None and email.utils.parsedate_to_datetime(since).timestamp() >= modified
    except (TypeError, ValueError):
        return False


def make_handler(boards, hold, latency_seconds, log, proxied_only):
    class Handler(http.server.BaseHTTPRequestHandler):
        protocol_version = "HTTP/1.0"

        def do_GET(self):
            if log:
                with open(log, "a") as f:
                    f.write(self.path + "\n")
            time.sleep(latency_seconds)
            if proxied_only and "Via" not in self.headers:
                self.send_error(403)
                return
            parts = self.path.split("?", 1)[0].split("/")
            # /NAME/FILE only: no other folder, no way out of the board's folder.
            folder = boards.get(parts[1]) if len(parts) == 3 else None
            name = parts[2] if len(parts) == 3 else ""
            path = os.path.join(folder, name) if folder and name and name not in (".", "..") else None
            if path is None or not os.path.isfile(path):
                self.send_error(404)
                return
            while name == "SETTING.TXT" and hold and not os.path.exists(hold):
                time.sleep(0.05)
            modified = int(os.path.getmtime(path))
            if unchanged_since(self.headers.get("If-Modified-Since"), modified):
                self.send_response(304)
                self.end_headers()
                return
            with open(path, "rb") as f:
                body = f.read()
            self.send_response(200)
            self.send_header("Last-Modified", email.utils.formatdate(modified, usegmt=True))
            self.send_header("Content-Type", "text/plain" if name.endswith(".TXT") else
                             "image/gif" if name.endswith(".gif") else "image/png")
            self.send_header("Content-Length", str(len(body)))
            self.end_headers()
            self.wfile.write(body)

        def log_message(self, *args):
            pass

    return Handler


def main():
    parser = argparse.ArgumentParser(description=__doc__)
    parser.add_argument("--board", action="append", default=[], metavar="NAME=DIR")
    parser.add_argument("--hold", metavar="FILE",
                        help="answer SETTING.TXT only once FILE exists, as a stalled server")
    parser.add_argument("--latency", type=float, default=0.0,
                        help="seconds to wait before answering any request, as a distant server")
    parser.add_argument("--proxied-only", action="store_true",
                        help="refuse requests that did not come through a proxy")
    parser.add_argument("--lifetime", type=float, default=600.0)
    parser.add_argument("--log", help="a file to append each request's path to")
    args = parser.parse_args()

    boards = {}
    for entry in args.board:
        name, _, folder = entry.partition("=")
        boards[name] = os.path.abspath(folder)

    server = http.server.ThreadingHTTPServer(
        ("127.0.0.1", 0), make_handler(boards, args.hold, args.latency, args.log, args.proxied_only))
    server.daemon_threads = True
    print(server.server_address[1], flush=True)
    threading.Timer(args.lifetime, server.shutdown).start()
    server.serve_forever()
    return 0


if __name__ == "__main__":
    sys.exit(main())
