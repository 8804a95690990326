#include <lv2/atom/atom.h>
#include <lv2/core/lv2.h>
#include <lv2/state/state.h>
#include <lv2/urid/urid.h>

#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>

#include "lv2/chain_plugin.h"
#include "lv2/plugin_uris.h"
#include "settings/settings_location.h"
#include "util/files.h"

// The LV2 entry points: the descriptor, the state interface and the URIDs they need,
// around one ChainPlugin per instance. Nothing here throws into the host.

namespace ampora {

namespace {

// The data of a feature, or nullptr when the host does not offer it.
const void* FeatureData(const LV2_Feature* const* features, const char* uri) {
  for (; features != nullptr && *features != nullptr; ++features) {
    if (std::strcmp((*features)->URI, uri) == 0) return (*features)->data;
  }
  return nullptr;
}

// The host's mapping of paths in a saved state: abstract paths in the state, absolute
// ones in the plugin. Without a map, paths are stored as they are.
class PathMap {
 public:
  explicit PathMap(const LV2_Feature* const* features)
      : map_(static_cast<const LV2_State_Map_Path*>(FeatureData(features, LV2_STATE__mapPath))),
        free_(static_cast<const LV2_State_Free_Path*>(FeatureData(features, LV2_STATE__freePath))) {
  }

  std::string Abstract(const std::string& path) const {
    return map_ == nullptr ? path : Take(map_->abstract_path(map_->handle, path.c_str()), path);
  }
  std::string Absolute(const std::string& path) const {
    return map_ == nullptr ? path : Take(map_->absolute_path(map_->handle, path.c_str()), path);
  }

 private:
  std::string Take(char* mapped, const std::string& fallback) const {
    if (mapped == nullptr) return fallback;
    std::string result(mapped);
    if (free_ != nullptr) {
      free_->free_path(free_->handle, mapped);
    } else {
      std::free(mapped);
    }
    return result;
  }

  const LV2_State_Map_Path* map_;
  const LV2_State_Free_Path* free_;
};

struct Instance {
  std::unique_ptr<ChainPlugin> plugin;
  // Without a URID map there is no state to save or restore.
  bool mapped = false;
  LV2_URID workingSetting = 0;
  LV2_URID settingsFile = 0;
  LV2_URID atomString = 0;
  LV2_URID atomPath = 0;
};

// The settings file of the program installed for this user, when there is one: its banks,
// made on stage, are the ones a new instance offers.
std::string InstalledProgramSettingsFile() {
  const std::string folder = UserSettingsFolder();
  const std::string file = folder + "ampora.ini";
  return !folder.empty() && FileExists(file) ? file : std::string();
}

Instance* Of(LV2_Handle handle) {
  return static_cast<Instance*>(handle);
}

LV2_Handle Instantiate(const LV2_Descriptor*, double sampleRate, const char*,
                       const LV2_Feature* const* features) {
  try {
    auto instance = std::make_unique<Instance>();
    instance->plugin = ChainPlugin::Create(sampleRate);
    if (!instance->plugin) return nullptr;
    instance->plugin->UseSettingsFile(InstalledProgramSettingsFile());
    if (const auto* map = static_cast<const LV2_URID_Map*>(FeatureData(features, LV2_URID__map))) {
      instance->mapped = true;
      instance->workingSetting = map->map(map->handle, kWorkingSettingUri);
      instance->settingsFile = map->map(map->handle, kSettingsFileUri);
      instance->atomString = map->map(map->handle, LV2_ATOM__String);
      instance->atomPath = map->map(map->handle, LV2_ATOM__Path);
    }
    return instance.release();
  } catch (...) {
    return nullptr;
  }
}

void ConnectPort(LV2_Handle handle, uint32_t port, void* data) {
  Of(handle)->plugin->ConnectPort(port, data);
}

void Activate(LV2_Handle handle) {
  Of(handle)->plugin->Activate();
}

void Run(LV2_Handle handle, uint32_t frames) {
  Of(handle)->plugin->Run(frames);
}

void Cleanup(LV2_Handle handle) {
  delete Of(handle);
}

LV2_State_Status Save(LV2_Handle handle, LV2_State_Store_Function store,
                      LV2_State_Handle stateHandle, uint32_t, const LV2_Feature* const* features) {
  const Instance& instance = *Of(handle);
  if (!instance.mapped) return LV2_STATE_ERR_NO_FEATURE;
  try {
    const std::string text = instance.plugin->WorkingSettingText();
    LV2_State_Status status =
        store(stateHandle, instance.workingSetting, text.c_str(), text.size() + 1,
              instance.atomString, LV2_STATE_IS_POD | LV2_STATE_IS_PORTABLE);
    const std::string& file = instance.plugin->SettingsFile();
    if (status == LV2_STATE_SUCCESS && !file.empty()) {
      const std::string stored = PathMap(features).Abstract(file);
      status = store(stateHandle, instance.settingsFile, stored.c_str(), stored.size() + 1,
                     instance.atomPath, LV2_STATE_IS_POD);
    }
    return status;
  } catch (...) {
    return LV2_STATE_ERR_UNKNOWN;
  }
}

// A text value of the state: its bytes up to the first NUL; nothing for another type.
std::optional<std::string> RetrieveText(LV2_State_Retrieve_Function retrieve,
                                        LV2_State_Handle stateHandle, LV2_URID key, LV2_URID type) {
  size_t size = 0;
  uint32_t valueType = 0;
  uint32_t flags = 0;
  const void* value = retrieve(stateHandle, key, &size, &valueType, &flags);
  if (value == nullptr || valueType != type) return std::nullopt;
  const auto* text = static_cast<const char*>(value);
  return std::string(text, strnlen(text, size));
}

LV2_State_Status Restore(LV2_Handle handle, LV2_State_Retrieve_Function retrieve,
                         LV2_State_Handle stateHandle, uint32_t,
                         const LV2_Feature* const* features) {
  Instance& instance = *Of(handle);
  if (!instance.mapped) return LV2_STATE_ERR_NO_FEATURE;
  try {
    if (const std::optional<std::string> text =
            RetrieveText(retrieve, stateHandle, instance.workingSetting, instance.atomString)) {
      instance.plugin->RestoreWorkingSetting(*text);
    }
    const std::optional<std::string> file =
        RetrieveText(retrieve, stateHandle, instance.settingsFile, instance.atomPath);
    instance.plugin->UseSettingsFile(file ? PathMap(features).Absolute(*file) : std::string());
    return LV2_STATE_SUCCESS;
  } catch (...) {
    return LV2_STATE_ERR_UNKNOWN;
  }
}

const LV2_State_Interface kStateInterface = {Save, Restore};

const void* ExtensionData(const char* uri) {
  if (std::strcmp(uri, LV2_STATE__interface) == 0) return &kStateInterface;
  return nullptr;
}

const LV2_Descriptor kDescriptor = {
    kPluginUri, Instantiate, ConnectPort, Activate, Run, nullptr, Cleanup, ExtensionData,
};

}  // namespace

}  // namespace ampora

LV2_SYMBOL_EXPORT const LV2_Descriptor* lv2_descriptor(uint32_t index) {
  return index == 0 ? &ampora::kDescriptor : nullptr;
}
