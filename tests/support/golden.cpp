#include "support/golden.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <iterator>

namespace ampora::test {

namespace {

std::string GoldenPath(const std::string& name) {
  return std::string(AMPORA_GOLDEN_DIR) + "/" + name + ".s16";
}

std::vector<int16_t> ReadGolden(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  const std::vector<unsigned char> bytes{std::istreambuf_iterator<char>(in),
                                         std::istreambuf_iterator<char>()};
  std::vector<int16_t> samples(bytes.size() / 2);
  for (size_t i = 0; i < samples.size(); ++i) {
    samples[i] = static_cast<int16_t>(bytes[2 * i] | (bytes[2 * i + 1] << 8));
  }
  return samples;
}

void WriteGolden(const std::string& path, const std::vector<int16_t>& samples) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  for (int16_t s : samples) {
    const auto u = static_cast<uint16_t>(s);
    out.put(static_cast<char>(u & 0xff));
    out.put(static_cast<char>(u >> 8));
  }
}

}  // namespace

void ExpectMatchesGolden(const std::string& name, const std::vector<int16_t>& samples) {
  const std::string path = GoldenPath(name);
  const char* update = std::getenv("AMPORA_UPDATE_GOLDEN");
  if (update != nullptr && std::string(update) == "1") {
    WriteGolden(path, samples);
    return;
  }
  const std::vector<int16_t> golden = ReadGolden(path);
  ASSERT_FALSE(golden.empty()) << "missing golden file " << path
                               << " (write it with AMPORA_UPDATE_GOLDEN=1)";
  ASSERT_EQ(golden.size(), samples.size()) << path;
  for (size_t i = 0; i < golden.size(); ++i) {
    ASSERT_EQ(golden[i], samples[i]) << path << ": first difference at sample " << i;
  }
}

}  // namespace ampora::test
