"""An RDS transmitter built from GNU Radio's gr-rds blocks, independent of our own modulator.

gr-rds's encoder makes the groups (checkwords and offset words included); GNU Radio's
differential encoder and symbol mapper make the biphase symbols; the shaping is the standard's
cos(pi f td / 4) response applied by an interpolating filter; the result rides on a 57 kHz carrier
locked to a 19 kHz pilot. Rates that are not multiples of 2375 Hz go through GNU Radio's rational
resampler from 228 kHz.
"""

import math
import wave

import numpy as np
from gnuradio import analog, blocks, digital, filter, gr
import rds

BIT_RATE = 1187.5
HALF_BIT_RATE = 2 * BIT_RATE


def shaping_taps(rate, span_bits=6):
    """The shaping filter's impulse response at `rate`, cos(4 pi u) / (1 - 64 u^2), u in bits."""
    half = int(span_bits * rate / BIT_RATE)
    taps = []
    for i in range(-half, half + 1):
        u = i * BIT_RATE / rate
        d = 1 - 64 * u * u
        taps.append(math.pi / 4 if abs(d) < 1e-9 else math.cos(4 * math.pi * u) / d)
    return taps


def make_mpx(rate, seconds, rds_level=0.05, pilot_level=0.09):
    """Returns (samples as float32 in [-1, 1], bits the encoder sent before differential coding)."""
    base = rate if rate % HALF_BIT_RATE == 0 else 228000
    interp = int(base // HALF_BIT_RATE)
    tb = gr.top_block()
    encoder = rds.encoder(0, 10, True, "GR-RDS  ", 89.8e6, True, False, 13, 3, 147,
                          "Sent by GNU Radio's RDS encoder for the demodulator's test")
    sent = blocks.vector_sink_b()
    diff = digital.diff_encoder_bb(2)
    # Output bit 1 is +delta then -delta half a bit later; 0 the opposite.
    biphase = digital.chunks_to_symbols_bf([-1.0, 1.0, 1.0, -1.0], 2)
    taps = shaping_taps(base)
    peak = max(abs(sum(taps[j] for j in range(k, len(taps), interp))) for k in range(interp))
    shape = filter.interp_fir_filter_fff(interp, [t / peak for t in taps])
    carrier = analog.sig_source_f(base, analog.GR_COS_WAVE, 57000, rds_level)
    pilot = analog.sig_source_f(base, analog.GR_COS_WAVE, 19000, pilot_level)
    mix = blocks.multiply_ff()
    add = blocks.add_ff()
    tb.connect(encoder, sent)
    tb.connect(encoder, diff, biphase, shape, (mix, 0))
    tb.connect(carrier, (mix, 1))
    tb.connect(mix, (add, 0))
    tb.connect(pilot, (add, 1))
    out = blocks.vector_sink_f()
    count = int(seconds * rate)
    if base != rate:
        g = math.gcd(int(rate), base)
        resampler = filter.rational_resampler_fff(int(rate) // g, base // g)
        tb.connect(add, resampler, blocks.head(gr.sizeof_float, count), out)
    else:
        tb.connect(add, blocks.head(gr.sizeof_float, count), out)
    tb.run()
    samples = np.array(out.data(), dtype=np.float32)
    # Bits sent while the samples were made: the encoder runs ahead of the sink, so keep only
    # those that fit in the signal's length.
    bits = np.array(sent.data()[: int(seconds * BIT_RATE)], dtype=np.uint8)
    return samples, bits


def write_wav(path, rate, samples, channels=1):
    """16-bit WAV; `samples` interleaved when there are several channels."""
    pcm = np.clip(np.round(samples * 32767), -32768, 32767).astype("<i2")
    with wave.open(path, "wb") as w:
        w.setnchannels(channels)
        w.setsampwidth(2)
        w.setframerate(int(rate))
        w.writeframes(pcm.tobytes())
