#pragma once

#include <string>

namespace ampora::test {

// A fresh folder under the system's temporary folder, removed with all its content when
// the object goes. path() ends with "/".
class TempFolder {
 public:
  TempFolder();
  ~TempFolder();
  TempFolder(const TempFolder&) = delete;
  TempFolder& operator=(const TempFolder&) = delete;

  const std::string& path() const { return path_; }

 private:
  std::string path_;
};

// Sets an environment variable for the object's lifetime, then restores it.
class ScopedEnv {
 public:
  ScopedEnv(const char* name, const std::string& value);
  ~ScopedEnv();
  ScopedEnv(const ScopedEnv&) = delete;
  ScopedEnv& operator=(const ScopedEnv&) = delete;

 private:
  std::string name_;
  bool had_;
  std::string old_;
};

// The whole content of a file ("" when it cannot be read), and writing one.
std::string ReadFileText(const std::string& path);
void WriteFileText(const std::string& path, const std::string& text);

}  // namespace ampora::test
