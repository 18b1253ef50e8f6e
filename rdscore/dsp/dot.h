// Dot products for the FIR filters, written with independent partial sums so that compilers
// vectorise them without being allowed to reorder floating-point additions themselves.
#ifndef RDS_RDSCORE_DSP_DOT_H_
#define RDS_RDSCORE_DSP_DOT_H_

#include <cstddef>

namespace rds {

// Σ a[i]·x[i] and Σ b[i]·x[i] in one pass over x: a complex filter with real input.
void DotPair(const float* a, const float* b, const float* x, std::size_t n, float* sum_a,
             float* sum_b);

// Σ h[i]·x[i] and Σ h[i]·y[i]: a real filter on the two parts of a complex signal.
void DotShared(const float* h, const float* x, const float* y, std::size_t n, float* sum_x,
               float* sum_y);

}  // namespace rds

#endif  // RDS_RDSCORE_DSP_DOT_H_
