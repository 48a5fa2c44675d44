#!/usr/bin/env python3
"""Derives the folding constants of the carry-less FCS paths.

The FCS is a reflected CRC: the first bit of the data (bit 0 of its first
byte) is the highest power of x. A 16-byte lane loaded little-endian holds a
polynomial X of degree < 128 with bit j standing for x^(127 - j); its low
quadword holds the upper half H (X = H x^64 + L), its high quadword L.

Carry-less multiplication of two such reflected quadwords yields their
product times x, reflected into 128 bits. Folding X forward over D bits,
X x^D = H x^(D+64) + L x^D (mod P), thus multiplies H by x^(D+63) mod P and
L by x^(D-1) mod P, each reflected into a quadword.

    tools/fcs_constants.py > format/fcs_constants.h     writes the header
    tools/fcs_constants.py --check format/fcs_constants.h   fails if stale
"""
import sys

POLYNOMIAL = 0x11021          # x^16 + x^12 + x^5 + 1
DEGREE = 16
# Fold distances in bits: one 16-byte lane, the lanes of a 64-byte vector,
# four 64-byte vectors, and what combines four accumulators into one.
DISTANCES = [128, 256, 384, 512, 1024, 1536, 2048]


def x_power_mod(exponent):
    """x^exponent mod P as an integer, bit i standing for x^i."""
    remainder = 1
    for _ in range(exponent):
        remainder <<= 1
        if remainder >> DEGREE & 1:
            remainder ^= POLYNOMIAL
    return remainder


def reflected(value, bits=64):
    return int(format(value, "0%db" % bits)[::-1], 2)


def header():
    lines = [
        "// Folding constants of the carry-less FCS paths, written by",
        "// tools/fcs_constants.py; do not edit. kFold<D> carries data D bits",
        "// forward: {multiplier of the low quadword, of the high quadword}.",
        "#pragma once",
        "",
        "#include <cstdint>",
        "",
        "namespace sundrel {",
        "",
    ]
    for distance in DISTANCES:
        low = reflected(x_power_mod(distance + 63))
        high = reflected(x_power_mod(distance - 1))
        lines.append("constexpr uint64_t kFold%d[2] = {0x%016X, 0x%016X};" % (distance, low, high))
    lines += ["", "}  // namespace sundrel", ""]
    return "\n".join(lines)


def main(argv):
    text = header()
    if len(argv) == 3 and argv[1] == "--check":
        with open(argv[2], encoding="utf-8") as committed:
            if committed.read() != text:
                print("%s differs from what %s derives" % (argv[2], argv[0]), file=sys.stderr)
                return 1
        return 0
    if len(argv) != 1:
        print(__doc__, file=sys.stderr)
        return 2
    sys.stdout.write(text)
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
