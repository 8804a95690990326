#include "audio/device_choice.h"

#include <utility>

namespace ampora {

void DeviceChoice::Remember(const std::string& name) {
  name_ = name;
  Rescan();
  // No name selects the first device, which from then on is kept by its name.
  if (name_.empty()) name_ = catalogue_.NameToKeep(direction_, id_);
}

void DeviceChoice::Choose(int32_t id) {
  if (id < 0 || id == id_) return;
  std::string name = catalogue_.NameToKeep(direction_, id);
  if (name.empty()) return;  // no device of the list
  name_ = std::move(name);
  id_ = id;
}

void DeviceChoice::Rescan() {
  id_ = catalogue_.DeviceIdByName(direction_, name_, 0);
}

void DeviceChoice::ListDevices(ChoiceList& list) const {
  catalogue_.ListDevices(list, direction_, name_);
  if (id_ >= 0 && id_ < list.ItemCount()) list.SetSelectedIndex(id_);
}

}  // namespace ampora
