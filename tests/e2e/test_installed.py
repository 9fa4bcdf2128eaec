"""The Debian package, extracted into a system folder (/opt) and run by an unprivileged user and by
root, as an installed copy is used. Run as: FILE PACKAGE.deb SCREENSHOT_DIR."""
import configparser
import os
import pathlib
import re
import shutil
import subprocess
import tempfile
import unittest

from desktop import ABOVE, BOARD_TITLE, MESSAGE_TITLE, Bolta, DesktopCase, main, stop

NOBODY = 65534


@unittest.skipUnless(os.geteuid() == 0, "only root can run the tool as another user")
class InstalledPackage(DesktopCase):
    # The harness's executable is the package here.

    def setUp(self):
        # The package's files belong to root, in folders everyone may read but only root write,
        # among the system's program folders.
        self.root = tempfile.mkdtemp(prefix="bolta-package-", dir="/opt")
        self.addCleanup(shutil.rmtree, self.root, ignore_errors=True)
        os.chmod(self.root, 0o755)
        subprocess.run(["dpkg-deb", "-x", self.executable, self.root], check=True)
        self.installed = os.path.join(self.root, "usr", "bin", "bolta")

    def user_folder(self, uid=NOBODY):
        folder = tempfile.mkdtemp(prefix="bolta-user-")
        self.addCleanup(shutil.rmtree, folder, ignore_errors=True)
        os.chown(folder, uid, uid)
        return folder

    def user_bolta(self, home, *args, uid=NOBODY):
        """The installed program run as `uid` with `home` as home folder, from its own folder."""
        run = Bolta(self.installed, os.path.dirname(self.installed))
        run.folder = self.user_folder(uid)  # its working folder and web cache
        self.addCleanup(lambda: run.process and stop([run.process]))
        run.errors = os.path.join(run.folder, "stderr")
        return run.start(*args, env=dict(HOME=home, XDG_CONFIG_HOME=None, XDG_RUNTIME_DIR=None),
                         stderr=run.errors, prefix=("setpriv", "--reuid=%d" % uid, "--regid=%d"
                                                    % uid, "--clear-groups", "--pdeathsig", "keep"))

    def package_files(self):
        return sorted((folder, sorted(names)) for folder, _, names in os.walk(self.root))

    def test_a_user_and_root_keep_the_choice_in_their_folder_never_beside_the_program(self):
        installed = self.package_files()
        for uid in (NOBODY, 0):  # root may write beside the program, and must not
            home = self.user_folder(uid)
            run = self.user_bolta(home, self.server.thread("demo"), uid=uid)
            window = run.window(BOARD_TITLE)
            entry = configparser.ConfigParser(interpolation=None)
            entry.read(os.path.join(self.root, "usr/share/applications/jp.bolta.Bolta.desktop"))
            self.assertIn('"%s"' % entry["Desktop Entry"]["StartupWMClass"],
                          window.prop("WM_CLASS"))
            self.toggle_on_top(run, window)
            self.close(run, window)
            self.assertEqual(self.package_files(), installed)

            folder = os.path.join(home, ".config", "bolta")
            settings = pathlib.Path(folder, "Bolta.ini").read_bytes()
            self.assertIn(b"\r\nWINDOW_TOPMOST=0\r\n", settings)
            self.assertEqual(os.stat(folder).st_mode & 0o777, 0o700)
            self.assertEqual(os.stat(folder).st_uid, uid)

            again = self.user_bolta(home, self.server.thread("demo"), uid=uid)
            window = again.window(BOARD_TITLE)
            self.assertNotIn(ABOVE, window.states(), "the choice held")
            self.close(again, window)

    def test_without_an_argument_or_a_writable_home_the_tool_says_so_on_standard_error(self):
        run = self.user_bolta("/nonexistent")
        self.close(run, run.window(MESSAGE_TITLE))
        errors = pathlib.Path(run.errors).read_text()
        self.assertIn("usage: bolta THREAD-URL\n", errors)
        reports = re.findall(r"bolta: cannot save the settings to (.*)", errors)
        self.assertEqual(reports, ["/nonexistent/.config/bolta/Bolta.ini: Permission denied"])


if __name__ == "__main__":
    main()
