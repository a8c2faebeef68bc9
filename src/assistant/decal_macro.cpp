// "Decal": every PADS Logic part like the selected sample part gets a new PCB decal, through
// a five-line macro that drives PADS Logic's part-properties dialog, run once per part.
#include <optional>
#include <string>
#include <vector>

#include "assistant/decal_window.h"
#include "compare/pads_writing.h"
#include "platform/user.h"
#include "vb/ansi.h"
#include "vb/error.h"

namespace assistant {

namespace pads = platform::pads;

namespace {

// Written and run under this one name: the file system here tells letter cases apart.
constexpr const char* kMacroFile = "temp.mcr";
constexpr const char* kMacroName = "MACRO1";
constexpr int kMacroPauseMs = 500;

bool hasControlCharacter(const std::string& text) {
  for (unsigned char c : text)
    if (c < 0x20 || c == 0x7f) return true;
  return false;
}

std::optional<std::string> valueOf(const pads::Part& part) {
  const pads::Attribute* value = part.attribute("Value");
  if (!value) return std::nullopt;
  return value->value();
}

// The macro's text, one entry a line; the decal name is a quoted macro string, so a
// double quote inside it is doubled.
std::vector<std::string> decalMacroLines(const std::string& decal) {
  std::string quoted = "\"";
  for (char c : decal) quoted += c == '"' ? std::string("\"\"") : std::string(1, c);
  quoted += "\"";
  return {
      "Application.ExecuteCommand(\"Properties\")",
      "DlgQueryPart.PCBDecals.Click()",
      "DlgQueryPartDecals.PCBDecal = " + quoted,
      "DlgQueryPartDecals.Ok.Click()",
      "DlgQueryPart.Close.Click()",
  };
}

}  // namespace

void DecalWindow::reassignDecal() {
  list3.clear();
  text1.setText("");
  const std::string decal =
      services_.user.input(platform::kTitle, "指定元件封装:\n设计中必须要有此封装。", "");
  if (decal.empty()) return;
  // A line break would end the macro's string and start a line of its own.
  if (hasControlCharacter(decal)) return notify("封装名不能含有换行或控制字符");

  vb::SkipOnError skip;
  pads::AppPtr logic;
  skip.step([&] { logic = compare::attachRunningPads(services_.programs, pads::kLogicProgId); });
  if (!logic) return platform::notify(services_.user, platform::kKitTitle, "没有选择元件");
  auto macroPath = [&] { return logic->defaultFilePath() + "\\" + kMacroFile; };

  std::string path;
  const bool written = skip.step([&] {
    path = macroPath();
    std::vector<vb::AnsiLine> lines;
    for (const std::string& line : decalMacroLines(decal)) lines.push_back(vb::AnsiLine::fromText(line));
    services_.files.writeLines(path, lines);
  });
  if (!written) return notify("无法写入宏文件 " + path);

  pads::Design* design = nullptr;
  std::vector<pads::Part*> selected;
  skip.step([&] {
    design = &logic->activeDocument();
    selected = design->getParts("", true);
  });
  if (selected.empty()) return platform::notify(services_.user, platform::kKitTitle, "没有选择元件");
  if (selected.size() > 1) return platform::notify(services_.user, platform::kKitTitle, "请选择一个取样元件");

  // The sample is read before the selection is cleared, so a failed read leaves it selected.
  std::string sampleDecal;
  std::optional<std::string> sampleValue;
  if (!skip.step([&] {
        sampleDecal = selected.front()->pcbDecal();
        sampleValue = valueOf(*selected.front());
      }))
    return notify("无法读取取样元件");
  skip.step([&] { design->clearSelection(); });

  std::vector<pads::Part*> parts;
  skip.step([&] { parts = design->components(); });
  int processed = 0;
  for (pads::Part* part : parts) {
    // Each part on its own: a failing step leaves this part unprocessed and the pass goes on.
    skip.step([&] {
      design->clearSelection();
      if (part->pcbDecal() != sampleDecal || valueOf(*part) != sampleValue) return;
      part->setSelected(true);
      services_.desktop.sleep(kMacroPauseMs);
      logic->runMacro(macroPath(), kMacroName);
      services_.desktop.sleep(kMacroPauseMs);
      list3.addItem(part->name());
      text1.setText(std::to_string(++processed));
    });
  }
  skip.step([&] { services_.files.remove(path); });
  notify("     Okay!");
}

}  // namespace assistant
