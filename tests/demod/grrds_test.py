"""rds-demod and brovik against an independent transmitter: GNU Radio's gr-rds.

For each case the transmitter (grrds_transmitter.py) makes an FM multiplex recording and keeps
the bits its encoder sent; rds-demod turns the recording into a capture file and brovik decodes
it. Every group sent must come back block for block, apart from the first and the last of the
recording (the receiver needs the first to lock, and brovik never reports the last 52 to 77
bits). brovik reports from the block B that follows the block A it synchronised on, so in that
group the blocks from B on are checked.

Usage: grrds_test.py RDS_DEMOD BROVIK
Without gr-rds the test says so and is skipped (exit 77), or fails when CI is set.
"""

import os
import subprocess
import sys
import tempfile

try:
    import numpy as np
    import grrds_transmitter as tx
except ImportError as error:
    print(f"gr-rds or GNU Radio cannot be imported ({error}); "
          "install gr-rds gnuradio python3-numpy and run with /usr/bin/python3")
    sys.exit(1 if os.environ.get("CI") else 77)

# Rows of the block code's parity-check matrix by bit number (bit 25 is received first), and the
# syndromes of the offset words A, B, C, C', D.
PARITY_ROWS = [0x31B, 0x38F, 0x2A7, 0x0F7, 0x1EE, 0x3DC, 0x201, 0x1BB, 0x376, 0x355, 0x313, 0x39F,
               0x287, 0x0B7, 0x16E, 0x2DC, 0x001, 0x002, 0x004, 0x008, 0x010, 0x020, 0x040, 0x080,
               0x100, 0x200]
SYNDROME_A = 0x3D8
SYNDROME_B = 0x3D4

GROUPS = 96
SECONDS = GROUPS * 104 / tx.BIT_RATE

# name, sample rate, pilot level, channels
CASES = [
    ("171 kHz with pilot", 171000, 0.09, 1),
    ("228 kHz with pilot", 228000, 0.09, 1),
    ("192 kHz through the resampler", 192000, 0.09, 1),
    ("250 kHz through the resampler", 250000, 0.09, 1),
    ("171 kHz without pilot", 171000, 0.0, 1),
    ("228 kHz stereo file, multiplex in the first channel", 228000, 0.09, 2),
]


def syndrome(block):
    s = 0
    for bit in range(26):
        if block >> bit & 1:
            s ^= PARITY_ROWS[bit]
    return s


def blocks_of(bits, start):
    return [int("".join(map(str, bits[i:i + 26])), 2) for i in range(start, len(bits) - 25, 26)]


def read_report(path):
    """(bit position 0-based, block) for every line of brovik's report."""
    lines = []
    with open(path) as report:
        for line in report:
            fields = line.split()
            lines.append((int(fields[0]) - 1, int(fields[1], 16)))
    return lines


def check_case(workdir, demod, brovik, name, rate, pilot, channels):
    samples, sent = tx.make_mpx(rate, SECONDS, pilot_level=pilot)
    wav = os.path.join(workdir, "mpx.wav")
    if channels == 2:
        samples = np.stack([samples, np.zeros_like(samples)], axis=1).reshape(-1)
    tx.write_wav(wav, rate, samples, channels)
    capture = os.path.join(workdir, "rds-in.txt")
    report = os.path.join(workdir, "rds-out.txt")
    run = subprocess.run([demod, wav, capture], capture_output=True, text=True, timeout=60)
    if run.returncode != 0:
        return f"rds-demod exit {run.returncode}: {run.stderr.strip()}"
    run = subprocess.run([brovik, capture, report], capture_output=True, text=True, timeout=60)
    if run.returncode != 0:
        return f"brovik exit {run.returncode}: {run.stderr.strip()}"

    # The encoder's first group starts at its first bit.
    sent = [int(b) for b in sent]
    if syndrome(blocks_of(sent, 0)[0]) != SYNDROME_A:
        return "the transmitter's bits do not start with a block A"
    sent_blocks = blocks_of(sent, 0)
    groups = len(sent_blocks) // 4
    received = read_report(report)
    # Our bit p is the transmitter's bit p + shift for the receiver's small, unknown delay.
    def matches(shift):
        return sum(1 for p, block in received
                   if (p + shift) % 26 == 0 and 0 <= (p + shift) // 26 < len(sent_blocks)
                   and sent_blocks[(p + shift) // 26] == block)
    shift = max(range(-104, 105), key=matches)
    got = {(p + shift) // 26: block for p, block in received if (p + shift) % 26 == 0}
    first_reported = min(got)
    missing = []
    for g in range(1, groups - 1):
        for b in range(4):
            index = 4 * g + b
            if index < first_reported and first_reported % 4 == 1 and index == first_reported - 1:
                continue  # the block A brovik synchronised on
            if got.get(index) != sent_blocks[index]:
                missing.append(f"group {g} block {'ABCD'[b]}")
    if first_reported > 5:
        return f"brovik's report starts at block {first_reported}, after the second group"
    if missing:
        return f"{len(missing)} blocks wrong or missing: {', '.join(missing[:8])}"
    print(f"  {groups - 2} groups checked; the first bit written is the transmitter's bit {shift}")
    return None


def main():
    demod, brovik = sys.argv[1], sys.argv[2]
    failures = 0
    with tempfile.TemporaryDirectory(prefix="rds-grrds-") as workdir:
        for name, rate, pilot, channels in CASES:
            problem = check_case(workdir, demod, brovik, name, rate, pilot, channels)
            print(f"{'FAIL' if problem else 'PASS'}: {name}" + (f": {problem}" if problem else ""))
            failures += problem is not None
    print(f"{len(CASES) - failures} passed, {failures} failed")
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
