#include "scores/name_entry_screen.hpp"

namespace scores {

NameEntryScreen::NameEntryScreen() = default;
NameEntryScreen::~NameEntryScreen() = default;
void NameEntryScreen::draw(gfx::Canvas&) {}
void NameEntryScreen::cursorLeft() {}
void NameEntryScreen::cursorRight() {}
void NameEntryScreen::cursorUp() {}
void NameEntryScreen::cursorDown() {}
void NameEntryScreen::pickCell() {}
void NameEntryScreen::penAt() {}
int NameEntryScreen::classifyRelease() const { return 2; }
std::u16string NameEntryScreen::nameText() const { return {}; }
void NameEntryScreen::typeCharacter(char16_t) {}
void NameEntryScreen::typeDelete() {}

}  // namespace scores
