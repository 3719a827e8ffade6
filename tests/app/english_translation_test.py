#!/usr/bin/env python3
"""Every user-facing text has an English translation: lupdate gathers the texts of the sources
into a copy of translations/orvalin_en.ts, as `update_translations` would, and no entry may be
left without its English text (a new or changed French text comes in unfinished).

Usage: english_translation_test.py LUPDATE TS_FILE SOURCES_LIST INCLUDE_DIR [LUPDATE_OPTION...]"""

import os
import shutil
import subprocess
import sys
import tempfile
import xml.etree.ElementTree as ET


def untranslated(ts_path):
    """(context, French text) of every entry that has no finished English text."""
    found = []
    for context in ET.parse(ts_path).getroot().iter("context"):
        name = context.findtext("name")
        for message in context.iter("message"):
            translation = message.find("translation")
            kind = translation.get("type") if translation is not None else "missing"
            if kind in ("vanished", "obsolete"):
                continue
            if kind == "unfinished" or translation is None or not (translation.text or "").strip():
                found.append((name, message.findtext("source")))
    return found


def main():
    lupdate, ts_file, sources, include_dir = sys.argv[1:5]
    options = sys.argv[5:]
    with tempfile.TemporaryDirectory(prefix="orvalin-ts-") as work:
        copy = os.path.join(work, os.path.basename(ts_file))
        shutil.copyfile(ts_file, copy)
        run = subprocess.run([lupdate, "-silent", *options, "-I", include_dir, "@" + sources, "-ts", copy],
                             capture_output=True, text=True)
        if run.returncode != 0:
            print("lupdate failed:\n" + run.stdout + run.stderr)
            return 1
        missing = untranslated(copy)
        total = sum(1 for _ in ET.parse(copy).getroot().iter("message"))
    if total == 0:
        print("lupdate found no text at all in the sources")
        return 1
    for context, text in missing:
        print("FAIL: no English for %r (%s)" % (text, context))
    if missing:
        print("%d of %d texts lack English: run `cmake --build <build> --target update_translations` and "
              "fill the unfinished entries of %s" % (len(missing), total, ts_file))
        return 1
    print("all %d texts have their English translation" % total)
    return 0


if __name__ == "__main__":
    sys.exit(main())
