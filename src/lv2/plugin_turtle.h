#pragma once

#include <string>

// The Turtle files of the bundle, written from the port table (lv2/plugin_ports.h) by a
// generator at build time, so that what hosts read cannot drift from what the plugin
// does: manifest.ttl names the plugin and its library, ampora.ttl describes it.
//
// Thread: any.

namespace ampora {

inline constexpr const char* kPluginTurtleFile = "ampora.ttl";

// manifest.ttl for the plugin's library file name (for example "ampora.so").
std::string ManifestTurtle(const std::string& binary);

// ampora.ttl: the plugin, its features and every port.
std::string PluginTurtle();

}  // namespace ampora
