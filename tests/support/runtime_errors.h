#pragma once
// Expects f to fail with the runtime error number (and description, when given).
#include <gtest/gtest.h>

#include <string>

#include "vb/error.h"

namespace testing_support {

template <class F>
void expectError(F&& f, int number, const std::string& description = "") {
  try {
    f();
    ADD_FAILURE() << "no error, expected " << number;
  } catch (const vb::Error& e) {
    EXPECT_EQ(e.number(), number) << e.description();
    if (!description.empty()) {
      EXPECT_EQ(e.description(), description);
    }
  }
}

}  // namespace testing_support
