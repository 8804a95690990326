#include "lv2/plugin_ports.h"

#include "effects/bank_transfer.h"
#include "effects/effect_chain.h"
#include "live/level_fader.h"

namespace ampora {

namespace {

PortSpec LevelPort(PortRole role, std::string symbol, std::string name) {
  return PortSpec{role, std::move(symbol), std::move(name), kFaderMinDb, kFaderMaxDb, 0, kDecibels};
}

// "Limiter-01" -> "Limiter_01": symbols allow letters, digits and "_" only.
std::string RowSymbol(int effect, int row) {
  std::string symbol = ParamKey(effect, row);
  for (char& c : symbol) {
    if (c == '-') c = '_';
  }
  return symbol;
}

std::vector<PortSpec> BuildPorts() {
  std::vector<PortSpec> ports = {
      {PortRole::kAudioIn, "in", "In"},
      {PortRole::kAudioOutLeft, "out_l", "Out L"},
      {PortRole::kAudioOutRight, "out_r", "Out R"},
      {PortRole::kLatency, "latency", "Latency"},
      {PortRole::kBank, "Bank", "Bank", 0, kBankPortMax, 0},
      LevelPort(PortRole::kLevelIn, "LevelIn", "IN"),
      LevelPort(PortRole::kLevelOutLeft, "LevelOutL", "OUT L"),
      LevelPort(PortRole::kLevelOutRight, "LevelOutR", "OUT R"),
  };
  for (EffectIndex effect : kPassOrder) {
    const EffectSpec& entry = kEffectCatalogue[effect];
    PortSpec onOff{PortRole::kEffectRow, RowSymbol(effect, 0), std::string(entry.name), 0, 1, 0};
    onOff.toggled = true;
    onOff.effect = effect;
    onOff.row = 0;
    ports.push_back(onOff);
    for (int p = 0; p < entry.paramCount; ++p) {
      const ParamSpec& param = entry.params[p];
      PortSpec port{PortRole::kEffectRow,
                    RowSymbol(effect, p + 1),
                    std::string(entry.name) + " " + std::string(param.label),
                    param.min,
                    param.max,
                    param.defaultValue,
                    param.unit};
      port.effect = effect;
      port.row = p + 1;
      ports.push_back(port);
    }
  }
  return ports;
}

}  // namespace

const std::vector<PortSpec>& PluginPorts() {
  static const std::vector<PortSpec> ports = BuildPorts();
  return ports;
}

}  // namespace ampora
