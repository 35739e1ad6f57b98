#!/usr/bin/env python3
"""Writes the seed corpora of the fuzz targets into tests/fuzz/corpus/<target>/.

Each seed is a small, readable input in the target's own format (fields
separated by the byte 0x1E); the regress-* seeds are the inputs that once
found a fault, kept so that the fault shows again at once if it returns.
Run it again after changing a seed here; it replaces the corpora whole.
"""
import os
import shutil
import struct
import sys

HERE = os.path.dirname(os.path.abspath(__file__))
SEP = b"\x1e"
BOM = b"\xef\xbb\xbf"


def fields(*parts):
    return SEP.join(p.encode("latin-1") if isinstance(p, str) else p for p in parts)


# --- INI engine: the file, then (section, key, value) per write -----------------
INI = {
    "empty-new-file": fields("", "Configuration", "PortCount", "2"),
    "replace-keeps-layout": fields("; head\n\n[Sec]\n  Key  =\t old  \n# other\n\nNext = 2\n",
                                   "Sec", "Key", "new", "sec", "Next", "3"),
    "crlf-new-key": fields("[Sec]\r\nA=1\r\n\r\n[Next]\r\nC=3\r\n", "Sec", "B", "2", "New", "K", "v"),
    "last-line-without-break": fields("[Sec]\nA=1", "Sec", "B", "2", "Other", "X", "y"),
    "header-on-last-line": fields("[S]", "S", "k", "v"),
    "bom-top-key": fields(BOM + b"[S]\nA=1\n", "", "top", "t"),
    "duplicate-sections": fields("[S]\nA=1\n\n[S]\nB=2\n", "s", "B", "3"),
    "quotes-and-spaces": fields("[S]\nQ=\"quoted\"\nN=  0x1F  \n", "S", "Q", " 'x' ", "S", "N", "-12"),
    "refused-writes": fields("[S]\nK=old\n", "S", "K", "a\nb=2", "S", "K=L", "v", "S", "[K]", "v"),
    "binary-lines": fields(b"[S]\n[U\nweird\x1a line\n\xff\xfe\x00bin\nK=1\n", "S", "K", "2"),
    "cr-only": fields("[S]\rA=1\r", "S", "B", "2"),
    "lone-text": b"[Label]\ndisks=1\ndisk1=Disk\n",
    # The same value again, then with trailing white space: only the first
    # leaves the file alone.
    "same-value-trailing-space": fields("[S]\nK='v'\n", "S", "K", "'v'", "S", "K", "'v' "),
    # A key opening with a byte order mark, written at the top of a file, can
    # never be read back and poses as the header of the section below it.
    "regress-bom-key": fields("[Settings]\nA=1\n", "", BOM + b"[Settings]", "v", "Settings", "A", "2"),
    "regress-bom-key-empty": fields("", "", BOM + b"K", "v"),
}

# --- Information file through the dialog: the file, then the install path -------
MEDIUM_INF = open(os.path.join(HERE, "..", "..", "medium", "QV27-518.INF"), "rb").read()
INF = {
    "sample-medium": MEDIUM_INF,
    "sample-medium-other-path": MEDIUM_INF + SEP + b"D:\\TOOLS\\QV",
    "subdirectories": fields(
        "[Configuration]\nInitialFile=Q.ini\n[Directory]\ndirs=3\ndir1=.\ndir2=\\DRIVER\ndir3=system\n"
        "[Program]\nfiles=3\nfile1=1:A.EX_,1,A.EXE,1,Y,N,N\nfile2=1: B.DL_, 1, B.DLL, 2, N,N,N\n"
        "file3=1:C.SY_,1,C.SYS,3,N,N,N\n[Program Group Info]\nGroupName=G\nfiles=1\nfile1=A.EXE, A, b\n"),
    "counts-beyond-lists": fields(
        "[Label]\ndisks=99999\n[Directory]\ndirs=-1\n[Program]\nfiles=65537\nfile1=1:A,9,B,0\n"
        "[Program Group Info]\nfiles=11\nfile1=,\n"),
    "long-fields": fields(
        "[Directory]\ndirs=1\ndir1=" + "D" * 40 + "\n[Program]\nfiles=1\nfile1=1:" + "S" * 60 + ",1,"
        + "T" * 60 + ",1,Y,Y,Y\n[Program Group Info]\nfiles=1\nfile1=" + "F" * 140 + "," + "C" * 60 + "\n",
        "C:\\" + "P" * 250),
    "empty-inf": b"",
    "bare-drive-path": fields("[Program]\nfiles=0\n", "X:"),
    # Group names and items that would end their command early and send
    # commands of their own to the shell.
    "regress-group-name-injection": fields(
        "[Program Group Info]\nGroupName=X\")][DeleteGroup(\"StartUp\nfiles=1\nfile1=A.EXE, A\n"),
    "regress-item-injection": fields(
        "[Program Group Info]\nGroupName=G\nfiles=2\nfile1=A.EXE, A\")][DeleteGroup(\"StartUp\n"
        "file2=B\"),(.EXE, B\n"),
}

# --- Compiled resources ----------------------------------------------------------


def utf16z(text):
    return text.encode("utf-16-le") + b"\0\0"


def sz_or_ord(value):
    return struct.pack("<HH", 0xFFFF, value) if isinstance(value, int) else utf16z(value)


def align4(data):
    return data + b"\0" * (-len(data) % 4)


def dialogex(items, caption="Setup", style=0x80C800C0):
    out = struct.pack("<HHIIIH4h", 1, 0xFFFF, 0, 0, style, len(items), 0, 0, 200, 100)
    out += sz_or_ord("") + sz_or_ord("") + utf16z(caption)
    out += struct.pack("<HHBB", 8, 400, 0, 1) + utf16z("MS Sans Serif")
    for ident, cls, text in items:
        out = align4(out)
        out += struct.pack("<III4hI", 0, 0, 0x50010000, 10, 10, 50, 14, ident)
        out += sz_or_ord(cls) + sz_or_ord(text) + struct.pack("<H", 0)
    return out


def dialog_classic(items, caption="Classic"):
    out = struct.pack("<IIH4h", 0x80C800C0, 0, len(items), 0, 0, 160, 80)
    out += sz_or_ord("") + sz_or_ord("") + utf16z(caption) + struct.pack("<H", 8) + utf16z("Helv")
    for ident, cls, text in items:
        out = align4(out)
        out += struct.pack("<II4hH", 0x50010000, 0, 5, 5, 40, 12, ident) + sz_or_ord(cls) + sz_or_ord(text)
        out += struct.pack("<H", 0)
    return out


def string_block(strings):
    return b"".join(struct.pack("<H", len(s)) + s.encode("utf-16-le") for s in strings)


def group_icon(entries):
    out = struct.pack("<HHH", 0, 1, len(entries))
    for width, bits, ident in entries:
        out += struct.pack("<BBBBHHIH", width, width, 0, 0, 1, bits, 40 + width * width * bits // 8, ident)
    return out


def res_entry(rtype, name, data):
    header = sz_or_ord(rtype) + sz_or_ord(name)
    header = align4(header)
    header += struct.pack("<IHHII", 0, 0x1030, 0x0409, 0, 0)
    return align4(struct.pack("<II", len(data), 8 + len(header)) + header + data)


def res_file(entries):
    # The empty entry that opens every .res file.
    return struct.pack("<II", 0, 32) + struct.pack("<HHHH", 0xFFFF, 0, 0xFFFF, 0) + \
        struct.pack("<IHHII", 0, 0, 0, 0, 0) + b"".join(res_entry(*e) for e in entries)


DIALOG = dialogex([(1, 0x80, "OK"), (2, 0x80, "Cancel"), (1003, 0x81, "C:\\QV27-518"),
                   (1005, 0x82, "status"), (1007, "Percent", "")])
RES = {
    "dialogex-and-strings": res_file([(5, 101, DIALOG),
                                      (6, 1, string_block(["", "Setup", "Error"] + [""] * 13)),
                                      (14, 128, group_icon([(32, 4, 1), (16, 8, 2)]))]),
    "classic-dialog": res_file([(5, 100, dialog_classic([(1, 0x80, "OK"), (1000, 0x82, 2000)]))]),
    "named-resource": res_file([("CUSTOM", "NAME", b"abc"), (6, 2, string_block(["x"] * 16))]),
    "raw-dialogex": DIALOG,
    "raw-string-block": string_block(["first", "", "third"] + [""] * 13),
    "raw-group-icon": group_icon([(48, 32, 5)]),
}

# --- Progress geometry: done, total (16 bits), width, height, text height ----------


def progress(done, total, width, height, text):
    return struct.pack("<HHiii", done, total, width, height, text)


PROGRESS = {
    "one-of-three": progress(1, 3, 75, 20, 13),
    "nothing-to-copy": progress(0, 0, 75, 20, 13),
    "all-done": progress(65535, 65535, 300, 8, 13),
    # The percentage was cut to 16 bits before it was capped.
    "regress-percent-16384-of-5": progress(16384, 5, 75, 20, 13),
    "regress-percent-656-of-1": progress(656, 1, 75, 20, 13),
    # (height - textHeight) overflowed an int.
    "regress-height-overflow": progress(1, 2, 75, -2**31, 13),
    "regress-height-overflow-max": progress(1, 2, 75, 2**31 - 1, -2**31),
}

# --- Shell commands: group, install path, file name, Windows directory, caption ----
SHELL = {
    "program": fields("QV27-518", "C:\\QV27-518", "QV27-518.EXE", "C:\\WINDOWS", "QV27-518 Setting Program"),
    "readme": fields("Tools", "C:", "readme.txt", "C:\\WIN", "Read Me, first"),
    "long-path": fields("G", "C:\\" + "D" * 240, "README.TXT", "C:\\WINDOWS", "Read Me"),
    "regress-group-injection": fields("X\")][DeleteGroup(\"StartUp", "C:\\Q", "A.EXE", "C:\\WINDOWS", "A"),
    "regress-item-injection": fields("G", "C:\\Q", "A.EXE", "C:\\WINDOWS", "A\")][DeleteGroup(\"StartUp"),
    "regress-control-characters": fields("G\tH", "C:\\Q\n", "A.EXE", "C:\\WINDOWS", "A\x7f"),
}

# --- SZDD copy of the Linux file system: the source file's bytes -------------------
SZDD_MAGIC = b"SZDD\x88\xf0\x27\x33"


def szdd(data, length=None, method=b"A"):
    """Literals only: a control byte of eight 1 bits before each eight bytes."""
    body = b"".join(b"\xff" + data[i:i + 8] for i in range(0, len(data), 8))
    return SZDD_MAGIC + method + b"E" + struct.pack("<I", len(data) if length is None else length) + body


TEXT = b"QV27-518 setting program, compressed for the medium.\r\n"
SZDD = {
    "literals": szdd(TEXT),
    # Three literals, then 18 bytes from where the window's writing starts.
    "match": SZDD_MAGIC + b"AE" + struct.pack("<I", 21) + bytes([0x07]) + b"abc" + bytes([0xF0, 0xFF]),
    # A back-reference before any output reads the spaces the window starts with.
    "spaces-from-window": SZDD_MAGIC + b"AE" + struct.pack("<I", 18) + bytes([0x00, 0x00, 0x0F]),
    "truncated": szdd(TEXT)[:30],
    "length-too-long": szdd(TEXT, length=len(TEXT) + 1),
    "method-b": szdd(TEXT, method=b"B"),
    "header-cut": szdd(TEXT)[:12],
    "plain": b"A plain file copied as it stands.\n",
    "empty": b"",
}

CORPORA = {
    "ini_profile": INI,
    "installer_inf": INF,
    "resource_reader": RES,
    "progress_geometry": PROGRESS,
    "shell_commands": SHELL,
    "szdd_copy": SZDD,
}


def main():
    root = os.path.join(HERE, "corpus")
    only = set(sys.argv[1:])
    for target, seeds in CORPORA.items():
        if only and target not in only:
            continue
        folder = os.path.join(root, target)
        shutil.rmtree(folder, ignore_errors=True)
        os.makedirs(folder)
        for name, data in seeds.items():
            with open(os.path.join(folder, name), "wb") as out:
                out.write(data)


if __name__ == "__main__":
    main()
