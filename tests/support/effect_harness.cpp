#include "support/effect_harness.h"

#include <array>
#include <limits>

#include "effects/effect_catalogue.h"

namespace ampora::test {

std::vector<int16_t> LeftOf(const std::vector<Frame>& frames) {
  std::vector<int16_t> out;
  out.reserve(frames.size());
  for (const Frame& f : frames) out.push_back(f.left);
  return out;
}

std::vector<int16_t> Interleaved(const std::vector<Frame>& frames) {
  std::vector<int16_t> out;
  out.reserve(frames.size() * 2);
  for (const Frame& f : frames) {
    out.push_back(f.left);
    out.push_back(f.right);
  }
  return out;
}

int32_t DrawParameter(std::mt19937& rng, int32_t lo, int32_t hi) {
  static constexpr std::array<int32_t, 10> kExtremes = {0,
                                                        -1,
                                                        1000000,
                                                        -1000000,
                                                        1000000000,
                                                        -1000000000,
                                                        std::numeric_limits<int32_t>::max(),
                                                        std::numeric_limits<int32_t>::min(),
                                                        32767,
                                                        -32768};
  const int kind = std::uniform_int_distribution<int>(0, 9)(rng);
  if (kind < 6) return std::uniform_int_distribution<int32_t>(lo, hi)(rng);
  if (kind < 9) return std::uniform_int_distribution<int32_t>(lo - 1000, hi + 1000)(rng);
  return kExtremes[std::uniform_int_distribution<size_t>(0, kExtremes.size() - 1)(rng)];
}

bool DrawParameters(std::mt19937& rng, int effect, FxParamTable& fx) {
  const EffectSpec& entry = kEffectCatalogue[effect];
  bool inRange = true;
  for (int p = 0; p < entry.paramCount; ++p) {
    const ParamSpec& param = entry.params[p];
    const int32_t value = DrawParameter(rng, param.min, param.max);
    inRange = inRange && value >= param.min && value <= param.max;
    fx[FxIndex(effect, p + 1)] = value;
  }
  return inRange;
}

void FillRandomInput(std::mt19937& rng, std::vector<int16_t>& samples) {
  const int kind = std::uniform_int_distribution<int>(0, 3)(rng);
  std::uniform_int_distribution<int> any(-32768, 32767);
  const int16_t level = static_cast<int16_t>(any(rng));
  for (size_t i = 0; i < samples.size(); ++i) {
    switch (kind) {
      case 0:
        samples[i] = 0;
        break;
      case 1:
        samples[i] = (i % 2 == 0) ? 32767 : -32768;
        break;
      case 2:
        samples[i] = level;
        break;
      default:
        samples[i] = static_cast<int16_t>(any(rng));
        break;
    }
  }
}

}  // namespace ampora::test
