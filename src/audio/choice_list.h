#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace ampora {

// A list of texts with at most one selected entry: what a drop-down list shows. The
// configuration dialog fills its combo boxes through an adapter of this.
//
// Thread: UI thread.
class ChoiceList {
 public:
  virtual ~ChoiceList() = default;
  virtual void Clear() = 0;
  virtual void AddItem(const std::string& text) = 0;
  virtual int32_t ItemCount() const = 0;
  virtual std::string ItemText(int32_t index) const = 0;
  // -1 = nothing selected.
  virtual void SetSelectedIndex(int32_t index) = 0;
};

// A ChoiceList held in memory.
class TextChoiceList final : public ChoiceList {
 public:
  void Clear() override {
    items.clear();
    selected = -1;
  }
  void AddItem(const std::string& text) override { items.push_back(text); }
  int32_t ItemCount() const override { return static_cast<int32_t>(items.size()); }
  std::string ItemText(int32_t index) const override {
    return items.at(static_cast<size_t>(index));
  }
  void SetSelectedIndex(int32_t index) override { selected = index; }

  std::vector<std::string> items;
  int32_t selected = -1;
};

}  // namespace ampora
