// The spectrum shaping of the RDS data channel. The transmitter filters its biphase impulse pairs
// with H(f) = cos(π f td / 4) for |f| ≤ 2/td (zero above), td = 1/1187.5 s being one bit; a
// receiver that filters with the same response gets a channel with a 100 % cosine roll-off, which
// is free of intersymbol interference at the symbol instants and matched to the noise.
#ifndef RDS_RDSCORE_DSP_SHAPING_H_
#define RDS_RDSCORE_DSP_SHAPING_H_

namespace rds {

// Impulse response of that filter at time u, in bits from its centre, scaled to 1 at u = 0:
// h(u) = cos(4πu) / (1 − 64u²). It decays as 1/u²: beyond ±2 bits it stays below 0.4 %.
double ShapingImpulse(double u);

// One biphase symbol (output bit 1) after shaping: the impulse pair +δ(t) − δ(t − td/2), i.e.
// h(u) − h(u − 1/2). A 0 is its negative.
double ShapedBiphaseSymbol(double u);

}  // namespace rds

#endif  // RDS_RDSCORE_DSP_SHAPING_H_
