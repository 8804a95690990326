#pragma once

#include <string>

// What a render takes from the settings file: the block length and the section of its
// bank (loaded as the program loads it, live/banks.h). The caller keeps the file read-only
// (ReadOnlySettings): reads write back missing keys, which must not reach the disk.
//
// Thread: the rendering thread.

namespace ampora {

// RenderError unless the settings file can be read and holds the section.
void CheckBankSection(const std::string& iniFile, const std::string& section);

// "BufferMS" of the file's section "conf"; the default 7 when absent or not a number.
float BufferMsSetting(const std::string& iniFile);

}  // namespace ampora
