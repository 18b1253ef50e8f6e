// Whole-state comparison: a refused frame must leave every field as it was.
#ifndef RDS_TESTS_SIMULATOR_STATE_COMPARE_H_
#define RDS_TESTS_SIMULATOR_STATE_COMPARE_H_

#include <gtest/gtest.h>

#include "simulator/encoder_state.h"

namespace sim {

inline void ExpectSameState(const EncoderState& a, const EncoderState& b, const std::string& why) {
  EXPECT_EQ(a.pi, b.pi) << why;
  EXPECT_EQ(a.ps, b.ps) << why;
  EXPECT_EQ(a.tp, b.tp) << why;
  EXPECT_EQ(a.ta, b.ta) << why;
  EXPECT_EQ(a.di, b.di) << why;
  EXPECT_EQ(a.music, b.music) << why;
  EXPECT_EQ(a.pin, b.pin) << why;
  EXPECT_EQ(a.pty, b.pty) << why;
  EXPECT_EQ(a.ptyn, b.ptyn) << why;
  EXPECT_EQ(a.ptyn_ab, b.ptyn_ab) << why;
  EXPECT_EQ(a.radiotexts.size(), b.radiotexts.size()) << why;
  EXPECT_EQ(a.af_codes, b.af_codes) << why;
  EXPECT_EQ(a.ct_on, b.ct_on) << why;
  EXPECT_EQ(a.clock_offset_ms, b.clock_offset_ms) << why;
  EXPECT_EQ(a.local_offset_half_hours, b.local_offset_half_hours) << why;
  EXPECT_EQ(a.group_queue.size(), b.group_queue.size()) << why;
  EXPECT_EQ(a.ps_revision, b.ps_revision) << why;
  EXPECT_EQ(a.radiotext_revision, b.radiotext_revision) << why;
  EXPECT_EQ(a.af_revision, b.af_revision) << why;
  EXPECT_EQ(a.ptyn_revision, b.ptyn_revision) << why;
  EXPECT_EQ(a.af_element, b.af_element) << why;
  EXPECT_EQ(a.group_sequence, b.group_sequence) << why;
  EXPECT_EQ(a.slow_labels, b.slow_labels) << why;
  EXPECT_EQ(a.data_set, b.data_set) << why;
  EXPECT_EQ(a.other_set.pi, b.other_set.pi) << why;
  EXPECT_EQ(a.other_set.ps, b.other_set.ps) << why;
  EXPECT_EQ(a.rds_on, b.rds_on) << why;
  EXPECT_EQ(a.level_mv, b.level_mv) << why;
  EXPECT_EQ(a.phase_tenths, b.phase_tenths) << why;
  EXPECT_EQ(a.mode, b.mode) << why;
  EXPECT_EQ(a.site_addresses, b.site_addresses) << why;
  EXPECT_EQ(a.encoder_addresses, b.encoder_addresses) << why;
}

}  // namespace sim

#endif  // RDS_TESTS_SIMULATOR_STATE_COMPARE_H_
