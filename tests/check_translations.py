#!/usr/bin/env python3
# SPDX-License-Identifier: MIT
"""Usage: check_translations.py LUPDATE CATALOGUE... -- LUPDATE_ARGUMENT...

Brings copies of the catalogues up to date with the sources, as the update_translations
target does, and checks that each translates every text of the tool: finished, not empty,
with the same placeholders, and with names, commands and variables left as they are; ending
as the source does (a report's parts are joined, so a stray full stop shows mid-line), and in
French with the space before a colon or semicolon.
"""
import re
import shutil
import subprocess
import sys
import tempfile
import xml.etree.ElementTree as ElementTree

# What a translation must keep: file and program names, commands and their options, paths,
# variables and the command line's words in capitals (FOLDER, PATH).
KEPT = re.compile(r"(?:^|(?<=[\s(`'\"]))(?:-[-\w]+|[\w.~/$-]*[./_=:$][\w.:/~$=-]*\w|[A-Z]{4,})")
NAMES = ("vexalo-config", "sudo apt", "sudo dpkg", "apt install", "apt update")
END = re.compile(r"[.…!?]\s*$")
FRENCH_PUNCTUATION = re.compile(r"[^\s][:;](?=\s|$)")


def kept(text):
    return sorted(set(KEPT.findall(text)) | {name for name in NAMES if name in text})


def main():
    split = sys.argv.index("--")
    lupdate, catalogues, arguments = sys.argv[1], sys.argv[2:split], sys.argv[split + 1:]
    problems = []
    with tempfile.TemporaryDirectory() as scratch:
        copies = [shutil.copy(catalogue, scratch) for catalogue in catalogues]
        subprocess.run([lupdate, "-silent", *arguments, "-ts", *copies], check=True,
                       stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        for copy in copies:
            language = ElementTree.parse(copy).getroot().get("language")
            for message in ElementTree.parse(copy).getroot().iter("message"):
                source = message.findtext("source")
                translation = message.find("translation")
                text = translation.text or "" if translation is not None else ""
                where = f"{language}: {source!r}"
                if translation is None or translation.get("type") or not text.strip():
                    problems.append(f"{where}: no finished translation")
                elif sorted(re.findall(r"%\d", source)) != sorted(re.findall(r"%\d", text)):
                    problems.append(f"{where}: placeholders differ in {text!r}")
                elif missing := [word for word in kept(source) if word not in text]:
                    problems.append(f"{where}: {missing} changed in {text!r}")
                elif bool(END.search(source)) != bool(END.search(text)):
                    problems.append(f"{where}: ends otherwise in {text!r}")
                elif language.startswith("fr") and FRENCH_PUNCTUATION.search(text):
                    problems.append(f"{where}: no space before a colon or semicolon in {text!r}")
    print("\n".join(problems) or f"every text translated in {len(catalogues)} catalogues")
    return 1 if problems else 0


if __name__ == "__main__":
    sys.exit(main())
