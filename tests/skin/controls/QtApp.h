#pragma once
// One QApplication for every test of the program (offscreen in ctest).
#include <QApplication>
#include <gtest/gtest.h>

namespace twtest {
class QtAppEnvironment : public ::testing::Environment {
 public:
  void SetUp() override {
    if (!QApplication::instance()) {
      static int argc = 1;
      static char name[] = "test";
      static char* argv[] = {name, nullptr};
      new QApplication(argc, argv);
    }
  }
};
inline const bool kRegistered =
    (::testing::AddGlobalTestEnvironment(new QtAppEnvironment), true);
}  // namespace twtest
