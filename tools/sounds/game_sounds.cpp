#include "tools/sounds/game_sounds.hpp"

#include <algorithm>
#include <array>
#include <string_view>

#include "tools/sounds/synth.hpp"

namespace tools {
namespace {

struct Instrument {
  std::vector<double> harmonics;
  Envelope envelope;
  double gain = 1.0;
  // Vibrato as a fraction of the frequency, its rate in Hz and the delay before it sets in (s).
  double vibratoDepth = 0.0;
  double vibratoRate = 5.5;
  double vibratoDelay = 0.0;
};

// A narrow pulse, softened: bright enough to carry the tune without the harshness of a bare
// square.
Instrument leadInstrument() {
  Instrument lead;
  double rolloff = 1.0;
  for (int k = 1; k <= 10; ++k) {
    rolloff *= 0.78;
    lead.harmonics.push_back(sineTurns(k / 8.0) / k * rolloff);
  }
  lead.envelope = {0.006, 0.35, 0.55, 0.06, 0.3};
  lead.gain = 0.32;
  lead.vibratoDepth = 0.0045;
  lead.vibratoDelay = 0.16;
  return lead;
}

// Triangle-like, with some second harmonic so that it still speaks on small speakers.
Instrument bassInstrument() {
  Instrument bass;
  bass.harmonics = {1.0, 0.35, 0.11, 0.08, 0.04, 0.02};
  bass.envelope = {0.004, 0.22, 0.45, 0.03, 0.12};
  bass.gain = 0.34;
  return bass;
}

// A plucked soft square for the broken chords.
Instrument arpeggioInstrument() {
  Instrument arp;
  arp.harmonics = {1.0, 0.0, 0.28, 0.0, 0.12, 0.0, 0.05};
  arp.envelope = {0.003, 0.07, 0.0, 0.03, 0.1};
  arp.gain = 0.11;
  return arp;
}

// Adds one note to the buffer. Samples past the buffer's end are dropped; the caller leaves room.
void addNote(std::vector<double>& buffer, int start, int heldSamples, int midiNote, double velocity,
             const Instrument& instrument) {
  const std::vector<double> envelope = renderEnvelope(instrument.envelope, heldSamples);
  HarmonicOscillator oscillator(instrument.harmonics);
  const double frequency = noteFrequency(midiNote);
  const int vibratoStart = static_cast<int>(instrument.vibratoDelay * kSampleRate);
  for (std::size_t i = 0; i < envelope.size(); ++i) {
    const std::size_t at = static_cast<std::size_t>(start) + i;
    if (at >= buffer.size()) break;
    double f = frequency;
    if (instrument.vibratoDepth > 0.0 && static_cast<int>(i) > vibratoStart) {
      const double t = static_cast<double>(static_cast<int>(i) - vibratoStart) / kSampleRate;
      const double fadeIn = std::min(1.0, t / 0.2);
      f *= 1.0 + instrument.vibratoDepth * fadeIn * sineTurns(instrument.vibratoRate * t);
    }
    buffer[at] += instrument.gain * velocity * envelope[i] * oscillator.next(f);
  }
}

// "C5", "F#4", "Bb3" to a MIDI note number.
int parseNote(std::string_view name) {
  static constexpr std::array<int, 7> kOffsets = {9, 11, 0, 2, 4, 5, 7};  // A B C D E F G
  int note = kOffsets[static_cast<std::size_t>(name[0] - 'A')];
  std::size_t at = 1;
  if (name[at] == '#') {
    ++note;
    ++at;
  } else if (name[at] == 'b') {
    --note;
    ++at;
  }
  return note + 12 * (name[at] - '0' + 1);
}

// The tune, one bar a line: notes as "NAME:SIXTEENTHS", rests as "-:SIXTEENTHS".
constexpr std::array<std::string_view, kMusicBars> kMelody = {{
    "G4:2 C5:2 E5:2 G5:4 E5:2 G5:2 A5:2",
    "A5:4 G5:2 E5:2 C5:4 E5:2 D5:2",
    "C5:2 F5:2 A5:2 C6:4 A5:2 G5:2 F5:2",
    "G5:6 D5:2 G5:2 B5:2 D6:4",
    "E6:4 D6:2 C6:2 G5:4 E5:2 G5:2",
    "A5:2 C6:2 A5:2 E5:2 A5:4 G5:4",
    "F5:2 A5:2 D6:2 C6:2 A5:2 F5:2 D5:2 F5:2",
    "G5:4 F5:2 D5:2 B4:4 -:4",
    "A5:3 G5:1 F5:2 A5:2 C6:4 A5:4",
    "B5:3 A5:1 G5:2 B5:2 D6:4 B5:4",
    "G5:2 E5:2 B4:2 E5:2 G5:2 B5:2 G5:2 E5:2",
    "A5:6 C6:2 B5:2 A5:2 E5:4",
    "F5:2 A5:2 C6:2 F6:2 E6:2 C6:2 A5:4",
    "B5:2 D6:2 G6:4 F6:2 D6:2 B5:4",
    "C6:4 G5:2 E5:2 C6:4 E6:4",
    "D6:4 B5:2 G5:2 F5:2 D5:2 B4:4",
}};

struct Chord {
  int root;  // MIDI note of the root in the arpeggio's octave
  bool minor;
};

// C Am F G C Am Dm G, then F G Em Am F G C G, which leads back to the C of the first bar.
constexpr std::array<Chord, kMusicBars> kChords = {{
    {60, false}, {57, true}, {53, false}, {55, false}, {60, false}, {57, true}, {62, true}, {55, false},
    {53, false}, {55, false}, {64, true}, {57, true}, {53, false}, {55, false}, {60, false}, {55, false},
}};

void addMelody(std::vector<double>& lead, int offset) {
  const Instrument instrument = leadInstrument();
  for (int bar = 0; bar < kMusicBars; ++bar) {
    std::string_view line = kMelody[static_cast<std::size_t>(bar)];
    int step = bar * kMusicStepsPerBar;
    while (!line.empty()) {
      const std::size_t space = line.find(' ');
      const std::string_view token = line.substr(0, space);
      line = space == std::string_view::npos ? std::string_view() : line.substr(space + 1);
      const std::size_t colon = token.find(':');
      const int steps = token[colon + 1] - '0';
      if (token[0] != '-') {
        const int held = steps * kMusicStepSamples - kMusicStepSamples / 4;
        addNote(lead, offset + step * kMusicStepSamples, held, parseNote(token.substr(0, colon)), 1.0, instrument);
      }
      step += steps;
    }
  }
}

void addAccompaniment(std::vector<double>& mix, int offset) {
  const Instrument bass = bassInstrument();
  const Instrument arp = arpeggioInstrument();
  // Broken chord over the bar: root, third, fifth, octave and back.
  constexpr std::array<int, 8> kArpeggio = {0, 1, 2, 3, 2, 1, 2, 1};
  // Eighth notes of the bass, in semitones above the root two octaves down.
  constexpr std::array<int, 8> kBassLine = {0, 12, 0, 12, 7, 12, 0, 7};
  for (int bar = 0; bar < kMusicBars; ++bar) {
    const Chord chord = kChords[static_cast<std::size_t>(bar)];
    const std::array<int, 4> tones = {chord.root, chord.root + (chord.minor ? 3 : 4), chord.root + 7, chord.root + 12};
    const int barStart = offset + bar * kMusicStepsPerBar * kMusicStepSamples;
    for (int step = 0; step < kMusicStepsPerBar; ++step) {
      const double accent = step % 4 == 0 ? 1.0 : 0.7;
      addNote(mix, barStart + step * kMusicStepSamples, kMusicStepSamples / 2,
              tones[static_cast<std::size_t>(kArpeggio[static_cast<std::size_t>(step % 8)])], accent, arp);
    }
    int bassRoot = chord.root - 24;
    if (bassRoot > 40) bassRoot -= 12;
    if (bassRoot < 36) bassRoot += 12;
    for (int eighth = 0; eighth < 8; ++eighth) {
      addNote(mix, barStart + eighth * 2 * kMusicStepSamples, 2 * kMusicStepSamples - kMusicStepSamples / 3,
              bassRoot + kBassLine[static_cast<std::size_t>(eighth)], eighth % 2 == 0 ? 1.0 : 0.8, bass);
    }
  }
}

void addKick(std::vector<double>& mix, int start, double level) {
  const int length = kSampleRate * 35 / 100;
  double phase = 0.0;
  for (int i = 0; i < length && static_cast<std::size_t>(start + i) < mix.size(); ++i) {
    const double t = static_cast<double>(i) / kSampleRate;
    phase += (45.0 + 110.0 * exponential(-t / 0.03)) / kSampleRate;
    const double attack = std::min(1.0, i / (0.001 * kSampleRate));
    const double fade = 1.0 - static_cast<double>(i) / length;
    mix[static_cast<std::size_t>(start + i)] += level * attack * fade * exponential(-t / 0.16) * sineTurns(phase);
  }
}

void addSnare(std::vector<double>& mix, int start, double level) {
  Noise noise(0x5EED0000u ^ static_cast<std::uint32_t>(start % kMusicSamples));
  const int length = kSampleRate / 4;
  double previous = 0.0;
  for (int i = 0; i < length && static_cast<std::size_t>(start + i) < mix.size(); ++i) {
    const double t = static_cast<double>(i) / kSampleRate;
    const double white = noise.next();
    const double bright = white - 0.6 * previous;
    previous = white;
    const double body = 0.5 * sineTurns(190.0 * t) * exponential(-t / 0.04);
    const double attack = std::min(1.0, i / (0.001 * kSampleRate));
    const double fade = 1.0 - static_cast<double>(i) / length;
    mix[static_cast<std::size_t>(start + i)] += level * attack * fade * (0.55 * bright * exponential(-t / 0.06) + body);
  }
}

void addHat(std::vector<double>& mix, int start, double level) {
  Noise noise(0x4A700000u ^ static_cast<std::uint32_t>(start % kMusicSamples));
  const int length = kSampleRate * 6 / 100;
  double previous = 0.0;
  for (int i = 0; i < length && static_cast<std::size_t>(start + i) < mix.size(); ++i) {
    const double t = static_cast<double>(i) / kSampleRate;
    const double white = noise.next();
    const double hiss = white - previous;
    previous = white;
    const double fade = 1.0 - static_cast<double>(i) / length;
    mix[static_cast<std::size_t>(start + i)] += level * fade * exponential(-t / 0.014) * hiss;
  }
}

void addDrums(std::vector<double>& mix, int offset) {
  for (int bar = 0; bar < kMusicBars; ++bar) {
    const int barStart = offset + bar * kMusicStepsPerBar * kMusicStepSamples;
    const auto at = [&](int step) { return barStart + step * kMusicStepSamples; };
    const bool fill = bar % 8 == 7;
    addKick(mix, at(0), 0.42);
    addKick(mix, at(8), 0.42);
    if (bar % 2 == 1 && !fill) addKick(mix, at(10), 0.3);
    addSnare(mix, at(4), 0.2);
    if (fill) {
      addSnare(mix, at(12), 0.2);
      addSnare(mix, at(13), 0.11);
      addSnare(mix, at(14), 0.15);
      addSnare(mix, at(15), 0.19);
    } else {
      addSnare(mix, at(12), 0.2);
    }
    for (int step = 0; step < kMusicStepsPerBar; step += 2) {
      addHat(mix, at(step), step % 4 == 2 ? 0.09 : 0.05);
    }
  }
}

constexpr int kEchoDelay = 3 * kMusicStepSamples;
constexpr std::array<double, 2> kEchoTaps = {0.26, 0.1};
// Long enough for the longest release and drum to ring out.
constexpr int kTailSamples = kSampleRate;

// Fades the first and last few samples of an effect so that it starts and stops on silence.
void fadeEdges(std::vector<double>& signal, double inSeconds, double outSeconds) {
  const auto fadeIn = static_cast<std::size_t>(inSeconds * kSampleRate);
  const auto fadeOut = static_cast<std::size_t>(outSeconds * kSampleRate);
  for (std::size_t i = 0; i < fadeIn && i < signal.size(); ++i) signal[i] *= static_cast<double>(i) / fadeIn;
  for (std::size_t i = 0; i < fadeOut && i < signal.size(); ++i) {
    signal[signal.size() - 1 - i] *= static_cast<double>(i) / fadeOut;
  }
}

}  // namespace

std::vector<double> renderMusicPasses(int passes) {
  const std::size_t length = static_cast<std::size_t>(passes) * kMusicSamples + kTailSamples;
  std::vector<double> mix(length, 0.0);
  std::vector<double> lead(length, 0.0);
  for (int pass = 0; pass < passes; ++pass) {
    addAccompaniment(mix, pass * kMusicSamples);
    addDrums(mix, pass * kMusicSamples);
    addMelody(lead, pass * kMusicSamples);
  }
  // A dotted-eighth echo on the lead.
  for (std::size_t i = 0; i < length; ++i) {
    mix[i] += lead[i];
    for (std::size_t tap = 0; tap < kEchoTaps.size(); ++tap) {
      const std::size_t back = static_cast<std::size_t>(kEchoDelay) * (tap + 1);
      if (i >= back) mix[i] += kEchoTaps[tap] * lead[i - back];
    }
  }
  return mix;
}

std::vector<double> renderMusicLoop() {
  std::vector<double> mix(kMusicSamples + kTailSamples, 0.0);
  std::vector<double> lead(kMusicSamples + kTailSamples, 0.0);
  addAccompaniment(mix, 0);
  addDrums(mix, 0);
  addMelody(lead, 0);
  // What rings past the end of the last bar is folded back onto the start, where the repeat
  // would be playing it; the echo is taken round the loop for the same reason.
  for (std::size_t i = kMusicSamples; i < mix.size(); ++i) {
    mix[i - kMusicSamples] += mix[i];
    lead[i - kMusicSamples] += lead[i];
  }
  mix.resize(kMusicSamples);
  lead.resize(kMusicSamples);
  for (std::size_t i = 0; i < mix.size(); ++i) {
    mix[i] += lead[i];
    for (std::size_t tap = 0; tap < kEchoTaps.size(); ++tap) {
      const std::size_t back = static_cast<std::size_t>(kEchoDelay) * (tap + 1);
      mix[i] += kEchoTaps[tap] * lead[(i + kMusicSamples - back) % kMusicSamples];
    }
  }
  return mix;
}

std::vector<std::int16_t> makeMusic() { return toPcm16(renderMusicLoop(), decibelsToFraction(kMusicPeakDb)); }

std::vector<std::int16_t> makeHitSound() {
  const int length = kSampleRate * 45 / 1000;
  std::vector<double> signal(static_cast<std::size_t>(length));
  Noise noise(0x41u);
  for (int i = 0; i < length; ++i) {
    const double t = static_cast<double>(i) / kSampleRate;
    const double ring = sineTurns(2093.0 * t) * exponential(-t / 0.009) + 0.35 * sineTurns(3136.0 * t) * exponential(-t / 0.005);
    const double click = 0.2 * noise.next() * exponential(-t / 0.0015);
    signal[static_cast<std::size_t>(i)] = ring + click;
  }
  fadeEdges(signal, 0.0005, 0.01);
  return toPcm16(signal, decibelsToFraction(kHitPeakDb));
}

std::vector<std::int16_t> makeBlastSound() {
  const int length = kSampleRate * 55 / 100;
  std::vector<double> signal(static_cast<std::size_t>(length));
  Noise noise(0xB1A57u);
  double phase = 0.0;
  double rumble = 0.0;
  double crackle = 0.0;
  for (int i = 0; i < length; ++i) {
    const double t = static_cast<double>(i) / kSampleRate;
    phase += (36.0 + 85.0 * exponential(-t / 0.07)) / kSampleRate;
    const double thump = sineTurns(phase) * exponential(-t / 0.16);
    // A low-pass whose corner falls as the blast dies away: a bright burst that turns to rumble.
    const double smoothing = 0.04 + 0.5 * exponential(-t / 0.05);
    rumble += smoothing * (noise.next() - rumble);
    const double burst = rumble * (0.55 * exponential(-t / 0.09) + 0.3 * exponential(-t / 0.3));
    if (t < 0.3 && noise.unit() < 0.004) crackle += 0.5 * noise.next();
    crackle *= 0.9;
    signal[static_cast<std::size_t>(i)] = 0.9 * thump + 1.6 * burst + crackle * exponential(-t / 0.12);
  }
  fadeEdges(signal, 0.001, 0.06);
  return toPcm16(signal, decibelsToFraction(kEffectPeakDb));
}

std::vector<std::int16_t> makeMenuSelectSound() {
  const int noteLength = kSampleRate * 50 / 1000;
  const int length = kSampleRate * 150 / 1000;
  std::vector<double> signal(static_cast<std::size_t>(length), 0.0);
  Instrument blip;
  blip.harmonics = {1.0, 0.3, 0.1};
  blip.envelope = {0.002, 0.05, 0.3, 0.025, 0.08};
  addNote(signal, 0, noteLength, 81, 0.8, blip);           // A5
  addNote(signal, noteLength, noteLength, 88, 1.0, blip);  // E6
  fadeEdges(signal, 0.001, 0.01);
  return toPcm16(signal, decibelsToFraction(kEffectPeakDb));
}

}  // namespace tools
