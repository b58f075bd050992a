#!/usr/bin/env python3
"""Writes the seed corpus of the shell_files fuzz harness: language files (UTF-8 and
Windows-1252, every escape and line end), pen-set files (whole, with a record cut short, with
another signature) and typed numbers."""
import os
import struct

HERE = os.path.join(os.path.dirname(os.path.abspath(__file__)), "corpus", "shell_files")

LANGUAGE = (
    "Deutsch\r\n"
    "// comment=ignored\r\n"
    "OkCaption=Gut\r\n"
    "CancelCaption = Abbrechen\r\n"
    "Empty=\r\n"
    "=NoKey\r\n"
    "NoEquals\r\n"
    "a=b=c\r\n"
    "Rate=50%%\r\n"
    "Two=One%Two\r\n"
    "Feed=A\\nB\r\n"
    "Three=%%%\r\n"
    "ImportPenSetsOverWritePrompt=Der Stiftsatz \"%%s\" existiert%%n%%d\r\n"
    "okcaption=Last wins\n"
    "Nul=line\0Next=line\n"
)


def pen_set_file(names):
    data = b"KirvTracemill Pen Sets\0"
    for n, name in enumerate(names):
        data += name.encode() + b"\0"
        for i in range(256):
            data += struct.pack("<hd", (i * 7 + n) % 256 - (1 if i == 3 else 0), i / 64.0)
    return data


def main():
    os.makedirs(HERE, exist_ok=True)
    seeds = {
        "language_utf8.lan": LANGUAGE.replace("Gut", "Schließen").encode("utf-8"),
        "language_cp1252.lan": LANGUAGE.replace("Gut", "Schließen €").encode("cp1252"),
        "pen_sets_two.cps": pen_set_file(["A", "B"]),
        "pen_sets_cut.cps": pen_set_file(["A", "B"])[:23 + 2562 + 500],
        "pen_sets_empty_name.cps": pen_set_file(["A"]) + b"\0" + pen_set_file(["B"])[23:],
        "pen_sets_foreign.cps": b"Other Pen Sets\0" + pen_set_file(["A"])[23:],
        "number_comma.txt": b"  -1,5e-3",
        "number_point.txt": b"\x901.25",
        "number_tiny.txt": b"1e-400",
    }
    for name, data in seeds.items():
        with open(os.path.join(HERE, name), "wb") as f:
            f.write(data)


if __name__ == "__main__":
    main()
