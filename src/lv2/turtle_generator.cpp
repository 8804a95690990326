#include <cstdio>
#include <fstream>
#include <string>

#include "lv2/plugin_turtle.h"

// Writes the bundle's Turtle files: turtle_generator OUTPUT_FOLDER LIBRARY_FILE_NAME.

namespace {

bool WriteFile(const std::string& path, const std::string& text) {
  std::ofstream file(path, std::ios::binary | std::ios::trunc);
  file << text;
  file.close();
  if (file) return true;
  std::fprintf(stderr, "turtle_generator: cannot write %s\n", path.c_str());
  return false;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 3) {
    std::fprintf(stderr, "usage: turtle_generator OUTPUT_FOLDER LIBRARY_FILE_NAME\n");
    return 2;
  }
  const std::string folder = std::string(argv[1]) + "/";
  const bool written = WriteFile(folder + "manifest.ttl", ampora::ManifestTurtle(argv[2])) &&
                       WriteFile(folder + ampora::kPluginTurtleFile, ampora::PluginTurtle());
  return written ? 0 : 1;
}
