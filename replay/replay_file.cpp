#include "replay/replay_file.hpp"

#include <algorithm>
#include <array>

#include "replay/checksum.hpp"

namespace replay {
namespace {

constexpr std::array<std::uint8_t, 8> kMagic = {'Z', 'E', 'B', 'R', 'P', 'L', 'A', 'Y'};
constexpr std::size_t kChecksumBytes = 4;
constexpr std::size_t kStartBytes = 21;

// The low three bits of an event's token say what it is; the rest is its value.
enum Tag : std::uint8_t { FramesTag, UpdatesTag, DrawsTag, KeyTag, MiscTag, PenDownTag, PenMoveTag, PenUpTag };
constexpr int kTagBits = 3;
enum Misc : std::uint8_t { KeyUpMisc, ActivateMisc, DeactivateMisc, kMiscCount };
enum End : std::uint8_t { SavedEnd, FinishedEnd };

class Writer {
 public:
  void bytes(std::span<const std::uint8_t> b) { out_.insert(out_.end(), b.begin(), b.end()); }
  void u8(std::uint8_t v) { out_.push_back(v); }
  void u16(std::uint16_t v) {
    u8(static_cast<std::uint8_t>(v));
    u8(static_cast<std::uint8_t>(v >> 8));
  }
  void u32(std::uint32_t v) {
    for (int i = 0; i < 4; ++i) u8(static_cast<std::uint8_t>(v >> (8 * i)));
  }
  void i32(std::int32_t v) { u32(static_cast<std::uint32_t>(v)); }
  void varint(std::uint64_t v) {
    while (v >= 0x80) {
      u8(static_cast<std::uint8_t>(v | 0x80));
      v >>= 7;
    }
    u8(static_cast<std::uint8_t>(v));
  }
  std::vector<std::uint8_t>& result() { return out_; }

 private:
  std::vector<std::uint8_t> out_;
};

// Reads forward; the first failure sticks and every later read gives 0.
class Reader {
 public:
  explicit Reader(std::span<const std::uint8_t> bytes) : bytes_(bytes) {}
  bool ok() const { return ok_; }
  std::size_t left() const { return bytes_.size() - at_; }
  std::uint8_t u8() {
    if (!ok_ || at_ >= bytes_.size()) return fail();
    return bytes_[at_++];
  }
  std::uint16_t u16() {
    const std::uint16_t lo = u8();
    return static_cast<std::uint16_t>(lo | u8() << 8);
  }
  std::uint32_t u32() {
    std::uint32_t v = 0;
    for (int i = 0; i < 4; ++i) v |= static_cast<std::uint32_t>(u8()) << (8 * i);
    return v;
  }
  std::int32_t i32() { return static_cast<std::int32_t>(u32()); }
  // At most 64 bits; a longer or unterminated number fails.
  std::uint64_t varint() {
    std::uint64_t v = 0;
    for (int shift = 0; shift < 64; shift += 7) {
      const std::uint8_t b = u8();
      if (!ok_) return 0;
      v |= static_cast<std::uint64_t>(b & 0x7F) << shift;
      if ((b & 0x80) == 0) return v;
    }
    return fail();
  }
  std::string text(std::size_t n) {
    if (!ok_ || n > left()) return fail(), std::string();
    std::string s(reinterpret_cast<const char*>(bytes_.data() + at_), n);
    at_ += n;
    return s;
  }

 private:
  std::uint8_t fail() {
    ok_ = false;
    return 0;
  }
  std::span<const std::uint8_t> bytes_;
  std::size_t at_ = 0;
  bool ok_ = true;
};

void writeEvent(Writer& w, const Event& e) {
  const auto token = [&w](std::uint64_t value, Tag tag) { w.varint(value << kTagBits | tag); };
  const auto pen = [&e] { return std::uint64_t{e.y} * kPenWidth + e.x; };
  switch (e.kind) {
    case Event::Kind::Frames: token(e.count, FramesTag); break;
    case Event::Kind::Updates: token(e.count, UpdatesTag); break;
    case Event::Kind::Draws: token(e.count, DrawsTag); break;
    case Event::Kind::Key: token(e.count, KeyTag); break;
    case Event::Kind::KeyUp: token(KeyUpMisc, MiscTag); break;
    case Event::Kind::Activate: token(ActivateMisc, MiscTag); break;
    case Event::Kind::Deactivate: token(DeactivateMisc, MiscTag); break;
    case Event::Kind::PenDown: token(pen(), PenDownTag); break;
    case Event::Kind::PenMove: token(pen(), PenMoveTag); break;
    case Event::Kind::PenUp: token(pen(), PenUpTag); break;
  }
}

void writeHeader(Writer& w, const Replay& replay) {
  w.bytes(kMagic);
  w.u8(kFormatVersion);
  w.u32(replay.rulesVersion);
  const std::size_t nameBytes = replay.name.size() < 255 ? replay.name.size() : 255;
  w.u8(static_cast<std::uint8_t>(nameBytes));
  w.bytes({reinterpret_cast<const std::uint8_t*>(replay.name.data()), nameBytes});
  w.u32(replay.score);
}

// What decoding has counted so far, against the limits.
struct Budget {
  Totals used;
  std::string error;
  bool tooLarge = false;

  bool refuse(std::string why, bool limit = false) {
    error = std::move(why);
    tooLarge = limit;
    return false;
  }
};

bool readEvent(Reader& r, Budget& budget, Event& e) {
  const std::uint64_t token = r.varint();
  if (!r.ok()) return budget.refuse("the events end early");
  const auto tag = static_cast<Tag>(token & ((1u << kTagBits) - 1));
  const std::uint64_t value = token >> kTagBits;
  const auto run = [&](Event::Kind kind, bool update, bool draw) {
    if (value == 0 || value > kMaxUpdates + kMaxDraws) return budget.refuse("a run of passes is empty or too long");
    e.kind = kind;
    e.count = static_cast<std::uint32_t>(value);
    if (update) budget.used.updates += value;
    if (draw) budget.used.draws += value;
    if (budget.used.updates > kMaxUpdates) return budget.refuse("more updates than a replay may hold", true);
    if (budget.used.draws > kMaxDraws) return budget.refuse("more draws than a replay may hold", true);
    return true;
  };
  const auto input = [&](Event::Kind kind) {
    e.kind = kind;
    if (++budget.used.inputs > kMaxInputs) return budget.refuse("more inputs than a replay may hold", true);
    return true;
  };
  const auto pen = [&](Event::Kind kind) {
    if (value >= std::uint64_t{kPenWidth} * kPenHeight) return budget.refuse("a pen position off the screen");
    e.x = static_cast<std::uint16_t>(value % kPenWidth);
    e.y = static_cast<std::uint16_t>(value / kPenWidth);
    return input(kind);
  };
  switch (tag) {
    case FramesTag: return run(Event::Kind::Frames, true, true);
    case UpdatesTag: return run(Event::Kind::Updates, true, false);
    case DrawsTag: return run(Event::Kind::Draws, false, true);
    case KeyTag:
      if (value > 0xFF || !isGameKey(static_cast<std::uint32_t>(value))) return budget.refuse("a key the game does not take");
      e.count = static_cast<std::uint32_t>(value);
      return input(Event::Kind::Key);
    case MiscTag:
      switch (value) {
        case KeyUpMisc: return input(Event::Kind::KeyUp);
        case ActivateMisc: return input(Event::Kind::Activate);
        case DeactivateMisc: return input(Event::Kind::Deactivate);
        default: return budget.refuse("an unknown event");
      }
    case PenDownTag: return pen(Event::Kind::PenDown);
    case PenMoveTag: return pen(Event::Kind::PenMove);
    case PenUpTag: return pen(Event::Kind::PenUp);
  }
  return budget.refuse("an unknown event");
}

bool readSegment(Reader& r, Budget& budget, Segment& s) {
  s.start.randomState = r.u32();
  s.start.level = r.i32();
  s.start.lives = r.i32();
  s.start.score = r.u32();
  s.start.penX = r.u16();
  s.start.penY = r.u16();
  const std::uint8_t flags = r.u8();
  if (!r.ok()) return budget.refuse("a part of the game ends early");
  if (flags > 1 || s.start.penX >= kPenWidth || s.start.penY >= kPenHeight) return budget.refuse("a bad start");
  s.start.penDown = flags == 1;
  const std::uint64_t count = r.varint();
  // Every event takes a byte at least: a count beyond the bytes left is damage, found before
  // anything is allocated for it.
  if (!r.ok() || count > r.left()) return budget.refuse("more events than the file holds");
  s.events.resize(static_cast<std::size_t>(count));
  for (Event& e : s.events) {
    if (!readEvent(r, budget, e)) return false;
  }
  const std::uint8_t end = r.u8();
  if (end == FinishedEnd) {
    s.finished = true;
  } else if (end == SavedEnd) {
    s.saved.level = r.i32();
    s.saved.lives = r.i32();
    s.saved.score = r.u32();
  } else {
    return budget.refuse("a part of the game with an unknown end");
  }
  if (!r.ok()) return budget.refuse("a part of the game ends early");
  return true;
}

// The bytes between the magic and the checksum, once both are checked.
std::optional<std::span<const std::uint8_t>> body(std::span<const std::uint8_t> bytes, std::string& error, bool& tooLarge) {
  if (bytes.size() > kMaxFileBytes) {
    error = "larger than a replay may be (" + std::to_string(kMaxFileBytes) + " bytes)";
    tooLarge = true;
    return std::nullopt;
  }
  if (bytes.size() < kMagic.size() + 1 + kChecksumBytes || !std::equal(kMagic.begin(), kMagic.end(), bytes.begin())) {
    error = "not a replay file";
    return std::nullopt;
  }
  if (bytes[kMagic.size()] != kFormatVersion) {
    error = "a replay of another format version (" + std::to_string(bytes[kMagic.size()]) + ")";
    return std::nullopt;
  }
  const std::size_t end = bytes.size() - kChecksumBytes;
  std::uint32_t stored = 0;
  for (std::size_t i = 0; i < kChecksumBytes; ++i) stored |= static_cast<std::uint32_t>(bytes[end + i]) << (8 * i);
  if (crc32(bytes.first(end)) != stored) {
    error = "damaged (the checksum does not match)";
    return std::nullopt;
  }
  return bytes.subspan(kMagic.size() + 1, end - kMagic.size() - 1);
}

bool readHeader(Reader& r, Header& h) {
  h.rulesVersion = r.u32();
  const std::uint8_t nameBytes = r.u8();
  if (nameBytes > kMaxNameBytes) return false;
  h.name = r.text(nameBytes);
  h.score = r.u32();
  return r.ok();
}

}  // namespace

bool isGameKey(std::uint32_t key) {
  switch (key) {
    case 0x0D:  // Enter
    case 0x25:  // the arrows
    case 0x26:
    case 0x27:
    case 0x28:
    case 0xC1:  // the application keys: quit, mute or back, pause or confirm
    case 0xC3:
    case 0xC4:
      return true;
    default:
      return key >= '1' && key <= '8';
  }
}

std::vector<std::uint8_t> encode(const Replay& replay) {
  Writer w;
  writeHeader(w, replay);
  w.varint(replay.segments.size());
  for (const Segment& s : replay.segments) {
    w.u32(s.start.randomState);
    w.i32(s.start.level);
    w.i32(s.start.lives);
    w.u32(s.start.score);
    w.u16(s.start.penX);
    w.u16(s.start.penY);
    w.u8(s.start.penDown ? 1 : 0);
    w.varint(s.events.size());
    for (const Event& e : s.events) writeEvent(w, e);
    w.u8(s.finished ? FinishedEnd : SavedEnd);
    if (!s.finished) {
      w.i32(s.saved.level);
      w.i32(s.saved.lives);
      w.u32(s.saved.score);
    }
  }
  const std::uint32_t sum = crc32(w.result());
  w.u32(sum);
  return std::move(w.result());
}

Decoded decode(std::span<const std::uint8_t> bytes) {
  Decoded out;
  const auto inside = body(bytes, out.error, out.tooLarge);
  if (!inside) return out;
  Reader r(*inside);
  Header header;
  if (!readHeader(r, header)) {
    out.error = "a bad header";
    return out;
  }
  Replay replay;
  replay.rulesVersion = header.rulesVersion;
  replay.name = std::move(header.name);
  replay.score = header.score;
  const std::uint64_t segments = r.varint();
  if (!r.ok() || segments == 0) {
    out.error = "a replay without a game";
    return out;
  }
  if (segments > kMaxSegments) {
    out.error = "more parts than a replay may hold";
    out.tooLarge = true;
    return out;
  }
  if (segments * kStartBytes > r.left()) {
    out.error = "more parts than the file holds";
    return out;
  }
  replay.segments.resize(static_cast<std::size_t>(segments));
  Budget budget;
  for (Segment& s : replay.segments) {
    if (!readSegment(r, budget, s)) {
      out.error = budget.error;
      out.tooLarge = budget.tooLarge;
      return out;
    }
  }
  if (r.left() != 0) {
    out.error = "bytes after the game";
    return out;
  }
  out.replay = std::move(replay);
  return out;
}

std::optional<Header> peekHeader(std::span<const std::uint8_t> bytes, std::string* error) {
  std::string why;
  bool tooLarge = false;
  const auto inside = body(bytes, why, tooLarge);
  Header header;
  if (inside) {
    Reader r(*inside);
    if (readHeader(r, header)) return header;
    why = "a bad header";
  }
  if (error != nullptr) *error = why;
  return std::nullopt;
}

Totals totals(const Replay& replay) {
  Totals t;
  for (const Segment& s : replay.segments) {
    for (const Event& e : s.events) {
      switch (e.kind) {
        case Event::Kind::Frames:
          t.updates += e.count;
          t.draws += e.count;
          break;
        case Event::Kind::Updates: t.updates += e.count; break;
        case Event::Kind::Draws: t.draws += e.count; break;
        default: ++t.inputs; break;
      }
    }
  }
  return t;
}

}  // namespace replay
