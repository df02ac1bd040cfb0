// A GoogleTest fixture whose tests share one fresh Wine prefix: made before
// the suite's first test, removed after its last. A prefix that cannot be
// made fails every test of the suite with the reason.
#pragma once

#include <gtest/gtest.h>

#include <exception>
#include <functional>
#include <memory>
#include <string>

#include "wine_prefix.h"

namespace wine {

template <class Base = testing::Test>
class WineSuite : public Base {
 protected:
  static void SetUpTestSuite() { makePrefix(); }
  static void TearDownTestSuite() { wine_.reset(); }
  void SetUp() override { ASSERT_TRUE(setUpError_.empty()) << "Wine prefix: " << setUpError_; }

  // A suite that must prepare the prefix (a trace, a setting) does it here,
  // from its own SetUpTestSuite.
  static void makePrefix(const std::function<void(WinePrefix&)>& prepare = {}) {
    try {
      wine_ = std::make_unique<WinePrefix>();
      if (prepare) prepare(*wine_);
    } catch (const std::exception& error) {
      setUpError_ = error.what();
    }
  }

  inline static std::unique_ptr<WinePrefix> wine_;
  inline static std::string setUpError_;
};

}  // namespace wine
