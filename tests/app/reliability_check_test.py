#!/usr/bin/env python3
# The check that the kill-during-save script makes after each kill: it must see every way
# a settings file can come out of a crash damaged, and accept only the old and the new.

import os
import sys
import unittest

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)),
                                "../../tools/reliability"))
from settings_sections import check_after_kill, parse_sections  # noqa: E402

BEFORE = (b"[conf]\nDeviceIn=demo guitar\n[Current]\nEcho-01=1\n"
          b"[Bank03]\nBankName=old\nLevelOutL=2\n[Bank04]\nBankName=four\n")
NEW_BANK = ["BankName=NoName", "LevelOutL=0", "Echo-01=1"]
AFTER_STORE = BEFORE.replace(b"BankName=old\nLevelOutL=2\n",
                             b"BankName=NoName\nLevelOutL=0\nEcho-01=1\n")


def check(after):
    return check_after_kill(BEFORE, after, "Bank03", NEW_BANK)


class CheckAfterKill(unittest.TestCase):
    def test_the_old_and_the_new_file_are_whole(self):
        self.assertEqual(check(BEFORE), (None, False, False))
        self.assertEqual(check(AFTER_STORE), (None, False, True))

    def test_damaged_files(self):
        cases = {
            "cut inside a line": AFTER_STORE[:-5],
            "cut after a line": AFTER_STORE[:AFTER_STORE.index(b"[Bank04]")],
            "empty": b"",
            "zeros where the text was": bytes(len(AFTER_STORE)),
            "written twice": AFTER_STORE + AFTER_STORE,
            "a section again in other letters": AFTER_STORE + b"[bank04]\nBankName=x\n",
            "text before the first section": b"Echo-01=1\n" + BEFORE,
            "a line that is neither": BEFORE.replace(b"Echo-01=1", b"Echo-01"),
            "bytes that are not UTF-8": BEFORE.replace(b"old", b"\xff\xfe"),
            "another section changed": AFTER_STORE.replace(b"four", b"4"),
            "another section lost": AFTER_STORE.replace(b"[Bank04]\nBankName=four\n", b""),
        }
        for name, after in cases.items():
            with self.subTest(name):
                self.assertIsNotNone(check(after)[0])

    def test_a_bank_half_stored_is_lost(self):
        for name, after in {
            "the new name, the old level": BEFORE.replace(b"=old", b"=NoName"),
            "a key of the new missing": AFTER_STORE.replace(b"Echo-01=1\n[Bank04]", b"[Bank04]"),
            "the section gone": BEFORE.replace(b"[Bank03]\nBankName=old\nLevelOutL=2\n", b""),
        }.items():
            with self.subTest(name):
                self.assertTrue(check(after)[1])

    def test_blank_lines_and_line_ends_do_not_count_as_content(self):
        self.assertEqual(parse_sections(b"[a]\r\nk=v\r\n\r\n[b]\n\nx=1\n"),
                         {"a": ["k=v"], "b": ["x=1"]})


if __name__ == "__main__":
    unittest.main()
