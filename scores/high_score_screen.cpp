#include "scores/high_score_screen.hpp"

namespace scores {

HighScoreScreen::HighScoreScreen() = default;
HighScoreScreen::~HighScoreScreen() = default;
void HighScoreScreen::draw(gfx::Canvas&) {}
void HighScoreScreen::update() {}
void HighScoreScreen::scrollUp() {}
void HighScoreScreen::scrollDown() {}
void HighScoreScreen::stopScrolling() {}
void HighScoreScreen::requestUpload() {}
int HighScoreScreen::penReleased() { return 0; }
std::uint32_t HighScoreScreen::lowestScore() const { return 1; }
bool HighScoreScreen::insertScore(std::u16string_view, std::uint32_t) { return false; }

}  // namespace scores
