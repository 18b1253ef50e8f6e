#!/usr/bin/env python3
"""rds-demod's sensitivity: the share of RDS groups that arrive exactly as sent, against SNR.

For each SNR, rds-capture-gen makes a noisy 171 kHz multiplex of N groups (SNR as rds-capture-gen
and docs/rds-demod.md define it: RDS power over the noise in 57 kHz +/- 2.4 kHz; Eb/N0 = SNR +
6.07 dB) together with the bits it sent. rds-demod turns the multiplex into bits, with and
without --soft-correct, and brovik --receiver decodes them with its burst correction. A group
counts when its four blocks arrive exactly as sent:
  - in rds-demod's own bits, without correction, and with --soft-correct;
  - in rds-demod's bits with every single wrong symbol corrected (a reference decoder here that
    knows the offset due, as a decoder in synchronisation does: what the best decoders do);
  - among the blocks brovik --receiver reports (clean or corrected) from each of those.
A wrong block passes its syndrome check (or is "corrected") but differs from what was sent; a
wrong group has four blocks that all pass and at least one of them wrong, i.e. a group a
receiver would take for good.

The ideal curves are those of a coherent receiver with hard decisions: a symbol error rate
q = Q(sqrt(2 Eb/N0)); each wrong symbol costs two adjacent bits after differential decoding, so a
block survives a decoder that corrects one wrong symbol when at most one of its 27 symbols is
wrong, and a decoder without correction when none is.

Usage: bench/demod/sensitivity.py [--build DIR] [--groups N] [--from DB] [--to DB] [--step DB]
"""

import argparse
import math
import os
import re
import subprocess
import sys
import tempfile

PARITY_ROWS = [0x31B, 0x38F, 0x2A7, 0x0F7, 0x1EE, 0x3DC, 0x201, 0x1BB, 0x376, 0x355, 0x313, 0x39F,
               0x287, 0x0B7, 0x16E, 0x2DC, 0x001, 0x002, 0x004, 0x008, 0x010, 0x020, 0x040, 0x080,
               0x100, 0x200]
RATE = 171000
# The bits of a block that a wrong level changes: level k is the one before bit k of the block
# (bit 0 first on air), so it changes bits k - 1 and k.
LEVEL_MASKS = [(1 << (26 - k) if k >= 1 else 0) | (1 << (25 - k) if k <= 25 else 0)
               for k in range(27)]


def syndrome(block):
    s = 0
    for bit in range(26):
        if block >> bit & 1:
            s ^= PARITY_ROWS[bit]
    return s


def q_function(x):
    return 0.5 * math.erfc(x / math.sqrt(2))


def ideal(snr_db):
    q = q_function(math.sqrt(2 * 10 ** ((snr_db + 6.07) / 10)))
    clean = (1 - q) ** 27
    one_corrected = clean + 27 * q * (1 - q) ** 26
    return one_corrected ** 4, clean ** 4


def read_bits(path):
    with open(path) as f:
        f.readline()
        return f.readline().strip()


# A block line of brovik's report: position, block, information word, check bits, offset name.
# Decoded text may hold any byte, line feeds included, so lines are matched, not split.
BLOCK_LINE = re.compile(rb"^ *([0-9]+) ([0-9a-f]{7}) [0-9a-f]{4} [0-9a-f]{3} (A |B |C'|C |D )")


def read_report(path):
    """Position (0-based) -> block, for every line brovik reports with an offset."""
    blocks = {}
    with open(path, "rb") as report:
        for line in report:
            match = BLOCK_LINE.match(line)
            if match:
                blocks[int(match.group(1)) - 1] = int(match.group(2), 16)
    return blocks


def alignment(sent, bits):
    """shift such that received bit i is sent bit i - shift, by agreement of the bits."""
    window = range(2000, min(len(sent), 12000))
    return max(range(-200, 201),
               key=lambda k: sum(1 for i in window if 0 <= i + k < len(bits) and bits[i + k] == sent[i]))


def score(sent_blocks, received, shift):
    """(exact groups, wrong blocks, wrong groups); `received` maps position -> block or None."""
    exact = wrong_blocks = wrong_groups = 0
    groups = len(sent_blocks) // 4
    for g in range(1, groups - 1):
        # Follow the receiver through slips of a few bits: take the nearby alignment at which the
        # most blocks of this group stand as sent.
        best = max((0, -1, 1, -2, 2, -3, 3, -4, 4),
                   key=lambda d: sum(received(104 * g + 26 * b + shift + d) == sent_blocks[4 * g + b]
                                     for b in range(4)))
        if sum(received(104 * g + 26 * b + shift + best) == sent_blocks[4 * g + b]
               for b in range(4)) >= 2:
            shift += best
        got = [received(104 * g + 26 * b + shift) for b in range(4)]
        want = sent_blocks[4 * g:4 * g + 4]
        wrong = sum(1 for x, y in zip(got, want) if x is not None and x != y)
        wrong_blocks += wrong
        exact += got == want
        wrong_groups += wrong > 0 and all(x is not None for x in got)
    return exact, wrong_blocks, wrong_groups


def measure(build, groups, snr, workdir):
    gen = os.path.join(build, "tools", "rds-capture-gen")
    demod = os.path.join(build, "demod", "rds-demod")
    brovik = os.path.join(build, "decoder", "brovik")
    sent_path = os.path.join(workdir, "sent.txt")
    wav = os.path.join(workdir, "mpx.wav")
    subprocess.run([gen, "--groups", str(groups), "--mpx", wav, "--mpx-rate", str(RATE),
                    "--snr", str(snr), "--seed", str(1000 + int(10 * snr)), "-o", sent_path],
                   check=True, capture_output=True)
    sent = read_bits(sent_path)
    sent_blocks = [int(sent[i:i + 26], 2) for i in range(0, len(sent) - 25, 26)]
    results = {}
    for name, options in (("hard", []), ("soft", ["--soft-correct"])):
        capture = os.path.join(workdir, name + ".txt")
        report = os.path.join(workdir, name + "-report.txt")
        subprocess.run([demod] + options + [wav, capture], check=True, capture_output=True)
        bits = read_bits(capture)
        shift = alignment(sent, bits)
        # Without brovik: a block counts where it stands in rds-demod's bits, if its syndrome
        # passes (a failed one is a lost block, not a wrong one).
        def raw(p, bits=bits, shift=shift):
            if p < 0 or p + 26 > len(bits):
                return None
            block = int(bits[p:p + 26], 2)
            due = sent_blocks[(p - shift) // 26 % len(sent_blocks)]
            return block if syndrome(block) == syndrome(due) else None
        results[name + " alone"] = score(sent_blocks, raw, shift)
        if name == "hard":
            # The reference for the best decoders: the same bits with every single wrong symbol
            # corrected (one level flipped: two adjacent bits, or the first bit alone), against
            # the offset due, as a decoder in synchronisation does.
            def one_symbol(p, bits=bits, shift=shift):
                if p < 0 or p + 26 > len(bits):
                    return None
                block = int(bits[p:p + 26], 2)
                want = syndrome(sent_blocks[(p - shift) // 26 % len(sent_blocks)])
                if syndrome(block) == want:
                    return block
                for k in range(27):
                    flipped = block ^ LEVEL_MASKS[k]
                    if syndrome(flipped) == want:
                        return flipped
                return None
            results["one symbol"] = score(sent_blocks, one_symbol, shift)
        run = subprocess.run([brovik, "--receiver", capture, report], capture_output=True)
        reported = read_report(report) if run.returncode == 0 else {}
        results[name] = score(sent_blocks, reported.get, shift)
    return results, groups - 2


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--build", default="build")
    parser.add_argument("--groups", type=int, default=4000)
    parser.add_argument("--from", dest="low", type=float, default=-6)
    parser.add_argument("--to", dest="high", type=float, default=6)
    parser.add_argument("--step", type=float, default=1)
    args = parser.parse_args()
    print("| SNR dB | Eb/N0 dB | ideal, 1 symbol corrected | ideal, none | rds-demod "
          "| + 1 symbol corrected | + brovik --receiver | rds-demod --soft-correct "
          "| + brovik --receiver | wrong groups (5 columns before) | wrong blocks (same) |")
    print("|---:|---:|---:|---:|---:|---:|---:|---:|---:|---|---|")
    snr = args.low
    with tempfile.TemporaryDirectory(prefix="rds-sensitivity-") as workdir:
        while snr <= args.high + 1e-9:
            results, total = measure(args.build, args.groups, snr, workdir)
            one, none = ideal(snr)
            pct = lambda key: f"{100.0 * results[key][0] / total:.1f} %"
            order = ("hard alone", "one symbol", "hard", "soft alone", "soft")
            print(f"| {snr:g} | {snr + 6.07:.2f} | {100 * one:.1f} % | {100 * none:.1f} % | "
                  + " | ".join(pct(k) for k in order) + " | "
                  + " / ".join(str(results[k][2]) for k in order) + " | "
                  + " / ".join(str(results[k][1]) for k in order) + " |", flush=True)
            snr += args.step
    return 0


if __name__ == "__main__":
    sys.exit(main())
