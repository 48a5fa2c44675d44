"""Recovery pieces as docs/format.md describes them, written from a source
and its pieces in plain Python: the page's recovery pieces are checked
against these, and its merges and repairs read them."""
import hashlib
import struct

MAGIC = b"SundRec\n"
BLOCK = 4096


def _fcs_table():
    table = []
    for byte in range(256):
        crc = byte
        for _ in range(8):
            crc = (crc >> 1) ^ 0x8408 if crc & 1 else crc >> 1
        table.append(crc)
    return table


FCS_TABLE = _fcs_table()


def fcs(data):
    """CRC-16/X-25, low byte first."""
    crc = 0xFFFF
    for byte in data:
        crc = (crc >> 8) ^ FCS_TABLE[(crc ^ byte) & 0xFF]
    return struct.pack("<H", crc ^ 0xFFFF)


def _gf_tables():
    exp, log = [0] * 510, [0] * 256
    x = 1
    for power in range(255):
        exp[power] = exp[power + 255] = x
        log[x] = power
        x <<= 1
        if x & 0x100:
            x ^= 0x11D
    return exp, log


EXP, LOG = _gf_tables()


def _times(c):
    """A bytes.translate table that multiplies by c in GF(2^8)."""
    return bytes(0 if c == 0 or v == 0 else EXP[LOG[c] + LOG[v]] for v in range(256))


def recovery_piece(source, pieces, piece_size, index, total):
    """Recovery piece index (from 1) of total for the source's bytes and its
    piece files' bytes (in number order)."""
    count = len(pieces)
    division_id = pieces[0][:4]
    head = division_id + MAGIC + struct.pack("<HHQQHHHH", 1, 104 + 32 * count, len(source),
                                             piece_size, count, total, index, 0)
    head += hashlib.sha256(source).digest() + b"".join(hashlib.sha256(p).digest() for p in pieces)
    out = [head + hashlib.sha256(head).digest()]
    j = index - 1
    tables = [_times(EXP[255 - LOG[(255 - j) ^ i]]) for i in range(count)]
    first = min(piece_size, len(source))
    for start in range(0, first, BLOCK):
        length = min(BLOCK, first - start)
        value = 0
        for i in range(count):
            data = source[i * piece_size + start:i * piece_size + start + length]
            if start >= piece_size or not data:
                continue
            value ^= int.from_bytes(data.ljust(length, b"\0").translate(tables[i]), "little")
        block = value.to_bytes(length, "little")
        out.append(block + fcs(block))
    return b"".join(out)
