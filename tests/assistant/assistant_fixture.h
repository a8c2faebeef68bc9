#pragma once
// The design assistant "Decal" opened from the toolbar, with PADS designs written for a test.
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "assistant/decal_window.h"
#include "support/pads_designs.h"
#include "support/program_fixture.h"
#include "support/scratch_dir.h"

namespace testing_support {

class AssistantTest : public ProgramTest {
 protected:
  void SetUp() override {
    ProgramTest::SetUp();
    click(tool().helper);
    w = static_cast<assistant::DecalWindow*>(program->existing(assistant::DecalWindow::kName));
    ASSERT_NE(w, nullptr);
  }
  std::shared_ptr<sim::SimPads> run(const std::string& progId, const std::string& json) {
    return runDesign(world, dir, progId, json);
  }
  void software(const std::string& text) { pick(w->combo2, text); }
  // The "Value" of a part, or "-" when it has none.
  static std::string value(sim::SimPads& pads, const std::string& part) {
    const platform::pads::Attribute* a = pads.activeDocument().component(part)->attribute("Value");
    return a ? a->value() : "-";
  }

  // The message and question texts shown since the last forget().
  std::vector<std::string> shown() const {
    std::vector<std::string> all = messages();
    return {all.begin() + static_cast<long>(mark_), all.end()};
  }
  void forget() { mark_ = world.user.messages().size(); }

  ScratchDir dir{"assistant"};
  assistant::DecalWindow* w = nullptr;

 private:
  size_t mark_ = 0;
};

}  // namespace testing_support
