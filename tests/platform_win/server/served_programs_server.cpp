// A program of ours that serves the stand-in spreadsheet and PADS programs through COM as
// a local server, in a process of its own as the real programs are: COM starts it (with
// -Embedding) when a test starts one of the programs, and it runs until its control
// object is told to quit, or nothing has called it for a minute (a test that failed
// before telling it).
//
// It serves the classes of the tag given as "--tag N" (the process id of the tests that
// registered it). Its control object (registered as running under the tag's control class)
// lets a test reach into the server's world: Quit; Fault(scope, member[, times]) as a
// session's fault step; RejectCalls(n), after which the next n calls of other processes
// are rejected as a busy program rejects them.
#include <windows.h>
#include <objbase.h>

#include <atomic>
#include <cstdlib>
#include <cstring>

#include "platform/win/dispatch_object.h"
#include "sim/win/served_programs.h"
#include "vb/convert.h"

namespace {

using platform::win::DispatchCall;
using platform::win::DispatchObject;

constexpr ULONGLONG kIdleMilliseconds = 60 * 1000;
std::atomic<long> callsToReject{0};
std::atomic<ULONGLONG> lastCall{0};

// Turns calls away while the test wants a busy program.
class BusyFilter : public IMessageFilter {
 public:
  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** out) override {
    if (IsEqualIID(riid, IID_IUnknown) || IsEqualIID(riid, IID_IMessageFilter)) {
      *out = static_cast<IMessageFilter*>(this);
      return S_OK;
    }
    *out = nullptr;
    return E_NOINTERFACE;
  }
  ULONG STDMETHODCALLTYPE AddRef() override { return 2; }  // lives as long as the process
  ULONG STDMETHODCALLTYPE Release() override { return 1; }
  DWORD STDMETHODCALLTYPE HandleInComingCall(DWORD, HTASK, DWORD, LPINTERFACEINFO) override {
    lastCall = GetTickCount64();
    if (callsToReject > 0) {
      --callsToReject;
      return SERVERCALL_REJECTED;
    }
    return SERVERCALL_ISHANDLED;
  }
  DWORD STDMETHODCALLTYPE RetryRejectedCall(HTASK, DWORD, DWORD) override { return static_cast<DWORD>(-1); }
  DWORD STDMETHODCALLTYPE MessagePending(HTASK, DWORD, DWORD) override { return PENDINGMSG_WAITDEFPROCESS; }
};

}  // namespace

int main(int argc, char** argv) {
  sim::win::ServedNames names{sim::win::ServedFrom::LocalServer};
  for (int i = 1; i + 1 < argc; ++i)
    if (std::strcmp(argv[i], "--tag") == 0) names.tag = std::strtoul(argv[i + 1], nullptr, 10);
  platform::win::ComApartment apartment;
  BusyFilter filter;
  IMessageFilter* before = nullptr;
  CoRegisterMessageFilter(&filter, &before);
  lastCall = GetTickCount64();
  {
    sim::World world;
    sim::win::ServedPrograms served(world.programs, names);

    auto control = DispatchObject::create();
    control->method("Quit", [](DispatchCall&) {
      PostQuitMessage(0);
      return vb::Variant();
    });
    control->method("Fault", [&](DispatchCall& c) {
      world.faults.set(vb::toText(c.arg(0)), vb::toText(c.arg(1)),
                       c.has(2) ? vb::toLong(c.arg(2)) : sim::Faults::kAlways);
      return vb::Variant();
    });
    control->method("RejectCalls", [](DispatchCall& c) {
      callsToReject = vb::toLong(c.arg(0));
      return vb::Variant();
    });
    platform::win::RunningRegistration running(static_cast<IDispatch*>(control.get()), names.controlClass());

    SetTimer(nullptr, 0, 1000, nullptr);
    MSG message;
    while (GetMessageW(&message, nullptr, 0, 0) > 0) {
      if (message.message == WM_TIMER && GetTickCount64() - lastCall > kIdleMilliseconds) break;
      TranslateMessage(&message);
      DispatchMessageW(&message);
    }
  }
  CoRegisterMessageFilter(before, nullptr);
  return 0;
}
