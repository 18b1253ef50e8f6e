// What the block layer learns while it receives: the station's own blocks A and C' and the values
// a correction must keep, and the shape of the stream's errors.
#include "decoder/station_memory.h"

#include <gtest/gtest.h>

#include "decoder/error_shape.h"
#include "rdscore/block_code.h"

namespace {

using decoder::JudgedBlock;

constexpr std::uint16_t kPi = 0xD3A1;
constexpr std::uint32_t kOwnA = 0x34E8713;  // kPi under offset A, worked out by hand

JudgedBlock Block(std::uint16_t info, rds::Offset encoded, decoder::BlockOffset offset) {
  return {rds::EncodeBlock(info, encoded), offset, decoder::BlockStatus::kCorrected};
}

TEST(StationMemory, OwnBlocksAndGuardOnlyAfterCleanBlocksShowedThem) {
  decoder::StationMemory station;
  std::uint32_t own = 0;
  EXPECT_FALSE(station.NearOwnBlock(kOwnA, decoder::A, 4, &own));
  EXPECT_FALSE(station.Fits(Block(kPi, rds::Offset::kA, decoder::A)));
  station.NoteClean(Block(kPi, rds::Offset::kCPrime, decoder::CPrime));
  station.NoteClean(Block(0x0549, rds::Offset::kB, decoder::B));

  EXPECT_TRUE(station.NearOwnBlock(kOwnA ^ 0x0300003, decoder::A, 4, &own));
  EXPECT_EQ(own, kOwnA);
  EXPECT_FALSE(station.NearOwnBlock(kOwnA ^ 0x0300007, decoder::A, 4, &own));  // five bits
  EXPECT_FALSE(station.NearOwnBlock(kOwnA ^ 0x2000C00, decoder::A, 2, &own));  // three bits
  EXPECT_TRUE(station.NearOwnBlock(rds::EncodeBlock(kPi, rds::Offset::kCPrime) ^ 0x11,
                                   decoder::CPrime, 4, &own));
  EXPECT_EQ(own, rds::EncodeBlock(kPi, rds::Offset::kCPrime));
  EXPECT_FALSE(station.NearOwnBlock(rds::EncodeBlock(kPi, rds::Offset::kD), decoder::D, 4, &own));

  EXPECT_TRUE(station.Fits(Block(kPi, rds::Offset::kA, decoder::A)));
  EXPECT_FALSE(station.Fits(Block(kPi ^ 0x0100, rds::Offset::kCPrime, decoder::CPrime)));
  // Block B keeps TP and PTY (bits 10..5); group type and the rest may change.
  EXPECT_TRUE(station.Fits(Block(0x2558, rds::Offset::kB, decoder::B)));
  EXPECT_FALSE(station.Fits(Block(0x0569, rds::Offset::kB, decoder::B)));
  EXPECT_TRUE(station.Fits(Block(0x1234, rds::Offset::kD, decoder::D)));
}

TEST(ErrorShape, LoneInnerBitsAreRuledOutOnlyAfterEnoughVerifiedWrongLevels) {
  decoder::ErrorShape shape;
  for (int i = 0; i < decoder::ErrorShape::kEvidence - 1; ++i) shape.NoteVerified(0x3u << i);
  shape.NoteVerified(0x5);  // two wrong levels: evidence neither way
  EXPECT_TRUE(shape.Believable(0x400));
  shape.NoteVerified(0x2000000);  // one wrong level at the block's first bit
  EXPECT_FALSE(shape.Believable(0x400));
  EXPECT_TRUE(shape.Believable(0x1800));  // two adjacent bits
  EXPECT_TRUE(shape.Believable(0x1));     // the last bit alone
  shape.NoteVerified(0x80);               // a stream whose bits go wrong one by one after all
  EXPECT_TRUE(shape.Believable(0x400));
}

}  // namespace
