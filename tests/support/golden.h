#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace ampora::test {

// Compares samples with the stored golden file tests/golden/<name>.s16 (raw signed
// 16-bit little-endian) bit for bit. With AMPORA_UPDATE_GOLDEN=1 in the environment the
// file is (re)written instead: golden files are regenerated only on purpose.
void ExpectMatchesGolden(const std::string& name, const std::vector<int16_t>& samples);

}  // namespace ampora::test
