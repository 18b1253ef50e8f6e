// Design of the linear-phase FIR low-pass filters that modulators, decimators and resamplers use.
#ifndef RDS_RDSCORE_DSP_FIR_DESIGN_H_
#define RDS_RDSCORE_DSP_FIR_DESIGN_H_

#include <vector>

namespace rds {

// A windowed-sinc low-pass filter of `taps` coefficients (odd numbers give an integer delay)
// with its -6 dB point at `cutoff` (a fraction of the sample rate, 0 < cutoff < 0.5), a Kaiser
// window of shape `beta` (about 0.1102 × (A − 8.7) for a stop-band attenuation of A dB), and a
// gain of exactly 1 at DC.
std::vector<float> LowpassTaps(int taps, double cutoff, double beta);

// The Kaiser window's β for a stop-band attenuation of `attenuation_db` decibels.
double KaiserBeta(double attenuation_db);

// Taps a Kaiser-windowed low-pass filter needs for that attenuation with a transition band
// `transition` wide (a fraction of the sample rate); always odd.
int KaiserTaps(double attenuation_db, double transition);

}  // namespace rds

#endif  // RDS_RDSCORE_DSP_FIR_DESIGN_H_
