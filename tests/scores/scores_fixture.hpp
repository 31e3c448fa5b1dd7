// Shared set-up of the score tests: fresh process state, scratch save and data folders, no
// text rasteriser (text pictures then hold only background, at the size rule's size).
#pragma once

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/files.hpp"
#include "platform/text_rasteriser.hpp"
#include "scores/score_upload.hpp"
#include "shell/process_state.hpp"
#include "tests/support/scratch_folder.hpp"
#include "tests/support/test_files.hpp"

namespace scores_test {

class ScoresTest : public ::testing::Test {
 protected:
  void SetUp() override {
    shell::resetProcessState();
    platform::setSaveFolder(saveFolder.path());
    platform::setDataFolder(dataFolder.path());
    platform::setTextRasteriser(nullptr);
    scores::setUploadTimeouts({1000, 3000});
  }
  void TearDown() override {
    platform::setTextRasteriser(nullptr);
    scores::setUploadTimeouts({scores::kConnectMs, scores::kExchangeMs});
    scores::setScoreServer("");
  }

  std::string scoreFile() const { return saveFolder.file("ScoreList.sav"); }

  testing_support::ScratchFolder saveFolder;
  testing_support::ScratchFolder dataFolder;
};

inline void setPen(int x, int y) {
  shell::process().penX = toFixed(x);
  shell::process().penY = toFixed(y);
}

// One file record built by hand: pending flag, unused byte, 9 UTF-16LE units, score, zeros.
inline void appendRecord(std::vector<std::uint8_t>& bytes, std::uint8_t pending, const std::u16string& name,
                         std::uint32_t score, std::uint8_t unused = 0, std::uint8_t pictureByte = 0) {
  bytes.insert(bytes.end(), {pending, unused});
  for (std::size_t i = 0; i < 9; ++i) {
    const char16_t unit = i < name.size() ? name[i] : u'\0';
    bytes.insert(bytes.end(), {static_cast<std::uint8_t>(unit & 0xFF), static_cast<std::uint8_t>(unit >> 8)});
  }
  for (int i = 0; i < 4; ++i) bytes.push_back(static_cast<std::uint8_t>(score >> (8 * i)));
  bytes.insert(bytes.end(), 8, pictureByte);
}

}  // namespace scores_test
