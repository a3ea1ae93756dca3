#!/usr/bin/env python3
"""Writes the seed corpora of the fuzz harnesses (fuzz/corpus/<harness>/).

Each seed is a small, hand-shaped input that takes a harness down one of its
interesting paths: valid lessons and WAV files, hostile file names, odd hex
pairs, speech-like capture buffers. Run it again after changing a harness's
input layout; the files are committed so that a run needs nothing else.
"""
import math
import os
import struct
import zlib

ROOT = os.path.join(os.path.dirname(os.path.abspath(__file__)), "corpus")


def put(harness, name, data):
    folder = os.path.join(ROOT, harness)
    os.makedirs(folder, exist_ok=True)
    with open(os.path.join(folder, name), "wb") as f:
        f.write(data)


def utf16(text):
    return text.encode("utf-16-le", "surrogatepass")


# ---- safepath: folder choice byte, then the name as UTF-16LE
names = {
    "plain": "a.wav", "sub": "sub\\b.wav", "slash": "sub/b.wav", "dotdot": "..\\..\\x",
    "inside-dotdot": "a\\..\\b.wav", "abs": "C:\\Windows\\win.ini", "unc": "\\\\server\\share\\x",
    "long-prefix": "\\\\?\\C:\\x", "device": "NUL.wav", "com": "com1", "superscript": "COM\u00b9.txt",
    "stream": "a.wav:evil", "trailing-dot": "a.wav.", "trailing-space": "a.wav ", "nul": "a\u0000b",
    "wild": "*.wav", "long": "x" * 300, "leading-sep": "\\a.wav", "dot": ".", "only-sep": "\\",
    "unicode": "\u4e2d\u6587\u00e9.wav", "format": "%n%s%x", "conin": "CONIN$",
}
for i, (key, text) in enumerate(names.items()):
    put("safepath", key, bytes([i % 4]) + utf16(text))

# ---- hexpairs: limit byte (0x80: whole text), then UTF-16LE text
hexes = {
    "plain": "00ff7f80a5", "upper": "DEADBEEF0123456789ABCDEF", "long-plain": "0123456789abcdef" * 8,
    "signs": "+F-1 5", "junk": "G11GzZ", "odd": "abc", "nul": "ab\u0000cd", "wide": "\uff10\uff11ab",
    "mixed-block": "0123456789abcde-0123456789abcdef",
}
for key, text in hexes.items():
    put("hexpairs", key, b"\x80" + utf16(text))
put("hexpairs", "limited", b"\x03" + utf16("00112233445566"))

# ---- elementrules: pick byte (type in the low five bits, 0x80: type follows), value bytes
for vt, value in [(2, struct.pack("<h", 255)), (2, struct.pack("<h", -1)), (3, struct.pack("<i", 256)),
                  (16, b"\xff"), (17, b"\x80"), (18, struct.pack("<H", 65535)), (19, struct.pack("<I", 7)),
                  (20, struct.pack("<q", -(2 ** 63))), (21, struct.pack("<Q", 2 ** 64 - 1)), (5, struct.pack("<d", 1.5)),
                  (8, b"\0" * 8), (22, struct.pack("<i", 200)), (23, struct.pack("<I", 300))]:
    put("elementrules", "vt%02d-%s" % (vt, value.hex()[:8]), bytes([vt]) + value)
put("elementrules", "any-type", b"\x80" + struct.pack("<H", 0x400C) + b"\x01" * 8)


# ---- lesson: flag byte (1: fit header), then a lesson file
def chunk(tag, payload):
    return tag + struct.pack("<I", len(payload)) + payload


def phoneme(symbol, stress=0):
    code = 0
    for i, ch in enumerate(symbol.encode()):
        code |= ch << (8 * i)
    return code | (stress << 24)


def lesson(text="good day", words=((0, 4), (5, 3)), extra=b""):
    samples = [int(3000 * math.sin(i / 7.0)) for i in range(1600)]
    items = struct.pack("<I", len(words))
    times = struct.pack("<I", len(words))
    per = len(samples) // len(words)
    for n, (start, length) in enumerate(words):
        prons = [[phoneme("g", 3), phoneme("uh"), phoneme("d")], [phoneme("g")]]
        items += struct.pack("<IIII", start, length, 1 if n == 0 else 0, len(prons))
        for p in prons:
            items += struct.pack("<I", len(p)) + b"".join(struct.pack("<I", c) for c in p)
        begin = n * per
        times += struct.pack("<III", begin, begin + per, len(prons[0]))
        step = per // len(prons[0])
        for k in range(len(prons[0])):
            times += struct.pack("<II", begin + k * step, begin + (k + 1) * step)
    body = (chunk(b"TEXT", bytes([0, 0, 0, 0]) + text.encode()) + chunk(b"ITEM", items) +
            chunk(b"AUDI", struct.pack("<II", 16000, len(samples)) + b"".join(struct.pack("<h", s) for s in samples)) +
            chunk(b"TIME", times) + extra)
    return b"NLSN" + struct.pack("<HHII", 1, 0, len(body), zlib.crc32(body)) + body


good = lesson()
put("lesson", "valid", b"\x00" + good)
put("lesson", "valid-unknown-chunk", b"\x00" + lesson(extra=chunk(b"XTRA", b"later")))
put("lesson", "valid-unicode", b"\x00" + lesson(text="\u4f60\u597d ab", words=((0, 2), (3, 2))))
put("lesson", "fit-truncated", b"\x01" + good[: len(good) // 2])
put("lesson", "bad-crc", b"\x00" + good[:12] + b"\0\0\0\0" + good[16:])
put("lesson", "empty", b"\x00")

# ---- sound: offset u32, length i32, file-only flag, 8 e-code bytes, sound bytes
def wav(samples, rate=16000, bits=16, channels=1):
    data = b"".join(struct.pack("<h", s) for s in samples)
    fmt = struct.pack("<HHIIHH", 1, channels, rate, rate * channels * bits // 8, channels * bits // 8, bits)
    return b"RIFF" + struct.pack("<I", 4 + 8 + len(fmt) + 8 + len(data)) + b"WAVE" + chunk(b"fmt ", fmt) + chunk(b"data", data)


tone = [int(8000 * math.sin(i / 5.0)) for i in range(3200)]
put("sound", "wav", struct.pack("<IiB", 0, 0, 0) + bytes(8) + wav(tone))
put("sound", "wav-cut", struct.pack("<IiB", 50, 100, 1) + bytes([5, 3, 30, 50, 0, 0, 0, 0]) + wav(tone))
put("sound", "wav-8k", struct.pack("<IiB", 0, 0, 1) + bytes(8) + wav(tone, rate=8000))
put("sound", "raw", struct.pack("<IiB", 0, -5, 0) + bytes([9, 0, 0, 0, 0, 0, 0, 0]) + bytes(640))
put("sound", "riff-short", struct.pack("<IiB", 0, 0, 0) + bytes(8) + b"RIFF\xff\xff\xff\xffWAVEfmt ")

# ---- wavwriter: chunk u32, data u32, pre-voice count i16, voice bytes i16, content
put("wavwriter", "empty", struct.pack("<IIhh", 36, 0, 0, 0))
put("wavwriter", "both", struct.pack("<IIhh", 1, 2, 40, 33) + bytes(range(113)))
put("wavwriter", "negative", struct.pack("<IIhh", 0xFFFFFFFF, 0x80000000, -5, -1))
put("wavwriter", "full-pre", struct.pack("<IIhh", 0, 0, 8000, 1920) + bytes(64))


# ---- capturecore: mode, settings, then (op, content) per buffer
def settings(mode, novoice=300, tail=600, maxtime=4000, auto=None):
    out = bytes([mode]) + struct.pack("<HHH", novoice + 100, tail + 100, maxtime + 100)
    return out + (struct.pack("<i", auto) if auto is not None else b"")


def periodic(period, loud=True):
    wave = bytes()
    for i in range(period):
        v = int((9000 if loud else 30) * math.sin(2 * math.pi * i / period))
        wave += struct.pack("<h", v)
    return wave


silence = bytes([0x00]) + bytes(1)
speech = periodic(16)[:249]
seq = b"".join(bytes([0]) + silence for _ in range(12))
seq += b"".join(bytes([31]) + speech for _ in range(30))
seq += b"".join(bytes([0]) + silence for _ in range(20))
put("capturecore", "speech-then-silence", settings(0) + seq)
put("capturecore", "silence-novoice", settings(0) + b"".join(bytes([0]) + silence for _ in range(30)))
put("capturecore", "stop", settings(0) + b"".join(bytes([31]) + speech for _ in range(15)) + b"\xfe")
put("capturecore", "cancel", settings(0) + b"".join(bytes([0]) + silence for _ in range(10)) + b"\xff")
put("capturecore", "short-fill", settings(0) + b"".join(bytes([0x20]) + struct.pack("<h", 7) + silence for _ in range(20)))
put("capturecore", "wild-settings", bytes([0x0F]) + struct.pack("<iiii", -2 ** 31, 2 ** 31 - 1, -1, 0) + seq)
put("capturecore", "not-opened", bytes([0x10]) + settings(0)[1:] + seq)
