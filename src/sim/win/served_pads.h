#pragma once
// A PADS program of ours served through automation with the real programs' object model
// (Application, ActiveDocument, Components, Attributes, GetObjects, ...), so that the
// interface over the real programs (platform::win::comPads) drives it exactly as it
// drives PADS Logic, PADS Layout or PADS Router. Every member served is one call of the
// program's PADS interface: reads stay reads, and a change is made (and logged by the
// stand-in) once. The program's errors reach the client with their number and description.
#include <memory>

#include "platform/pads.h"
#include "platform/win/automation.h"

namespace sim::win {

namespace served {
class Session;
}

class ServedPads {
 public:
  explicit ServedPads(std::shared_ptr<platform::pads::Application> program);
  // Every object made is released; objects a client still holds fail their calls
  // afterwards (with the error of a disconnected server).
  ~ServedPads();
  ServedPads(const ServedPads&) = delete;
  ServedPads& operator=(const ServedPads&) = delete;

  // The program's Application object, the same object each time.
  platform::win::Automation application() const;
  const std::shared_ptr<platform::pads::Application>& program() const { return program_; }

 private:
  std::shared_ptr<platform::pads::Application> program_;
  std::shared_ptr<served::Session> session_;
};

}  // namespace sim::win
