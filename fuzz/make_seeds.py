#!/usr/bin/env python3
"""Writes the seed corpus of the fuzz targets into fuzz/corpus/."""
import hashlib
import os
import struct

HERE = os.path.dirname(os.path.abspath(__file__))


def fcs(data):
    crc = 0xFFFF
    for byte in data:
        crc ^= byte
        for _ in range(8):
            crc = (crc >> 1) ^ 0x8408 if crc & 1 else crc >> 1
    return crc ^ 0xFFFF


def piece(data, piece_id=0x5F000001):
    out = struct.pack('<I', piece_id)
    for i in range(0, len(data), 4096):
        block = data[i:i + 4096]
        out += block + struct.pack('<H', fcs(block))
    return out


def entry(name, data):
    name = name.encode()
    return bytes([len(name)]) + name + struct.pack('<H', len(data)) + data


def write(target, seed_name, content):
    folder = os.path.join(HERE, 'corpus', target)
    os.makedirs(folder, exist_ok=True)
    with open(os.path.join(folder, seed_name), 'wb') as f:
        f.write(content)


source = bytes((i * 131) & 0xFF for i in range(5000))
write('fuzz_piece_set', 'one_piece', entry('report.pdf(01_of_01).divide', piece(source)))
write('fuzz_piece_set', 'empty_source', entry('a(01_of_01).divide', b''))
write('fuzz_piece_set', 'two_of_three',
      entry('r.bin(02_of_03).divide', piece(source[:100])) +
      entry('r.bin(01_of_03).divide', piece(source)) +
      entry('r.bin(03_of_03).divide', piece(source[:9])) +
      entry('r.bin(01_of_05).divide', piece(source[:9], 7)))
damaged = bytearray(piece(source))
damaged[100] ^= 1
write('fuzz_piece_set', 'damaged', entry('x(01_of_01).divide', bytes(damaged)))
write('fuzz_piece_set', 'tail', entry('x(01_of_01).divide', piece(source[:4096]) + b'!'))

for seed_name, text in [('piece', 'report.pdf(02_of_03).divide'),
                        ('marker_in_name', 'a(01_of_02).txt(01_of_03).divide'),
                        ('zero_count', 'a(01_of_00)b(02_of_05)'),
                        ('three_digits', 'a(100_of_120).divide'),
                        ('japanese', '報告書 2026.pdf(01_of_02).Divide')]:
    write('fuzz_piece_names', seed_name, text.encode())



def gf_mul(a, b):
    product = 0
    while b:
        if b & 1:
            product ^= a
        a <<= 1
        if a & 0x100:
            a ^= 0x11D
        b >>= 1
    return product


def gf_inv(a):
    return next(x for x in range(1, 256) if gf_mul(a, x) == 1)


def recovery_pieces(source, total, piece_id=0x5F000001):
    """The recovery pieces of a one-piece division (pieces of 1 MiB)."""
    the_piece = piece(source, piece_id)
    out = []
    for index in range(1, total + 1):
        fixed = struct.pack('<I', piece_id) + b'SundRec\n' + struct.pack(
            '<HHQQHHHH', 1, 104 + 32, len(source), 1 << 20, 1, total, index, 0)
        body = fixed + hashlib.sha256(source).digest() + hashlib.sha256(the_piece).digest()
        manifest = body + hashlib.sha256(body).digest()
        coefficient = gf_inv(255 - (index - 1))
        data = bytes(gf_mul(coefficient, byte) for byte in source)
        out.append(manifest + piece(data)[4:])
    return out


recovery = recovery_pieces(source, 2)
whole = piece(source)
write('fuzz_recovery', 'whole',
      entry('s.bin(01_of_01).divide', whole) +
      entry('s.bin(00_of_01).recovery-01-of-02.divide', recovery[0]) +
      entry('s.bin(00_of_01).recovery-02-of-02.divide', recovery[1]))
write('fuzz_recovery', 'piece_missing',
      entry('s.bin(00_of_01).recovery-02-of-02.divide', recovery[1]) +
      entry('s.bin(00_of_01).recovery-01-of-02.divide', recovery[0]))
flipped = bytearray(whole)
flipped[4200] ^= 0x10
write('fuzz_recovery', 'damaged_block',
      entry('s.bin(01_of_01).divide', bytes(flipped)) +
      entry('s.bin(00_of_01).recovery-01-of-02.divide', recovery[0]))
write('fuzz_recovery', 'manifest_alone', recovery[0][:136])

write('fuzz_sha256', 'abc', b'abc')
write('fuzz_sha256', 'blocks', source[:1000])
write('fuzz_sha256', 'hex', b'BA7816BF8F01CFEA414140DE5DAE2223B00361A396177A9CB410FF61F20015AD')
