// "Add Value": every part of the design open in PADS Layout or PADS Logic gets its
// "Comment" (Layout) or "Part_Type" (Logic) as its "Value", after a question, without
// comparing first.
#include <string>
#include <vector>

#include "compare/pads_writing.h"
#include "compare/toolbar_commands.h"
#include "platform/services.h"
#include "vb/error.h"

namespace compare {

namespace pads = platform::pads;

namespace {

struct AddValueBranch {
  const char* source;  // contained in SourceProgram
  const char* firstLine;
  const char* progId;
  const char* attribute;
  const char* notRunning;
  const char* done;
};

// "Layout" is tested first.
const AddValueBranch kBranches[] = {
    {"Layout", "如果元件Comment属性为空白,", kToolbarLayoutProgId, "Comment", "请打开Layout软件", "PCB文档元件属性修改完毕"},
    {"Logic", "如果元件Part_Type属性为空白,", pads::kLogicProgId, "Part_Type", "请打开Logic软件", "SCH文档元件属性修改完毕"},
};

}  // namespace

void copyAttributeToValue(platform::ToolContext& t) {
  platform::User& user = t.user();
  const std::string source = t.sourceProgram();
  const AddValueBranch* b = nullptr;
  for (const AddValueBranch& branch : kBranches)
    if (source.find(branch.source) != std::string::npos) {
      b = &branch;
      break;
    }
  if (!b) {
    platform::notify(user, platform::kTitle, "请选择Logic或者Layout软件！");
    return;
  }
  const std::string question = std::string(b->firstLine) + "\n*******请慎重操作*********\n选择是-继续 ; 选择否-退出.";
  if (!platform::askYes(user, platform::kTitle, question)) return;
  vb::SkipOnError skip;
  pads::AppPtr app;
  if (!skip.step([&] { app = attachRunningPads(t.services.programs, b->progId); })) {
    platform::notify(user, platform::kTitle, b->notRunning);
    return;
  }
  std::vector<pads::Part*> parts;
  pads::Design* design = nullptr;
  skip.step([&] {
    design = &app->activeDocument();
    parts = design->components();
  });
  for (pads::Part* part : parts) {
    std::string name, text;
    if (!skip.step([&] { name = part->name(); })) continue;
    skip.step([&] {
      const pads::Attribute* a = part->attribute(b->attribute);
      text = a ? a->value() : "";
    });
    setPartValue(*design, name, text);
  }
  platform::notify(user, platform::kTitle, b->done);
}

}  // namespace compare
