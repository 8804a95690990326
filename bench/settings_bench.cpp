#include <benchmark/benchmark.h>

#include <string>

#include "settings/settings_batch.h"
#include "settings/settings_store.h"
#include "support/temp_folder.h"

// Storing a bank: 273 values into one section of the settings file, one by one (each
// write replaces the file atomically) and inside one batch.

namespace {

constexpr int kBankValues = 273;

// In a temporary folder of its own, removed at exit.
const std::string& BenchFile() {
  static const ampora::test::TempFolder folder;
  static const std::string file = folder.path() + "bench.ini";
  return file;
}

void StoreBank(int round) {
  for (int i = 0; i < kBankValues; ++i) {
    ampora::WriteIniValue("Param" + std::to_string(i), ampora::SettingValue::Int32(i + round),
                          BenchFile(), "Bank01");
  }
}

void BM_StoreBankValueByValue(benchmark::State& state) {
  int round = 0;
  for (auto _ : state) StoreBank(++round);
  state.SetItemsProcessed(state.iterations() * kBankValues);
}
BENCHMARK(BM_StoreBankValueByValue)->Unit(benchmark::kMillisecond)->Iterations(3);

void BM_StoreBankInOneBatch(benchmark::State& state) {
  int round = 0;
  for (auto _ : state) {
    ampora::SettingsBatch batch;
    StoreBank(++round);
  }
  state.SetItemsProcessed(state.iterations() * kBankValues);
}
BENCHMARK(BM_StoreBankInOneBatch)->Unit(benchmark::kMillisecond);

void BM_ReadSettingFromBank(benchmark::State& state) {
  StoreBank(0);
  for (auto _ : state) {
    benchmark::DoNotOptimize(
        ampora::ReadIniValue("Param200", ampora::SettingValue::Int32(0), BenchFile(), "Bank01", 0));
  }
}
BENCHMARK(BM_ReadSettingFromBank);

}  // namespace
