#include <gtest/gtest.h>

#include <QApplication>

#include "controls/ui_fonts.h"

// One QApplication for the whole executable, created before the first test (fonts,
// palettes and widgets need it) unless another part of the suite already made one.
namespace {

class QtApplicationEnvironment : public ::testing::Environment {
 public:
  void SetUp() override {
    if (QCoreApplication::instance() != nullptr) return;
    static int argc = 1;
    static char name[] = "controls_test";
    static char* argv[] = {name, nullptr};
    app_ = new QApplication(argc, argv);
  }

  void TearDown() override {
    ampora::ReleaseUiFonts();
    delete app_;
    app_ = nullptr;
  }

 private:
  QApplication* app_ = nullptr;
};

[[maybe_unused]] const auto* const kEnvironment =
    ::testing::AddGlobalTestEnvironment(new QtApplicationEnvironment);

}  // namespace
