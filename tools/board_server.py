#!/usr/bin/env python3
"""A small board server on loopback, for the demo and the end-to-end tests.

Serves each board folder given with --board NAME=DIR under /NAME/ (SETTING.TXT and pictures)
with the files' times as Last-Modified, as static file servers do, answers 404 for everything
else, prints the port it listens on as the first line of standard output, and stops by itself
after --lifetime seconds. With --log FILE it appends each request's path to FILE as it arrives,
for a test to wait on. With --proxied-only it answers 403 to any request that did not come
through a proxy (one without a Via header), as a server reachable only through the proxy.

With --pictures FILE, the first word of FILE (read again all the while) says how the pictures,
everything but SETTING.TXT, are answered, as by a host that goes slow or away:
  hold        take the request and answer nothing yet
  head        send the head of the answer, then nothing more yet
  trickle     send the head, then one byte of the picture a second
  delay N     answer N seconds after the request came
  blackhole   take no connection, for SETTING.TXT neither: the attempts go unanswered, as to a
              host that is gone
  refuse      refuse every connection, as a host whose server is down (SETTING.TXT too)
  anything else, or no FILE: answer at once.
A picture held back is answered in full once FILE says so.
"""
import argparse
import contextlib
import email.utils
import http.server
import os
import socket
import sys
import time


def unchanged_since(since, modified):
    """True when the If-Modified-Since date `since` is no older than `modified`."""
    try:
        return since is not None and email.utils.parsedate_to_datetime(since).timestamp() >= modified
    except (TypeError, ValueError):
        return False


def picture_mode(pictures):
    """The words of the --pictures file, ["serve"] when there are none."""
    try:
        with open(pictures or os.devnull) as f:
            return f.read().split() or ["serve"]
    except FileNotFoundError:
        return ["serve"]


def make_handler(boards, hold, latency_seconds, log, proxied_only, pictures):
    class Handler(http.server.BaseHTTPRequestHandler):
        protocol_version = "HTTP/1.0"

        def handle(self):
            # A client that gives up on a picture held back is no fault of the server's.
            with contextlib.suppress(ConnectionError):
                super().handle()

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
            with open(path, "rb") as f:
                body = f.read()
            sent = self.hold_back(name, modified, body) if name != "SETTING.TXT" else None
            if sent is None:
                if unchanged_since(self.headers.get("If-Modified-Since"), modified):
                    self.send_response(304)
                    self.end_headers()
                    return
                self.send_head(name, modified, body)
            self.wfile.write(body[sent or 0:])

        def send_head(self, name, modified, body):
            self.send_response(200)
            self.send_header("Last-Modified", email.utils.formatdate(modified, usegmt=True))
            self.send_header("Content-Type", "text/plain" if name.endswith(".TXT") else
                             "image/gif" if name.endswith(".gif") else "image/png")
            self.send_header("Content-Length", str(len(body)))
            self.end_headers()

        def hold_back(self, name, modified, body):
            """Holds the picture back while the --pictures file says so; gives how many of its
            bytes have gone, None while not even the head has."""
            arrived, sent = time.monotonic(), None
            while True:
                mode, *value = picture_mode(pictures)
                if mode == "delay" and time.monotonic() - arrived >= float(value[0]) or (
                        mode not in ("hold", "head", "trickle", "delay", "blackhole")):
                    return sent
                if mode in ("head", "trickle") and sent is None:
                    self.send_head(name, modified, body)
                    sent = 0
                if mode == "trickle" and sent < len(body):
                    self.wfile.write(body[sent:sent + 1])
                    sent += 1
                time.sleep(1 if mode == "trickle" else 0.05)

        def log_message(self, *args):
            pass

    return Handler


def main():
    parser = argparse.ArgumentParser(description=__doc__,
                                     formatter_class=argparse.RawDescriptionHelpFormatter)
    parser.add_argument("--board", action="append", default=[], metavar="NAME=DIR")
    parser.add_argument("--hold", metavar="FILE",
                        help="answer SETTING.TXT only once FILE exists, as a stalled server")
    parser.add_argument("--latency", type=float, default=0.0,
                        help="seconds to wait before answering any request, as a distant server")
    parser.add_argument("--proxied-only", action="store_true",
                        help="refuse requests that did not come through a proxy")
    parser.add_argument("--lifetime", type=float, default=600.0)
    parser.add_argument("--log", help="a file to append each request's path to")
    parser.add_argument("--pictures", metavar="FILE", help="how to answer the pictures, as above")
    args = parser.parse_args()

    boards = {}
    for entry in args.board:
        name, _, folder = entry.partition("=")
        boards[name] = os.path.abspath(folder)

    server = http.server.ThreadingHTTPServer(
        ("127.0.0.1", 0), make_handler(boards, args.hold, args.latency, args.log, args.proxied_only,
                                         args.pictures))
    server.daemon_threads, server.timeout = True, 0.05
    print(server.server_address[1], flush=True)
    deadline, filler = time.monotonic() + args.lifetime, None
    while time.monotonic() < deadline:
        mode = picture_mode(args.pictures)[0]
        if filler and mode != "blackhole":
            filler.close()
            filler = None
            server.socket.listen(server.request_queue_size)
        if mode == "refuse":
            # Closed, as a host whose server is down: every connection is refused at once.
            server.socket.close()
        elif server.socket.fileno() == -1:
            server.socket = socket.socket()
            server.server_bind()
            server.server_activate()
        elif mode == "blackhole":
            if not filler:
                # With its queue of connections to accept full, the kernel drops every further
                # attempt unanswered: the client waits as for a host that is gone.
                server.socket.listen(0)
                filler = socket.socket()
                filler.setblocking(False)
                filler.connect_ex(server.server_address)
        else:
            server.handle_request()
            continue
        time.sleep(0.05)
    return 0


if __name__ == "__main__":
    sys.exit(main())
