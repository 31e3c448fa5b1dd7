#include "tools/sounds/synth.hpp"

#include <algorithm>
#include <cmath>

namespace tools {
namespace {

constexpr double kPi = 3.14159265358979323846;
constexpr double kHighestPartial = 9000.0;

// 2^(k/12) for k = 0 .. 11.
constexpr double kSemitoneRatios[12] = {
    1.0,
    1.0594630943592953,
    1.122462048309373,
    1.189207115002721,
    1.2599210498948732,
    1.3348398541700344,
    1.4142135623730951,
    1.4983070768766815,
    1.5874010519681994,
    1.681792830507429,
    1.7817974362806785,
    1.887748625363387,
};

}  // namespace

double sineTurns(double turns) {
  // Fold onto [-1/4, 1/4] turn, where the series converges fast.
  double y = turns - std::floor(turns) - 0.5;
  if (y > 0.25) y = 0.5 - y;
  if (y < -0.25) y = -0.5 - y;
  const double a = 2.0 * kPi * y;
  const double a2 = a * a;
  double term = a;
  double sum = a;
  for (int n = 1; n <= 7; ++n) {
    term *= -a2 / static_cast<double>((2 * n) * (2 * n + 1));
    sum += term;
  }
  return -sum;
}

double exponential(double x) {
  // e^x = (e^(x / 2^k))^(2^k), with x / 2^k small enough for a short series.
  int halvings = 0;
  while (x > 0.01 || x < -0.01) {
    x *= 0.5;
    ++halvings;
  }
  double term = 1.0;
  double sum = 1.0;
  for (int n = 1; n <= 6; ++n) {
    term *= x / n;
    sum += term;
  }
  for (int i = 0; i < halvings; ++i) sum *= sum;
  return sum;
}

double noteFrequency(int midiNote) {
  const int fromA4 = midiNote - 69;
  int octave = fromA4 >= 0 ? fromA4 / 12 : -((-fromA4 + 11) / 12);
  const int semitone = fromA4 - octave * 12;
  double frequency = 440.0 * kSemitoneRatios[semitone];
  for (; octave > 0; --octave) frequency *= 2.0;
  for (; octave < 0; ++octave) frequency *= 0.5;
  return frequency;
}

double Noise::next() { return unit() * 2.0 - 1.0; }

double Noise::unit() {
  state_ ^= state_ << 13;
  state_ ^= state_ >> 17;
  state_ ^= state_ << 5;
  return static_cast<double>(state_ >> 8) / 16777216.0;
}

double HarmonicOscillator::next(double frequency) {
  phase_ += frequency / kSampleRate;
  phase_ -= std::floor(phase_);
  double value = 0.0;
  for (std::size_t k = 0; k < harmonics_.size(); ++k) {
    const double multiple = static_cast<double>(k + 1);
    if (multiple * frequency > kHighestPartial) break;
    if (harmonics_[k] != 0.0) value += harmonics_[k] * sineTurns(multiple * phase_);
  }
  return value;
}

std::vector<double> renderEnvelope(const Envelope& envelope, int heldSamples) {
  const int attackSamples = std::max(1, static_cast<int>(envelope.attack * kSampleRate));
  const int releaseSamples = std::max(1, static_cast<int>(envelope.releaseLength * kSampleRate));
  const double decayStep = exponential(-1.0 / (envelope.decay * kSampleRate));
  const double releaseStep = exponential(-1.0 / (envelope.release * kSampleRate));
  std::vector<double> levels(static_cast<std::size_t>(heldSamples + releaseSamples));
  double fall = 1.0;
  double level = 0.0;
  for (int i = 0; i < heldSamples; ++i) {
    if (i < attackSamples) {
      level = static_cast<double>(i + 1) / attackSamples;
    } else {
      fall *= decayStep;
      level = envelope.sustain + (1.0 - envelope.sustain) * fall;
    }
    levels[static_cast<std::size_t>(i)] = level;
  }
  double tail = level;
  for (int j = 0; j < releaseSamples; ++j) {
    tail *= releaseStep;
    levels[static_cast<std::size_t>(heldSamples + j)] = tail * (1.0 - static_cast<double>(j + 1) / releaseSamples);
  }
  return levels;
}

std::vector<std::int16_t> toPcm16(const std::vector<double>& signal, double peak) {
  double loudest = 0.0;
  for (const double s : signal) loudest = std::max(loudest, std::fabs(s));
  const double scale = loudest > 0.0 ? peak * 32767.0 / loudest : 0.0;
  std::vector<std::int16_t> samples;
  samples.reserve(signal.size());
  for (const double s : signal) {
    const double v = std::clamp(s * scale, -32767.0, 32767.0);
    samples.push_back(static_cast<std::int16_t>(std::lround(v)));
  }
  return samples;
}

double decibelsToFraction(double decibels) {
  // 10^(dB / 20) = e^(dB ln 10 / 20).
  return exponential(decibels * 2.302585092994046 / 20.0);
}

}  // namespace tools
