#include "compare/pads_writing.h"

#include <optional>

#include "vb/error.h"

namespace compare {

namespace pads = platform::pads;

pads::AppPtr attachRunningPads(platform::Programs& programs, const std::string& progId) {
  return programs.attachPads(progId);
}

bool setPartAttribute(pads::Design& design, const std::string& designator, const std::string& name,
                      const std::string& value) {
  vb::SkipOnError skip;
  pads::Part* part = nullptr;
  skip.step([&] { part = design.component(designator); });
  // A designator the design does not hold gives no object: every use of it fails.
  if (!part) return false;
  skip.step([&] { part->setSelected(true); });
  std::optional<std::string> old;
  skip.step([&] {
    if (const pads::Attribute* a = part->attribute(name)) old = a->value();
  });
  const bool deleted = skip.step([&] { part->deleteAttribute(name); });
  if (skip.step([&] { part->addAttribute(name, value); })) return true;
  if (deleted && old) skip.step([&] { part->addAttribute(name, *old); });
  return false;
}

bool setPartValue(pads::Design& design, const std::string& designator, const std::string& value) {
  return setPartAttribute(design, designator, "Value", value);
}

void unselectAll(platform::Programs& programs) {
  vb::SkipOnError skip;
  auto deselect = [&](pads::Design& design) {
    std::vector<pads::Part*> parts;
    skip.step([&] { parts = design.components(); });
    for (pads::Part* p : parts)
      skip.step([&] {
        if (p->selected()) p->setSelected(false);
      });
  };
  pads::AppPtr layout, logic;
  if (skip.step([&] { layout = attachRunningPads(programs, pads::kLayoutProgId); })) {
    skip.step([&] {
      pads::Design& design = layout->activeDocument();
      deselect(design);
      skip.step([&] { design.showLayer("Top"); });
      skip.step([&] { design.showLayer("Bottom"); });
    });
  }
  if (skip.step([&] { logic = attachRunningPads(programs, pads::kLogicProgId); }))
    skip.step([&] { deselect(logic->activeDocument()); });
}

}  // namespace compare
