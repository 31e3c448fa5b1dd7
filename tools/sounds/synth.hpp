// Building blocks of the sound tools: oscillators, envelopes and noise, in plain double
// arithmetic without the maths library, so every machine renders the same samples.
#pragma once

#include <cstdint>
#include <utility>
#include <vector>

namespace tools {

inline constexpr int kSampleRate = 22050;

// sin(2 pi x) for x in turns.
double sineTurns(double turns);
// e^x.
double exponential(double x);
// Equal temperament from A4 = 440 Hz; MIDI numbering (60 is C4).
double noteFrequency(int midiNote);

// A fixed-seed xorshift generator: the same noise on every run.
class Noise {
 public:
  explicit Noise(std::uint32_t seed) : state_(seed != 0 ? seed : 1) {}
  // Uniform in [-1, 1).
  double next();
  // Uniform in [0, 1).
  double unit();

 private:
  std::uint32_t state_;
};

// An oscillator whose timbre is a list of harmonic amplitudes (index 0 is the fundamental).
// Partials that would lie above 9 kHz are left out, so nothing folds back below the 11 kHz
// limit of 22,050 samples a second.
class HarmonicOscillator {
 public:
  explicit HarmonicOscillator(std::vector<double> harmonics) : harmonics_(std::move(harmonics)) {}
  // Advances by one sample at the given frequency (Hz) and returns the new value.
  double next(double frequency);

 private:
  std::vector<double> harmonics_;
  double phase_ = 0.0;
};

// Note envelope, all times in seconds: a linear attack, an exponential fall towards the
// sustain level while the note is held, then an exponential release that is also faded
// linearly to exactly 0 over releaseLength.
struct Envelope {
  double attack = 0.005;
  double decay = 0.2;
  double sustain = 0.5;
  double release = 0.05;
  double releaseLength = 0.25;
};

// The envelope's samples for a note held for heldSamples; the result also covers the release.
std::vector<double> renderEnvelope(const Envelope& envelope, int heldSamples);

// Converts to 16-bit samples, scaled so that the loudest sample sits at peak (a fraction of
// full scale, below 1: nothing clips).
std::vector<std::int16_t> toPcm16(const std::vector<double>& signal, double peak);

// Decibels relative to full scale as a fraction of full scale.
double decibelsToFraction(double decibels);

}  // namespace tools
