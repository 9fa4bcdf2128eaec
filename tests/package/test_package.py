"""What `cmake --install` lays out and the Debian package CPack makes, checked with the tools a
distribution checks them with. Run as: FILE BUILD_DIR VERSION [unittest arguments, e.g. a class]."""
import configparser
import glob
import os
import shutil
import struct
import subprocess
import sys
import tempfile
import unittest
import xml.etree.ElementTree as ElementTree

BUILD = VERSION = None
APP_ID = "jp.bolta.Bolta"
ICON_SIZES = (16, 32, 48, 64, 128, 256)
INSTALLED = sorted(
    ["bin/bolta", "share/applications/%s.desktop" % APP_ID,
     "share/metainfo/%s.metainfo.xml" % APP_ID, "share/man/man1/bolta.1.gz",
     "share/doc/bolta/changelog.gz", "share/doc/bolta/copyright",
     "share/icons/hicolor/scalable/apps/%s.svg" % APP_ID] +
    ["share/icons/hicolor/%dx%d/apps/%s.png" % (s, s, APP_ID) for s in ICON_SIZES])


def run(*command):
    return subprocess.run(command, capture_output=True, text=True, timeout=120)


class InstalledTree(unittest.TestCase):

    @classmethod
    def setUpClass(cls):
        cls.prefix = tempfile.mkdtemp(prefix="bolta-install-")
        cls.addClassCleanup(shutil.rmtree, cls.prefix, ignore_errors=True)
        subprocess.run(["cmake", "--install", BUILD, "--prefix", cls.prefix], check=True,
                       stdout=subprocess.DEVNULL)

    def path(self, name):
        return os.path.join(self.prefix, name)

    def test_install_lays_out_exactly_the_program_and_its_desktop_files_icons_at_size(self):
        found = sorted(os.path.relpath(os.path.join(folder, name), self.prefix)
                       for folder, _, names in os.walk(self.prefix) for name in names)
        self.assertEqual(found, INSTALLED)
        self.assertTrue(os.access(self.path("bin/bolta"), os.X_OK))
        for size in ICON_SIZES:  # each drawn at the size of its folder
            with open(self.path("share/icons/hicolor/%dx%d/apps/%s.png" % (size, size, APP_ID)),
                      "rb") as png:
                header = png.read(24)
            self.assertEqual(header[:8], b"\x89PNG\r\n\x1a\n")
            self.assertEqual(struct.unpack(">II", header[16:24]), (size, size))

    def test_the_validators_accept_the_desktop_entry_the_metainfo_and_the_manual_page(self):
        for command in (
                ["desktop-file-validate", self.path("share/applications/%s.desktop" % APP_ID)],
                ["appstreamcli", "validate", "--no-net", "--no-color",
                 self.path("share/metainfo/%s.metainfo.xml" % APP_ID)],
                ["mandoc", "-T", "lint", "-W", "all", self.path("share/man/man1/bolta.1.gz")]):
            with self.subTest(command[0]):
                result = run(*command)
                self.assertEqual(result.returncode, 0, result.stdout + result.stderr)
                if command[0] != "appstreamcli":  # it reports its success in words
                    self.assertEqual(result.stdout + result.stderr, "")

    def test_the_desktop_entry_launches_bolta_with_the_address_under_the_installed_icon(self):
        entry = configparser.ConfigParser(interpolation=None)
        entry.optionxform = str
        entry.read(self.path("share/applications/%s.desktop" % APP_ID), encoding="utf-8")
        desktop = entry["Desktop Entry"]
        self.assertEqual(desktop["Exec"], "bolta %u")
        self.assertEqual(desktop["Icon"], APP_ID)
        metainfo = ElementTree.parse(self.path("share/metainfo/%s.metainfo.xml" % APP_ID))
        self.assertEqual(metainfo.find("launchable").text, APP_ID + ".desktop")
        self.assertEqual(metainfo.find("releases/release").get("version"), VERSION)


class DebianPackage(unittest.TestCase):
    """Leaves the package in BUILD/package for the end-to-end test of the installed program."""

    def test_cpack_makes_a_package_lintian_finds_no_error_in(self):
        folder = os.path.join(BUILD, "package")
        shutil.rmtree(folder, ignore_errors=True)
        subprocess.run(["cpack", "-G", "DEB", "-B", folder, "--config",
                        os.path.join(BUILD, "CPackConfig.cmake")], check=True,
                       stdout=subprocess.DEVNULL)
        arch = run("dpkg", "--print-architecture").stdout.strip()
        package = os.path.join(folder, "bolta_%s_%s.deb" % (VERSION, arch))
        self.assertEqual(glob.glob(os.path.join(folder, "*.deb")), [package])

        depends = run("dpkg-deb", "-f", package, "Depends").stdout
        for needed in ("fonts-ipafont-gothic", "libwxgtk3.2-1", "libwebkit2gtk-4.0-37",
                       "libcurl4", "libc6"):
            self.assertIn(needed, depends)

        result = run("lintian", "--fail-on", "error", "--no-tag-display-limit", package)
        self.assertEqual(result.returncode, 0, result.stdout + result.stderr)


if __name__ == "__main__":
    BUILD, VERSION = os.path.abspath(sys.argv[1]), sys.argv[2]
    unittest.main(argv=[sys.argv[0], "-v"] + sys.argv[3:])
