#!/usr/bin/env python3
"""peer_bench_test.py - The peer bench's helpers on made-up inputs: the payload's libraries,
the NSIS script, and the figures with their targets."""
import contextlib
import io
import os
import sys
import tempfile
import unittest

sys.dont_write_bytecode = True
sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import nsis_script  # noqa: E402
import peer_figures  # noqa: E402
import peer_payload  # noqa: E402

FIVE = ("BASE", "SETUPBASE", "SETUPPICTLITE", "PICTLITE", "ZVIMAGE")


def write(path, data):
    os.makedirs(os.path.dirname(path), exist_ok=True)
    with open(path, "wb" if isinstance(data, bytes) else "w") as out:
        out.write(data)


class Scratch(unittest.TestCase):
    def setUp(self):
        self._dir = tempfile.TemporaryDirectory()
        self.dir = self._dir.name

    def tearDown(self):
        self._dir.cleanup()

    def payload(self, lines=None):
        """A payload folder with the five lists (LINES maps an archive to its list's text)."""
        folder = os.path.join(self.dir, "payload")
        for archive in FIVE:
            write(f"{folder}/{archive}.list", (lines or {}).get(archive, f"# {archive}\n"))
        return folder


class PeerPayloadTest(Scratch):
    def libraries(self):
        folder = os.path.join(self.dir, "root")
        write(f"{folder}/b/big.dll", b"MZ" + b"x" * 2998)
        write(f"{folder}/a/one.dll", b"MZ" + b"1" * 998)
        write(f"{folder}/a/two.DLL", b"MZ" + b"2" * 998)
        write(f"{folder}/a/text.dll", b"not a program")
        write(f"{folder}/a/prog.exe", b"MZ" + b"e" * 100)
        os.symlink("one.dll", f"{folder}/a/link.dll")
        return folder

    def run_main(self, *arguments):
        with contextlib.redirect_stdout(io.StringIO()) as out:
            peer_payload.main(["peer_payload.py", *arguments])
        return out.getvalue()

    def test_takes_pe_libraries_in_path_order_that_fit_and_no_links(self):
        chosen, total = peer_payload.choose(self.libraries(), 2500)
        self.assertEqual(chosen, [os.path.join("a", "one.dll"), os.path.join("a", "two.DLL")])
        self.assertEqual(total, 2000)

    def test_spreads_the_libraries_over_the_five_archives_in_turn(self):
        payload, root = self.payload(), self.libraries()
        out = self.run_main(payload, root, str(5000 / (1 << 20)))
        self.assertEqual(out, "3 libraries of 5000 bytes\n")
        with open(f"{payload}/BASE.list") as listing:
            self.assertEqual(listing.read(), "# BASE\nLibraries\\a\\one.dll\tBASE/Libraries/a/one.dll\n")
        with open(f"{payload}/PICTLITE.list") as listing:
            self.assertEqual(listing.read(), "# PICTLITE\n")
        with open(f"{payload}/SETUPPICTLITE/Libraries/b/big.dll", "rb") as copy:
            self.assertEqual(len(copy.read()), 3000)

    def test_refuses_bad_input_and_copies_nothing(self):
        payload, root = self.payload(), self.libraries()
        for arguments, problem in (
            ((payload, root, "lots"), "lots: not an amount of MiB"),
            ((payload, root, "-1"), "-1: not an amount of MiB"),
            ((payload, root, "nan"), "nan: not an amount of MiB"),
            ((payload, root, "1"), "only 0.0 MiB of PE libraries, 1 MiB were asked for"),
            ((payload, os.path.join(root, "none"), "0"), "none: not a folder"),
            ((root, root, "0"), "no BASE.list"),
        ):
            with self.assertRaises(SystemExit) as refused:
                self.run_main(*arguments)
            self.assertIn(problem, str(refused.exception))
        self.assertEqual(sorted(os.listdir(payload)), sorted(f"{archive}.list" for archive in FIVE))


class NsisScriptTest(Scratch):
    def test_unpacks_the_five_archives_in_order_under_their_stored_names(self):
        payload = self.payload({
            "BASE": "# comment\n\nTop.dll\tBASE/Top.dll\nData\\a.dat\tBASE/Data/a.dat\nData/b.dat\tBASE/Data/b.dat\n",
            "ZVIMAGE": "Pay$ment\\c$d.txt\tZVIMAGE/c$d.txt\n",
        })
        lines = nsis_script.script(payload, "zlib", "/out/peer.exe").splitlines()
        body = lines[lines.index("  CreateDirectory $0") + 1:]
        self.assertEqual(body, [
            '  SetOutPath "$0"',
            f'  File "/oname=Top.dll" "{payload}/BASE/Top.dll"',
            '  SetOutPath "$0\\Data"',
            f'  File "/oname=a.dat" "{payload}/BASE/Data/a.dat"',
            f'  File "/oname=b.dat" "{payload}/BASE/Data/b.dat"',
            '  SetOutPath "$0\\Pay$$ment"',
            f'  File "/oname=c$$d.txt" "{payload}/ZVIMAGE/c$$d.txt"',
            "SectionEnd",
        ])
        self.assertIn("SetCompressor zlib", lines)
        self.assertIn("SilentInstall silent", lines)

    def test_lzma_is_solid(self):
        self.assertIn("SetCompressor /SOLID lzma", nsis_script.script(self.payload(), "lzma-solid", "o.exe"))

    def test_refuses_a_missing_list_or_a_line_without_a_host_path(self):
        payload = self.payload({"SETUPBASE": "Vistart.exe\tSETUPBASE/Vistart.exe\nno-tab.txt\n"})
        with self.assertRaises(SystemExit) as refused:
            nsis_script.script(payload, "zlib", "o.exe")
        self.assertIn("SETUPBASE.list:2: no host path after a tab", str(refused.exception))
        os.remove(f"{payload}/PICTLITE.list")
        with self.assertRaises(SystemExit) as refused:
            nsis_script.list_entries(payload, "PICTLITE")
        self.assertIn("PICTLITE.list", str(refused.exception))


class PeerFiguresTest(Scratch):
    """Runs in which, from start_ms 1000: the dialog's window goes at 1500 and it ends at
    3500; ours' next stages start at UNPACKED and end 2100 ms later; NSIS zlib ends at 1000
    ms, lzma at 2000."""

    def observations(self, unpacked, runs=3, nsis_ran=True, exit_code="0"):
        folder = self.dir
        builds = [("six", "zvpack -6", 30000000, 2.0), ("best", "zvpack --best", 28000000, 6.0),
                  ("zlib", "NSIS zlib", 25000000, 4.0), ("lzma", "NSIS lzma solid", 15000000, 12.0)]
        write(f"{folder}/builds.txt", "".join(f"{k}\t{l}\t{b}\t{s}\n" for k, l, b, s in builds))
        for i in range(1, runs + 1):
            write(f"{folder}/baseline-{i}.txt", "start_ms=1000\r\nexit_ms=3500\r\nexit_code=0\r\n")
            write(f"{folder}/baseline-self-{i}.txt", "paint_ms=1000\ngone_ms=1500\n")
            for key in ("six", "best"):
                write(f"{folder}/{key}-{i}.txt", f"start_ms=1000\nexit_ms={1000 + unpacked + 2100}\nexit_code={exit_code}\n")
                write(f"{folder}/{key}-record-{i}.txt", f"start_ms={1000 + unpacked}\nscript_line=x\n")
            if nsis_ran:
                write(f"{folder}/zlib-{i}.txt", "start_ms=1000\nexit_ms=2000\nexit_code=0\n")
                write(f"{folder}/lzma-{i}.txt", "start_ms=1000\nexit_ms=3000\nexit_code=0\n")
        return folder

    def figures(self, folder, runs=3, mib="100"):
        sys.argv = ["peer_figures.py", folder, str(runs), "the 32-bit Wine", "a payload", mib]
        with contextlib.redirect_stdout(io.StringIO()) as out:
            peer_figures.main()
        return out.getvalue()

    def test_ratios_to_nsis_zlib_and_the_unpacking_target(self):
        text = self.figures(self.observations(unpacked=1700))
        self.assertRegex(text, r"zvpack -6 +30\.0 MB x1\.20 +2\.0 s x0\.50 +1700 ms x1\.70 \(1\.70 \.\. 1\.70\) +3800 ms x3\.80")
        self.assertRegex(text, r"NSIS lzma solid .* 2000 ms x2\.00 .* 2000 ms x2\.00")
        self.assertIn("zvpack -6: x1.70: met", text)
        self.assertIn("zvpack -6: x1.80: not met", self.figures(self.observations(unpacked=1800)))

    def test_the_end_target_against_the_dialog(self):
        text = self.figures(self.observations(unpacked=1700))
        self.assertIn("the trivial dialog ends 2000.0 ms (2000.0 .. 2000.0) after its window goes", text)
        self.assertIn("zvpack --best: 2100 ms against 2000 + 300 ms: met", text)

    def test_nsis_not_run_is_said_and_its_target_not_checked(self):
        text = self.figures(self.observations(unpacked=1700, nsis_ran=False), mib="5")
        self.assertIn("NSIS zlib", text)
        self.assertRegex(text, r"NSIS zlib +25\.0 MB x1\.00 +4\.0 s x1\.00 +not run\n")
        self.assertIn("compared in size and build time only", text)
        self.assertIn("zvpack -6: not checked, NSIS zlib did not run", text)
        self.assertIn("this payload is not the default one, 5 MiB", text)

    def test_a_failed_run_is_named(self):
        folder = self.observations(unpacked=1700, exit_code="3")
        with self.assertRaises(SystemExit) as failed:
            self.figures(folder)
        self.assertIn("run 1: six exit 3", str(failed.exception))

    def test_a_missing_moment_is_named(self):
        folder = self.observations(unpacked=1700)
        write(f"{folder}/baseline-self-2.txt", "paint_ms=1000\n")
        with self.assertRaises(SystemExit) as failed:
            self.figures(folder)
        self.assertIn("no gone_ms was observed", str(failed.exception))


if __name__ == "__main__":
    unittest.main()
