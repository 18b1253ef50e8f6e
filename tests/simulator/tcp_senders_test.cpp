// rds-encoder-sim serving several UECP senders at once on TCP: every frame answered once on its
// own connection, all frames applied to the one station in the order they came, and no sender
// (flooding, stalled mid-frame, not reading, one too many) holding up the others.
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdio>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "tests/simulator/sim_process.h"
#include "tests/support/scratch_dir.h"
#include "tests/support/uecp_tcp_sender.h"

namespace {

using Clock = std::chrono::steady_clock;

// What the encoder must send back for a good frame: "18 00" under the frame's own SQC.
std::vector<std::uint8_t> AckFor(int sqc) {
  return fuzz::ReferenceFrame(0, static_cast<std::uint8_t>(sqc), {0x18, 0x00});
}

// Frame k of sender s sets PI and PS in one message field, so the air shows whether frames were
// applied whole. SQC k % 256 runs through the values that need stuffing.
std::uint16_t PiOf(int s, int k) { return static_cast<std::uint16_t>(0x1000 + s * 1000 + k); }
std::string PsOf(int s, int k) {
  char text[16];
  std::snprintf(text, sizeof text, "%02d:%04d ", s, k);
  return text;
}
std::vector<std::uint8_t> StationFrame(int s, int k) {
  const std::uint16_t pi = PiOf(s, k);
  std::vector<std::uint8_t> message = {
      0x01, 0, 0, static_cast<std::uint8_t>(pi >> 8), static_cast<std::uint8_t>(pi & 0xFF),
      0x02, 0, 0};
  const std::string ps = PsOf(s, k);
  message.insert(message.end(), ps.begin(), ps.end());
  return fuzz::ReferenceFrame(0, static_cast<std::uint8_t>(k), message);
}

bool Exchange(UecpTcpSender* sender, int s, int k) {
  return sender->Send(StationFrame(s, k)) && sender->ReadFrame() == AckFor(k);
}

TEST(SimulatorTcp, SixteenSendersAtOnceLoseNothing) {
  constexpr int kSenders = 16;
  constexpr int kFrames = 1000;
  const ScratchDir scratch;
  Simulator sim({"--tcp", "0", "--out", scratch.Path("air.txt"), "--hold", "1"});
  const std::string where = sim.Where();
  std::vector<UecpTcpSender> senders;
  for (int s = 0; s < kSenders; ++s) {
    senders.emplace_back(where);
    ASSERT_TRUE(senders.back().ok()) << where;
  }

  // All frames but the last of each sender race; the last ones go one sender after the other,
  // so the frame the station must end with is known: sender 15's last.
  std::mutex mutex;
  std::condition_variable turn_changed;
  int turn = 0;
  const auto start = Clock::now();
  std::vector<std::thread> threads;
  threads.reserve(kSenders);
  for (int s = 0; s < kSenders; ++s) {
    threads.emplace_back([&, s] {
      UecpTcpSender& sender = senders[static_cast<std::size_t>(s)];
      int k = 0;
      while (k < kFrames - 1 && Exchange(&sender, s, k)) ++k;
      std::unique_lock<std::mutex> lock(mutex);
      turn_changed.wait(lock, [&] { return turn == s; });
      if (k == kFrames - 1 && Exchange(&sender, s, k)) ++k;
      ++turn;
      lock.unlock();
      turn_changed.notify_all();
      EXPECT_EQ(k, kFrames) << "sender " << s << ": no right answer to frame " << k;
      EXPECT_FALSE(sender.MoreWithin(20)) << "sender " << s << ": an answer too many";
    });
  }
  for (std::thread& thread : threads) thread.join();
  const double seconds = std::chrono::duration<double>(Clock::now() - start).count();
  std::printf("%d frames over %d connections in %.2f s\n", kSenders * kFrames, kSenders, seconds);

  senders.clear();  // the run ends when the last sender has gone
  ASSERT_EQ(sim.Wait(), 0) << sim.Errors();
  EXPECT_NE(sim.Errors().find("16000 frame(s) applied, 0 refused"), std::string::npos)
      << sim.Errors();
  const Air air = ReadAir(scratch.Path("air.txt"));
  EXPECT_TRUE(air.checkwords_ok);
  ASSERT_FALSE(air.groups.empty());
  EXPECT_EQ(air.groups.back()[0], PiOf(kSenders - 1, kFrames - 1));
  EXPECT_EQ(PsOf(air), PsOf(kSenders - 1, kFrames - 1));
}

TEST(SimulatorTcp, FloodsAndStalledFramesHoldUpNoOtherSender) {
  Simulator sim({"--tcp", "0", "--frame-timeout", "300"});
  const std::string where = sim.Where();
  UecpTcpSender stalled(where);
  UecpTcpSender flood(where);
  UecpTcpSender good(where);
  ASSERT_TRUE(stalled.ok() && flood.ok() && good.ok()) << where;
  std::atomic<bool> done{false};
  std::thread flooder([&] {
    std::vector<std::uint8_t> garbage(4096);  // every byte value, STA, STP and stuffing among them
    for (std::size_t i = 0; i < garbage.size(); ++i) garbage[i] = static_cast<std::uint8_t>(i * 37);
    while (!done && flood.Send(garbage)) {
    }
  });
  // Half a frame, then silence: only the timeout of its own connection may answer it, however
  // busy the other senders keep the encoder, and their frames must not mix with it.
  ASSERT_TRUE(stalled.Send({0xFE, 0x00, 0x00, 0x05, 0x04}));
  const auto deadline = Clock::now() + std::chrono::seconds(5);
  int k = 0;
  bool answered = true;
  while (Clock::now() < deadline && !stalled.MoreWithin(0) && answered) {
    answered = Exchange(&good, 0, k++ % 1000);
  }
  done = true;
  flooder.join();
  EXPECT_TRUE(answered) << "frame " << k - 1;
  EXPECT_GT(k, 1);
  EXPECT_EQ(stalled.ReadFrame(0), fuzz::ReferenceFrame(0, 5, {0x18, 0x02, 0x05}));

  stalled.Close();
  flood.Close();
  good.Close();
  ASSERT_EQ(sim.Wait(), 0) << sim.Errors();
  EXPECT_NE(sim.Errors().find("stray byte(s) skipped"), std::string::npos) << sim.Errors();
}

TEST(SimulatorTcp, SeventeenthSenderIsTurnedAwayAndOneThatDoesNotReadIsDropped) {
  Simulator sim({"--tcp", "0"});
  const std::string where = sim.Where();
  std::vector<UecpTcpSender> senders;
  for (int s = 0; s < 16; ++s) {
    senders.emplace_back(where);
    ASSERT_TRUE(Exchange(&senders.back(), s, 1)) << "sender " << s;
  }
  UecpTcpSender extra(where);
  EXPECT_TRUE(extra.ClosedWithin(3000));

  // Sender 1 goes on sending but reads no answer: it is dropped once its unread replies pass the
  // bound, which frees its place, and the others are served as before.
  std::vector<std::uint8_t> batch;
  for (int i = 0; i < 100; ++i) {
    const std::vector<std::uint8_t> frame = StationFrame(0, i);
    batch.insert(batch.end(), frame.begin(), frame.end());
  }
  int batches = 0;
  while (batches < 100000 && senders[0].Send(batch)) ++batches;
  EXPECT_LT(batches, 100000);
  UecpTcpSender late(where);
  EXPECT_TRUE(Exchange(&late, 16, 2));
  EXPECT_TRUE(Exchange(&senders[15], 15, 3));

  senders.clear();
  late.Close();
  ASSERT_EQ(sim.Wait(), 0) << sim.Errors();
  EXPECT_NE(sim.Errors().find("refused a connection from 127.0.0.1:"), std::string::npos)
      << sim.Errors();
  EXPECT_NE(sim.Errors().find("sender 1: dropped: it left more than 65536 bytes of replies unread"),
            std::string::npos)
      << sim.Errors();
}

}  // namespace
