// The replay file on its own: what encodes decodes to the same replay, and damaged, cut,
// oversized or overreaching files are refused before any work is spent on them.
#include "replay/replay_file.hpp"

#include <gtest/gtest.h>

#include "replay/checksum.hpp"

namespace {

using replay::Event;
using Kind = replay::Event::Kind;

replay::Replay sample() {
  replay::Replay r;
  r.rulesVersion = 7;
  r.name = "Zo\xC3\xAB";
  r.score = 4380;
  replay::Segment first;
  first.start = {0xDEADBEEF, 1, 3, 0, 120, 300, true};
  first.events = {{Kind::Frames, 60}, {Kind::Key, 0x0D},       {Kind::KeyUp},          {Kind::Updates, 3},
                  {Kind::Draws, 2},   {Kind::PenDown, 0, 0, 0}, {Kind::PenMove, 0, 239, 319}, {Kind::PenUp, 0, 17, 5},
                  {Kind::Deactivate}, {Kind::Activate},        {Kind::Key, '8'},       {Kind::Key, 0xC4}};
  first.saved = {2, -5, 1234};
  replay::Segment second;
  second.start = {1, 2, -5, 1234, 0, 0, false};
  second.events = {{Kind::Frames, 1000000}};
  second.finished = true;
  r.segments = {first, second};
  return r;
}

// A file made by hand from its parts, with a correct checksum: for counts no encoder writes.
std::vector<std::uint8_t> withChecksum(std::vector<std::uint8_t> bytes) {
  const std::uint32_t sum = replay::crc32(bytes);
  for (int i = 0; i < 4; ++i) bytes.push_back(static_cast<std::uint8_t>(sum >> (8 * i)));
  return bytes;
}

std::vector<std::uint8_t> header(std::uint8_t segments) {
  std::vector<std::uint8_t> b = {'Z', 'E', 'B', 'R', 'P', 'L', 'A', 'Y', 1, 1, 0, 0, 0, 1, 'A', 10, 0, 0, 0, segments};
  return b;
}

void appendStart(std::vector<std::uint8_t>& b) {
  const std::uint8_t start[21] = {1, 0, 0, 0, 1, 0, 0, 0, 3, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0};
  b.insert(b.end(), std::begin(start), std::end(start));
}

void appendVarint(std::vector<std::uint8_t>& b, std::uint64_t v) {
  while (v >= 0x80) {
    b.push_back(static_cast<std::uint8_t>(v | 0x80));
    v >>= 7;
  }
  b.push_back(static_cast<std::uint8_t>(v));
}

TEST(ReplayFileTest, WhatIsEncodedDecodesToTheSameReplay) {
  const replay::Replay r = sample();
  const std::vector<std::uint8_t> bytes = replay::encode(r);
  const replay::Decoded decoded = replay::decode(bytes);
  ASSERT_TRUE(decoded.replay) << decoded.error;
  EXPECT_EQ(*decoded.replay, r);
  const auto header = replay::peekHeader(bytes);
  ASSERT_TRUE(header);
  EXPECT_EQ(header->name, r.name);
  EXPECT_EQ(header->score, 4380u);
  EXPECT_EQ(header->rulesVersion, 7u);
  const replay::Totals t = replay::totals(r);
  EXPECT_EQ(t.updates, 1000063u);
  EXPECT_EQ(t.draws, 1000062u);
  EXPECT_EQ(t.inputs, 9u);
  // A million passes cost a few bytes: runs are counted.
  EXPECT_LT(bytes.size(), 150u);
}

TEST(ReplayFileTest, EveryFlippedBitAndEveryCutIsRefused) {
  const std::vector<std::uint8_t> bytes = replay::encode(sample());
  for (std::size_t i = 0; i < bytes.size(); ++i) {
    std::vector<std::uint8_t> damaged = bytes;
    damaged[i] ^= 0x10;
    EXPECT_FALSE(replay::decode(damaged).replay) << "byte " << i;
    EXPECT_FALSE(replay::decode(std::span(bytes).first(i)).replay) << "cut at " << i;
  }
}

TEST(ReplayFileTest, FilesBeyondTheLimitsAreRefusedAsTooLarge) {
  std::vector<std::uint8_t> big = replay::encode(sample());
  big.resize(replay::kMaxFileBytes + 1);
  const replay::Decoded tooBig = replay::decode(big);
  EXPECT_FALSE(tooBig.replay);
  EXPECT_TRUE(tooBig.tooLarge);

  // Runs that add up past the limit of updates, in a file of a few dozen bytes.
  std::vector<std::uint8_t> b = header(1);
  appendStart(b);
  appendVarint(b, 3);
  for (int i = 0; i < 3; ++i) appendVarint(b, std::uint64_t{replay::kMaxUpdates} << 3);
  b.push_back(1);
  const replay::Decoded tooLong = replay::decode(withChecksum(b));
  EXPECT_FALSE(tooLong.replay);
  EXPECT_TRUE(tooLong.tooLarge) << tooLong.error;

  std::vector<std::uint8_t> parts = header(65);
  const replay::Decoded tooManyParts = replay::decode(withChecksum(parts));
  EXPECT_TRUE(tooManyParts.tooLarge);
}

TEST(ReplayFileTest, CountsAndValuesTheFileCannotHoldAreRefused) {
  struct Case {
    const char* what;
    std::vector<std::uint8_t> events;  // after the start: the count, the events, the end
  };
  const auto v = [](std::uint64_t value) {
    std::vector<std::uint8_t> b;
    appendVarint(b, value);
    return b;
  };
  const auto cat = [](std::initializer_list<std::vector<std::uint8_t>> parts) {
    std::vector<std::uint8_t> b;
    for (const auto& p : parts) b.insert(b.end(), p.begin(), p.end());
    return b;
  };
  const Case cases[] = {
      {"a billion events in a few bytes", cat({v(1'000'000'000), v(8), {1}})},
      {"an empty run", cat({v(1), v(0 << 3 | 0), {1}})},
      {"a key the game does not take", cat({v(1), v(0x41 << 3 | 3), {1}})},
      {"a pen off the screen", cat({v(1), v(76800 << 3 | 6), {1}})},
      {"an unknown event", cat({v(1), v(3 << 3 | 4), {1}})},
      {"an unknown end", cat({v(0), {2}})},
      {"a saved end without its game", cat({v(0), {0, 1, 0}})},
      {"a number that never ends", cat({v(1), std::vector<std::uint8_t>(11, 0xFF), {1}})},
  };
  for (const Case& c : cases) {
    std::vector<std::uint8_t> b = header(1);
    appendStart(b);
    b.insert(b.end(), c.events.begin(), c.events.end());
    EXPECT_FALSE(replay::decode(withChecksum(b)).replay) << c.what;
  }
  std::vector<std::uint8_t> fine = header(1);
  appendStart(fine);
  const std::vector<std::uint8_t> ok = cat({v(1), v(5 << 3 | 0), {1}});
  fine.insert(fine.end(), ok.begin(), ok.end());
  EXPECT_TRUE(replay::decode(withChecksum(fine)).replay);
  fine.push_back(0);
  EXPECT_FALSE(replay::decode(withChecksum(fine)).replay) << "a byte after the game";
}

TEST(ReplayFileTest, AnotherFormatVersionAndOtherFilesAreNamedAsSuch) {
  std::vector<std::uint8_t> bytes = replay::encode(sample());
  bytes[8] = 2;
  EXPECT_EQ(replay::decode(bytes).error, "a replay of another format version (2)");
  EXPECT_EQ(replay::decode(std::vector<std::uint8_t>{'P', 'K', 3, 4}).error, "not a replay file");
  std::string why;
  EXPECT_FALSE(replay::peekHeader(std::vector<std::uint8_t>{}, &why));
  EXPECT_EQ(why, "not a replay file");
}

TEST(ReplayFileTest, TheChecksumIsTheUsualCrc32) {
  const std::string text = "123456789";
  EXPECT_EQ(replay::crc32({reinterpret_cast<const std::uint8_t*>(text.data()), text.size()}), 0xCBF43926u);
}

}  // namespace
