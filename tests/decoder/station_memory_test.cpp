// What the block layer learns while it receives: the station's own blocks A and C' and the values
// a correction must agree with, and the shape of the stream's errors.
#include "decoder/station_memory.h"

#include <gtest/gtest.h>

#include "decoder/error_shape.h"
#include "rdscore/block_code.h"

namespace {

using decoder::JudgedBlock;
using decoder::StationMemory;

constexpr std::uint16_t kPi = 0xD3A1;
constexpr std::uint32_t kOwnA = 0x34E8713;  // kPi under offset A, worked out by hand

JudgedBlock Corrected(std::uint16_t info, rds::Offset encoded, decoder::BlockOffset offset) {
  return {rds::EncodeBlock(info, encoded), offset, decoder::BlockStatus::kCorrected};
}

TEST(StationMemory, KnowsTheStationsOwnBlocksOnlyAfterACleanOne) {
  StationMemory station;
  std::uint32_t own = 0;
  EXPECT_FALSE(station.NearOwnBlock(kOwnA, decoder::A, 4, &own));
  EXPECT_FALSE(station.Fits(Corrected(kPi, rds::Offset::kA, decoder::A)));
  station.NoteClean(
      {rds::EncodeBlock(kPi, rds::Offset::kCPrime), decoder::CPrime, decoder::BlockStatus::kClean});

  struct Case {
    std::uint32_t errors;
    decoder::BlockOffset offset;
    int max_bits;
    bool near;
  };
  const Case cases[] = {
      {0, decoder::A, 4, true},          {0x0300003, decoder::A, 4, true},
      {0x2000C00, decoder::A, 2, false}, {0x0300007, decoder::A, 4, false},
      {0x1800000, decoder::A, 2, true},  {0x0000011, decoder::CPrime, 4, true},
      {0, decoder::B, 4, false},         {0, decoder::D, 4, false},
  };
  for (const Case& c : cases) {
    const std::uint32_t sent =
        c.offset == decoder::A ? kOwnA : rds::EncodeBlock(kPi, rds::Offset::kCPrime);
    EXPECT_EQ(station.NearOwnBlock(sent ^ c.errors, c.offset, c.max_bits, &own), c.near)
        << std::hex << c.errors << " offset " << c.offset;
    if (c.near) {
      EXPECT_EQ(own, sent);
    }
  }
}

TEST(StationMemory, CorrectionsMustKeepThePiAndTheProgrammeType) {
  StationMemory station;
  station.NoteClean({kOwnA, decoder::A, decoder::BlockStatus::kClean});
  station.NoteClean(
      {rds::EncodeBlock(0x0549, rds::Offset::kB), decoder::B, decoder::BlockStatus::kClean});
  EXPECT_TRUE(station.Fits(Corrected(kPi, rds::Offset::kCPrime, decoder::CPrime)));
  EXPECT_FALSE(station.Fits(Corrected(kPi ^ 0x0100, rds::Offset::kA, decoder::A)));
  // Block B: TP and PTY (bits 10..5) must stay; group type and the rest may change.
  EXPECT_TRUE(station.Fits(Corrected(0x2558, rds::Offset::kB, decoder::B)));
  EXPECT_FALSE(station.Fits(Corrected(0x0569, rds::Offset::kB, decoder::B)));
  EXPECT_TRUE(station.Fits(Corrected(0x1234, rds::Offset::kD, decoder::D)));
}

TEST(ErrorShape, LoneInnerBitsAreRuledOutOnlyAfterEnoughVerifiedWrongLevels) {
  using decoder::ErrorShape;
  struct Shape {
    std::uint32_t burst;
    bool one_level;
    bool lone_inner;
  };
  const Shape shapes[] = {{0x3, true, false},       {0x3000000, true, false},
                          {0x2000000, true, false}, {0x1, true, false},
                          {0x400, false, true},     {0x5, false, false},
                          {0x0000C00, true, false}, {0x6000000, false, false}};
  for (const Shape& s : shapes) {
    EXPECT_EQ(ErrorShape::IsOneWrongLevel(s.burst), s.one_level) << std::hex << s.burst;
    EXPECT_EQ(ErrorShape::IsLoneInnerBit(s.burst), s.lone_inner) << std::hex << s.burst;
  }

  ErrorShape shape;
  for (int i = 0; i < ErrorShape::kEvidence - 1; ++i) shape.NoteVerified(0x3u << i);
  shape.NoteVerified(0x5);  // two wrong levels: no evidence either way
  EXPECT_TRUE(shape.Believable(0x400));
  shape.NoteVerified(0x2000000);
  EXPECT_FALSE(shape.Believable(0x400));
  EXPECT_TRUE(shape.Believable(0x1800));
  EXPECT_TRUE(shape.Believable(0x1));
  shape.NoteVerified(0x80);  // a stream whose bits go wrong one by one after all
  EXPECT_TRUE(shape.Believable(0x400));
}

}  // namespace
