"""The Debian package CPack makes: checked with the tools a distribution checks it with, then
extracted into a system folder (/opt) and run by an unprivileged user and by root, on a virtual
desktop, as an installed copy is used. Run as: FILE BUILD_DIR VERSION CLASS."""
import configparser
import glob
import os
import pathlib
import re
import shutil
import subprocess
import sys
import tempfile
import unittest
import xml.etree.ElementTree as ElementTree

from PIL import Image

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "e2e"))
from desktop import ABOVE, BOARD_TITLE, MESSAGE_TITLE, Bolta, DesktopCase, main, stop  # noqa: E402

BUILD, VERSION = os.path.abspath(sys.argv[1]), sys.argv[2]
ARCH = subprocess.run(["dpkg", "--print-architecture"], capture_output=True, text=True).stdout
PACKAGE = os.path.join(BUILD, "package", "bolta_%s_%s.deb" % (VERSION, ARCH.strip()))
APP_ID, NOBODY = "jp.bolta.Bolta", 65534
ENTRY, METAINFO = "share/applications/%s.desktop", "share/metainfo/%s.metainfo.xml"
ENTRY, METAINFO = ENTRY % APP_ID, METAINFO % APP_ID
ICON = "share/icons/hicolor/%dx%d/apps/" + APP_ID + ".png"
ICON_SIZES = (16, 32, 48, 64, 128, 256)
INSTALLED = sorted(["bin/bolta", ENTRY, METAINFO, "share/man/man1/bolta.1.gz",
                    "share/doc/bolta/changelog.gz", "share/doc/bolta/copyright",
                    "share/icons/hicolor/scalable/apps/%s.svg" % APP_ID] +
                   [ICON % (size, size) for size in ICON_SIZES])


def extract(case, folder=None):
    """The package's files extracted into a fresh folder in `folder`, as root's."""
    root = tempfile.mkdtemp(prefix="bolta-package-", dir=folder)
    case.addCleanup(shutil.rmtree, root, ignore_errors=True)
    os.chmod(root, 0o755)
    subprocess.run(["dpkg-deb", "-x", PACKAGE, root], check=True)
    return root


class DebianPackage(unittest.TestCase):
    """Leaves the package in BUILD/package for InstalledPackage."""

    def test_the_package_holds_exactly_the_program_and_its_desktop_files_in_lintian_s_order(self):
        shutil.rmtree(os.path.dirname(PACKAGE), ignore_errors=True)
        subprocess.run(["cpack", "-G", "DEB", "-B", os.path.dirname(PACKAGE), "--config",
                        os.path.join(BUILD, "CPackConfig.cmake")], check=True,
                       stdout=subprocess.DEVNULL)
        self.assertEqual(glob.glob(os.path.join(os.path.dirname(PACKAGE), "*.deb")), [PACKAGE])
        depends = subprocess.check_output(["dpkg-deb", "-f", PACKAGE, "Depends"], text=True)
        for needed in ("fonts-ipafont-gothic", "libwxgtk3.2-1", "libwebkit2gtk-4.0-37",
                       "libcurl4", "libc6"):
            self.assertIn(needed, depends)

        usr = os.path.join(extract(self), "usr")
        path = lambda name: os.path.join(usr, name)
        self.assertEqual(sorted(os.path.relpath(os.path.join(folder, name), usr)
                                for folder, _, names in os.walk(usr) for name in names), INSTALLED)
        for size in ICON_SIZES:  # each drawn at the size of its folder
            self.assertEqual(Image.open(path(ICON % (size, size))).size, (size, size))
        for command in (["lintian", "--fail-on", "error", "--no-tag-display-limit", PACKAGE],
                        ["desktop-file-validate", path(ENTRY)],
                        ["appstreamcli", "validate", "--no-net", "--no-color", path(METAINFO)],
                        ["mandoc", "-T", "lint", "-W", "all", path("share/man/man1/bolta.1.gz")]):
            result = subprocess.run(command, capture_output=True, text=True, timeout=120)
            self.assertEqual(result.returncode, 0, result.stdout + result.stderr)
            if command[0] in ("desktop-file-validate", "mandoc"):  # the others report in words
                self.assertEqual(result.stdout + result.stderr, "")

        entry = configparser.ConfigParser(interpolation=None)
        entry.optionxform = str
        entry.read(path(ENTRY), encoding="utf-8")
        self.assertEqual(entry["Desktop Entry"]["Exec"], "bolta %u")
        self.assertEqual(entry["Desktop Entry"]["Icon"], APP_ID)
        metainfo = ElementTree.parse(path(METAINFO))
        self.assertEqual(metainfo.find("launchable").text, APP_ID + ".desktop")
        self.assertEqual(metainfo.find("releases/release").get("version"), VERSION)


@unittest.skipUnless(os.geteuid() == 0, "only root can run the tool as another user")
class InstalledPackage(DesktopCase):

    def setUp(self):
        # The package's files belong to root, in folders everyone may read but only root write,
        # among the system's program folders.
        self.root = extract(self, "/opt")
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
        run.errors = os.path.join(run.folder, "stderr")
        self.addCleanup(lambda: run.process and stop([run.process]))
        # The desktop's session is root's: an accessibility bus that the window manager (xfwm4)
        # started there lives in root's folder, where GTK's bridge to it could only warn.
        return run.start(*args, env=dict(HOME=home, XDG_CONFIG_HOME=None, XDG_RUNTIME_DIR=None,
                                         NO_AT_BRIDGE="1"),
                         prefix=("setpriv", "--reuid=%d" % uid, "--regid=%d" % uid,
                                 "--clear-groups", "--pdeathsig", "keep"))

    def test_a_user_and_root_keep_the_choice_in_their_folder_never_beside_the_program(self):
        files = lambda: sorted((folder, sorted(names)) for folder, _, names in os.walk(self.root))
        installed = files()
        entry = configparser.ConfigParser(interpolation=None)
        entry.read(os.path.join(self.root, "usr", ENTRY))
        for uid in (NOBODY, 0):  # root may write beside the program, and must not
            home = self.user_folder(uid)
            run = self.user_bolta(home, self.server.thread("demo"), uid=uid)
            window = run.window(BOARD_TITLE)
            self.assertEqual(window.x.get_wm_class()[1],
                             entry["Desktop Entry"]["StartupWMClass"])
            self.toggle_on_top(run, window)
            self.close(run, window)
            self.assertEqual(files(), installed)

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
    main(PACKAGE, BUILD, sys.argv[3:])
