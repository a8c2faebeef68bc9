#pragma once
// A program running in a simulated world, for tests that drive it through its windows.
#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "app/program.h"
#include "app/tool_window.h"
#include "sim/sim_programs.h"

namespace testing_support {

class ProgramTest : public ::testing::Test {
 protected:
  void SetUp() override {
    program = std::make_unique<app::Program>(world.programs, world.user, world.desktop, world.files);
    program->start();
  }

  app::ToolWindow& tool() { return program->tool(); }
  platform::ToolState& state() { return tool().toolState(); }
  // The user's action on a control, with the program's failure handling.
  void click(ui::Control& c) {
    program->dispatch([&] { c.userClick(); });
  }
  void pick(ui::ComboBox& c, const std::string& entry) {
    int i = c.find(entry);
    ASSERT_GE(i, 0) << entry;
    program->dispatch([&] { c.userPick(i); });
  }
  void type(ui::ComboBox& c, const std::string& text) {
    program->dispatch([&] { c.userType(text); });
  }
  // Texts of every message box shown so far, in order.
  std::vector<std::string> messages() const {
    std::vector<std::string> out;
    for (const auto& m : world.user.messages()) out.push_back(m.text);
    return out;
  }

  sim::World world;
  std::unique_ptr<app::Program> program;
};

}  // namespace testing_support
