// The design files of the PADS stand-in as a format: every field read and written back,
// defaults for what a file leaves out, and a FileError that names the file, the place
// and what is wrong for text that is no design.
#include "formats/design_file.h"

#include <gtest/gtest.h>

#include "support/every_field_design.h"
#include "support/scratch_dir.h"

namespace {

using testing_support::readBytes;

const std::string kFixtures = VELMORA_SOURCE_DIR "/tests/sim/fixtures/";

formats::DesignData readFixture(const std::string& name) {
  return formats::parseDesign(readBytes(kFixtures + name), kFixtures + name);
}

TEST(DesignFile, NullAndUnknownFieldsTakeDefaults) {
  auto d = formats::parseDesign(R"({"name": null, "future": {"deep": [[[1]]]},
      "parts": [{"name": "R1", "layer": null, "smd": null, "attributes": null, "pins": null, "extra": 1}]})",
                                "C:\\designs\\null.pcb");
  EXPECT_EQ(d.name, "null.pcb");
  ASSERT_EQ(d.parts.size(), 1u);
  formats::PartData expected;
  expected.name = "R1";
  EXPECT_EQ(d.parts[0], expected);
}

TEST(DesignFile, EveryFieldSurvivesWriteAndRead) {
  const formats::DesignData d = testing_support::everyFieldDesign();
  EXPECT_EQ(formats::parseDesign(formats::formatDesign(d), "x.pcb"), d);

  for (const char* fixture : {"layout.pcb", "logic.sch", "empty.pcb"}) {
    SCOPED_TRACE(fixture);
    auto read = readFixture(fixture);
    EXPECT_EQ(formats::parseDesign(formats::formatDesign(read), "other.pcb"), read);
  }
  // The saved text keeps the attributes in their order and writes one part a line.
  std::string text = formats::formatDesign(d);
  EXPECT_LT(text.find("\"Value\""), text.find("\"Comment\""));
  EXPECT_LT(text.find("\"Comment\""), text.find("\"Acc\""));
  EXPECT_NE(text.find("\n    {\"name\":\"R2\""), std::string::npos) << text;
  EXPECT_NE(text.find("\"pins\":14"), std::string::npos) << text;  // a count stays a count
}

// The exact text, so that a change to the writer cannot reorder keys, drop the ".0"-less
// whole numbers or move a field onto another line unnoticed.
TEST(DesignFile, WrittenTextOfEveryFieldIsAsPinned) {
  EXPECT_EQ(formats::formatDesign(testing_support::everyFieldDesign()),
            readBytes(VELMORA_SOURCE_DIR "/tests/formats/fixtures/every_field.pcb"));
}

TEST(DesignFile, TextThatIsNoDesignNamesTheFileThePlaceAndTheProblem) {
  struct Case {
    std::string text, place, problem;
  };
  const Case cases[] = {
      {"", "", "the file is empty"},
      {"[]", "the design", "must be an object, not []"},
      {R"({"parts": [{}, {"x": "12"}]})", "parts[1].x", "must be a number, not \"12\""},
      {R"({"parts": [{"attributes": {"Value": 10}}]})", "parts[0].attributes.Value", "must be text, not 10"},
      {R"({"layers": {"top": "Top"}})", "layers.top", "is not a layer number (the keys of \"layers\" are whole numbers)"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.text);
    try {
      formats::parseDesign(c.text, "board.pcb");
      ADD_FAILURE() << "read as a design";
    } catch (const formats::FileError& e) {
      EXPECT_EQ(e.kind(), formats::FileError::Kind::Malformed);
      EXPECT_EQ(e.file(), "board.pcb");
      EXPECT_EQ(e.place(), c.place);
      EXPECT_EQ(e.problem(), c.problem);
      EXPECT_EQ(std::string(e.what()),
                "Bad design file \"board.pcb\": " + (c.place.empty() ? c.problem : c.place + " " + c.problem));
    }
  }
}

TEST(DesignFile, EveryTruncationOfADesignFailsCleanly) {
  const std::string text = readBytes(kFixtures + "layout.pcb");
  ASSERT_GT(text.size(), 500u);
  for (size_t n = 0; n + 2 < text.size(); ++n) {
    try {
      formats::parseDesign(std::string_view(text).substr(0, n), "cut.pcb");
      ADD_FAILURE() << "a cut after " << n << " bytes was read";
    } catch (const formats::FileError& e) {
      ASSERT_EQ(e.kind(), formats::FileError::Kind::Malformed) << n;
    }
  }
}

TEST(DesignFile, NestingDeeperThanADesignNeedsIsRefusedBeforeAnythingRecursesOnIt) {
  // 70,000 levels under "parts" crashed the program: the message about the wrong type
  // printed the value, and printing recursed through every level.
  auto nested = [](const char* key, size_t levels) {
    return std::string("{\"") + key + "\": " + std::string(levels, '[') + std::string(levels, ']') + "}";
  };
  for (const std::string& text : {nested("parts", 70000), nested("x", 20000), nested("parts", 300)}) {
    try {
      formats::parseDesign(text, "deep.pcb");
      ADD_FAILURE() << "read as a design";
    } catch (const formats::FileError& e) {
      EXPECT_EQ(e.problem(), "the design nests lists and objects deeper than 256 levels");
    }
  }
  // What the reader does not know may nest as deep as a design may.
  EXPECT_TRUE(formats::parseDesign(nested("x", 250), "deep.pcb").parts.empty());
}

TEST(DesignFile, AMessageShowsAtMostTheStartOfALargeValue) {
  std::string many = "[";
  for (int i = 0; i < 100000; ++i) many += (i ? "," : "") + std::to_string(i);
  many += "]";
  try {
    formats::parseDesign(R"({"parts": [{"name": )" + many + "}]}", "big.pcb");
    ADD_FAILURE() << "read as a design";
  } catch (const formats::FileError& e) {
    EXPECT_EQ(e.problem(), "must be text, not [0,1,2,3,4,5,6,7,8,9,10,11,12,13,14,1...");
  }
}

}  // namespace
