#!/usr/bin/env python3
"""Writes the seed corpora in fuzz/corpus/<target>/ from the string tables of the unit tests,
so that every fuzz run starts from the inputs the tests already know to matter. Run it again
after the tables grow; seeds are named by their content's hash, so reruns only add files."""
import hashlib
import pathlib
import re

ROOT = pathlib.Path(__file__).resolve().parent.parent
UNIT = ROOT / "tests" / "unit"
CORPUS = ROOT / "fuzz" / "corpus"

# A C++ string literal with an optional u/u8 prefix; adjacent literals are joined below.
LITERAL = re.compile(r'(?:u8|u|L)?"((?:[^"\\\n]|\\.)*)"')
ADJACENT = re.compile(r'((?:(?:u8|u|L)?"(?:[^"\\\n]|\\.)*"\s*)+)')


def unescape(body):
    out = bytearray()
    i = 0
    while i < len(body):
        c = body[i]
        if c != "\\":
            out += c.encode("utf-8")
            i += 1
            continue
        n = body[i + 1]
        i += 2
        simple = {"r": b"\r", "n": b"\n", "t": b"\t", "0": b"\0", '"': b'"', "\\": b"\\", "'": b"'"}
        if n == "x":
            digits = re.match(r"[0-9a-fA-F]+", body[i:]).group(0)
            value = int(digits, 16)
            out += bytes([value & 0xFF]) if value < 0x100 else chr(value).encode("utf-8")
            i += len(digits)
        elif n in "uU":
            width = 4 if n == "u" else 8
            out += chr(int(body[i:i + width], 16)).encode("utf-8", "surrogatepass")
            i += width
        elif n in simple:
            out += simple[n]
    return bytes(out)


def literals(*names):
    found = []
    for name in names:
        text = next(UNIT.rglob(name)).read_text(encoding="utf-8")
        for group in ADJACENT.finditer(text):
            found.append(b"".join(unescape(m.group(1)) for m in LITERAL.finditer(group.group(1))))
    return [item for item in dict.fromkeys(found) if item]


def write(target, seeds):
    folder = CORPUS / target
    folder.mkdir(parents=True, exist_ok=True)
    # Seeds past 4 KiB only slow the fuzzer down; the tests keep the long cases.
    for seed in (s for s in dict.fromkeys(seeds) if len(s) <= 4096):
        (folder / hashlib.sha1(seed).hexdigest()[:16]).write_bytes(seed)
    print(f"{target}: {len(list(folder.iterdir()))} seeds")


def charset_names():
    text = (ROOT / "queueclient" / "charset" / "charset_table.cpp").read_text(encoding="utf-8")
    first_per_page = {}
    for name, page in re.findall(r'\{"([^"]+)",\s*(\d+)\}', text):
        first_per_page.setdefault(page, name)
    return [name.encode() for name in first_per_page.values()]


responses = [s for s in literals("wire_response_test.cpp", "wire_failure_test.cpp",
                                 "buffered_reader_test.cpp", "wire_cookie_test.cpp")
             if b"HTTP/" in s or b"\r\n" in s]
# Past the header list's bound of lines, head and trailers together, within the 4 KiB of a seed.
responses.append(b"HTTP/1.1 200 OK\r\nTransfer-Encoding: chunked\r\n" + b"H:\r\n" * 200 +
                 b"\r\n1\r\nx\r\n0\r\n" + b"T:\r\n" * 100 + b"\r\n")
# Arrival bytes: whole then close, one byte a segment then close, three bytes then reset,
# seven bytes then silence; the second byte leaves the body bound at its largest.
write("response_fuzz", [arrival + b"\xff" + s for s in responses
                        for arrival in (b"\x00", b"\x04", b"\x0d", b"\x1e")])

cookies = literals("cookie_parser_test.cpp", "cookie_store_test.cpp", "cookie_date_test.cpp",
                   "wire_cookie_test.cpp")
write("cookie_fuzz", [bytes([uri]) + s for s in cookies for uri in (0, 1)])

urls = literals("uri_test.cpp", "wire_request_test.cpp", "request_head_test.cpp")
write("url_fuzz", urls + [a + b"\n" + b for a, b in zip(urls, urls[1:])])

bodies = literals("meta_scan_test.cpp", "xml_encoding_test.cpp", "decode_test.cpp",
                  "charset_test.cpp")
names = charset_names()
write("charset_fuzz",
      [bytes([kind]) + b"\n" + body for body in bodies for kind in (0, 1, 4)] +
      [b"\x04" + name + b"\n" + body for name in names
       for body in (bytes(range(256)), "Привет, мир".encode("utf-8"))])

files = [s for s in literals("profile_file_test.cpp") if b"=" in s or b"[" in s]
write("profile_fuzz", [b"Form\0Top\0 12 \0" + f for f in files] +
      [b"Server\0Host\0\"http://localhost\"\0" + f for f in files])
