#pragma once

#include <cstdint>
#include <string>

#include "audio/choice_list.h"
#include "audio/device_catalogue.h"

// The device the user chose for one role (the wave input, the wave output, the MIDI
// input): the one place that decides which device a Start opens.
//
// A choice is the name the user chose, which is what the settings keep, and the id that
// name has in the catalogue's list as last read. Device ids change as devices come and go,
// so the id follows the name whenever the lists are read again. A device that is missing
// keeps its name: it is found again once it is back, and meanwhile its id is -1 (for the
// wave devices the default device, for the MIDI input none). Only the user's choice of
// another device replaces the name.
//
// Thread: UI thread.

namespace ampora {

class DeviceChoice {
 public:
  // direction: 1 = input, 0 = output. The catalogue must outlive the choice.
  DeviceChoice(const DeviceCatalogue& catalogue, int32_t direction)
      : catalogue_(catalogue), direction_(direction) {}

  // Takes the stored name; an empty one chooses the first device, by its name.
  void Remember(const std::string& name);
  // The user picked entry id of the list as last read (ListDevices). Nothing picked (-1)
  // or the device already chosen keeps the choice as it is; another device becomes the
  // choice, under the name it is kept by (DeviceCatalogue::NameToKeep).
  void Choose(int32_t id);
  // After the catalogue's lists were read again: the id follows the name.
  void Rescan();
  // The id a Start opens: the chosen device in the list as last read, -1 when it is
  // missing.
  int32_t IdToOpen() const { return id_; }
  // The name the settings keep.
  const std::string& Name() const { return name_; }

  // Fills list with the devices as last read and selects the chosen one; when it is
  // missing, a device whose name matches loosely, or nothing.
  void ListDevices(ChoiceList& list) const;

 private:
  const DeviceCatalogue& catalogue_;
  int32_t direction_;
  std::string name_;
  int32_t id_ = 0;
};

}  // namespace ampora
