"""The web engine on the user's network and system: the pictures through the proxy the user set,
and a page process that cannot run or dies before the page is fitted, told in a message box."""
import os
import pathlib
import signal
import socket
import subprocess
import unittest

from desktop import (BOARD_TITLE, DEMO, FITTED, PICTURE, PICTURE_RED, BoardServer, DesktopCase, ini,
                     key, main, spawn, stop, wait_for, x)

WEB_PROCESS = "/usr/lib/x86_64-linux-gnu/webkit2gtk-4.0/WebKitWebProcess"
# In a mount namespace of the tool's own, so that nothing else on the machine sees it.
UNUSABLE_WEB_PROCESS = ("unshare", "-m", "sh", "-c",
                        'mount --bind /bin/false %s && exec "$@"' % WEB_PROCESS, "-")


def can_unshare():
    return os.geteuid() == 0 and subprocess.run(["unshare", "-m", "true"]).returncode == 0


class WebEngine(DesktopCase):

    def board_server(self, **options):
        server = BoardServer({"demo": DEMO}, self.folder, **options)
        self.addCleanup(stop, [server.process])
        return server

    def test_the_pictures_come_through_the_proxy_the_request_takes_and_fit(self):
        with socket.socket() as probe:  # a free port for the proxy
            probe.bind(("127.0.0.1", 0))
            port, config = probe.getsockname()[1], os.path.join(self.folder, "tinyproxy.conf")
        pathlib.Path(config).write_text("Port %d\nListen 127.0.0.1\nAllow 127.0.0.1\n" % port)
        self.addCleanup(stop, [spawn(["tinyproxy", "-d", "-c", config])])
        server = self.board_server(options=["--proxied-only"])  # refuses requests without Via
        run = self.bolta()
        pathlib.Path(run.settings).write_bytes(ini(PROXY_ADDRESS="127.0.0.1", PROXY_PORT=port,
                                                   USE_PROXY=1))
        window = run.start(server.thread("demo")).window(BOARD_TITLE)
        window.settled_outer()  # past any opening animation of the window manager
        # Both pictures came, and only through the proxy: the server refuses any other request.
        self.assert_fitted(window, self.screenshot("e2e-proxied.png"), PICTURE, PICTURE_RED,
                           corner=(288, 62))
        self.close(run, window)

        # Without USE_PROXY both follow the environment as libcurl reads it: a bare host:port too.
        run = self.bolta().start(server.thread("demo"), env={"http_proxy": "127.0.0.1:%d" % port})
        window = run.window(BOARD_TITLE)
        self.assertEqual(window.client()[2:], FITTED)
        self.close(run, window)

    def assert_told(self, run, cause):
        """A box captioned with the tool's title; answering it ends the tool with a failure."""
        box = run.window("Bolta")
        box.activate()
        key("Return")
        self.assertNotEqual(run.process.wait(timeout=10), 0, "exit code")
        self.assertRegex(pathlib.Path(run.errors).read_text(), r"(?m)^bolta: .*%s" % cause)

    @unittest.skipUnless(can_unshare(), "only root can replace the web engine's helper")
    def test_a_web_process_that_cannot_run_is_told_and_the_tool_ends(self):
        run = self.bolta().start(self.server.thread("demo"), prefix=UNUSABLE_WEB_PROCESS)
        self.assert_told(run, "cannot go on")

    def test_a_web_process_that_dies_before_the_fit_is_told_and_the_tool_ends(self):
        # The pictures never come: the page is never fitted. Once they are asked for, the web
        # process is up and has the page.
        pathlib.Path(self.folder, "hold").write_text("hold")
        server = self.board_server(options=["--pictures", os.path.join(self.folder, "hold")])
        run = self.bolta().start(server.thread("demo"))
        wait_for("the pictures asked for", lambda: "/demo/title.png" in server.requests())
        web = x("ps", "-o", "pid=,args=", "--ppid", run.process.pid).splitlines()
        os.kill(next(int(line.split()[0]) for line in web if WEB_PROCESS in line), signal.SIGKILL)
        self.assert_told(run, "the web engine's process ended")

if __name__ == "__main__":
    main()
