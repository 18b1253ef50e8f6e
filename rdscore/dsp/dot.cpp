#include "rdscore/dsp/dot.h"

#include <cstring>

namespace rds {

namespace {

// Eight lanes as one value: GCC and clang compile the arithmetic to whatever vector instructions
// the target has (two SSE registers, or one AVX register).
using Lanes = float __attribute__((vector_size(32)));
constexpr std::size_t kLanes = 8;

// Unaligned loads; by pointer, because passing such a value differs between targets.
inline void Load(const float* p, Lanes* v) { std::memcpy(v, p, sizeof *v); }

inline float Reduce(const Lanes& s) {
  return ((s[0] + s[4]) + (s[1] + s[5])) + ((s[2] + s[6]) + (s[3] + s[7]));
}

// Both products share the loop, so a shared operand is loaded once for the two.
// NOLINTNEXTLINE(bugprone-easily-swappable-parameters): two weight vectors, then the two signals
inline void TwoDots(const float* a, const float* b, const float* x, const float* y, std::size_t n,
                    float* sum_a, float* sum_b) {
  Lanes sa = {};
  Lanes sb = {};
  std::size_t i = 0;
  Lanes va, vb, vx, vy;
  for (; i + kLanes <= n; i += kLanes) {
    Load(a + i, &va);
    Load(b + i, &vb);
    Load(x + i, &vx);
    Load(y + i, &vy);
    sa += va * vx;
    sb += vb * vy;
  }
  float ta = 0, tb = 0;
  for (; i < n; ++i) {
    ta += a[i] * x[i];
    tb += b[i] * y[i];
  }
  *sum_a = Reduce(sa) + ta;
  *sum_b = Reduce(sb) + tb;
}

}  // namespace

#if defined(__GNUC__) && defined(__x86_64__) && defined(__linux__) && !defined(__clang__)
// Wider vectors where the processor has them; the loader picks the version at start-up.
#define RDS_VECTOR_CLONES __attribute__((target_clones("avx2", "default")))
#else
#define RDS_VECTOR_CLONES
#endif

RDS_VECTOR_CLONES
void DotPair(const float* a, const float* b, const float* x, std::size_t n, float* sum_a,
             float* sum_b) {
  TwoDots(a, b, x, x, n, sum_a, sum_b);
}

RDS_VECTOR_CLONES
void DotShared(const float* h, const float* x, const float* y, std::size_t n, float* sum_x,
               float* sum_y) {
  TwoDots(h, h, x, y, n, sum_x, sum_y);
}

}  // namespace rds
