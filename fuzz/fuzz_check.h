// The fuzz targets' assertion: a broken property prints what broke and aborts, which libFuzzer
// records as a crash with its input, and which fails the corpus replay test.
#ifndef RDS_FUZZ_FUZZ_CHECK_H_
#define RDS_FUZZ_FUZZ_CHECK_H_

#include <cstdio>
#include <cstdlib>

namespace fuzz {

inline void Require(bool holds, const char* property) {
  if (holds) return;
  std::fprintf(stderr, "fuzz: property broken: %s\n", property);
  std::abort();
}

}  // namespace fuzz

#endif  // RDS_FUZZ_FUZZ_CHECK_H_
