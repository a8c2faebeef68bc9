// HRESULTs and EXCEPINFOs of failed automation calls as the runtime's errors.
#include <cstdio>
#include <string>

#include "platform/win/automation.h"
#include "platform/win/wide_text.h"

namespace platform::win {

namespace {

std::string takeText(BSTR& b) {
  std::string text = b ? narrow(std::wstring_view(b, SysStringLen(b))) : std::string();
  SysFreeString(b);
  b = nullptr;
  return text;
}

// An HRESULT of the control facility (0x800Axxxx) carries a runtime error number.
bool carriesErrorNumber(HRESULT hr) { return HRESULT_FACILITY(hr) == FACILITY_CONTROL && HRESULT_CODE(hr) != 0; }

std::string automationErrorText(HRESULT hr) {
  char hex[16];
  std::snprintf(hex, sizeof hex, "%08lX", static_cast<unsigned long>(static_cast<ULONG>(hr)));
  return std::string("Automation error (0x") + hex + ")";
}

std::string describeNumber(int number) {
  switch (number) {
    case 7: return "Out of memory";
    case kObjectRequired: return "Object required";
    case 430: return "Class does not support Automation or does not support expected interface";
    case kNoSuchMember: return "Object doesn't support this property or method";
    case kServerUnavailable: return "The remote server machine does not exist or is unavailable";
    case kNamedArgumentNotFound: return "Named argument not found";
    case kArgumentNotOptional: return "Argument not optional";
    case kWrongArguments: return "Wrong number of arguments or invalid property assignment";
    default: return vb::describe(number);
  }
}

// RPC_S_SERVER_UNAVAILABLE and RPC_S_CALL_FAILED as HRESULTs.
constexpr HRESULT kRpcServerUnavailable = static_cast<HRESULT>(0x800706BA);
constexpr HRESULT kRpcCallFailed = static_cast<HRESULT>(0x800706BE);

vb::Error fromHresult(HRESULT hr) {
  switch (hr) {
    case DISP_E_UNKNOWNNAME:
    case DISP_E_MEMBERNOTFOUND: return vb::Error(kNoSuchMember, describeNumber(kNoSuchMember));
    case DISP_E_TYPEMISMATCH: return vb::Error(vb::kTypeMismatch);
    case DISP_E_OVERFLOW: return vb::Error(vb::kOverflow);
    case DISP_E_BADINDEX: return vb::Error(vb::kSubscript);
    case DISP_E_BADPARAMCOUNT: return vb::Error(kWrongArguments, describeNumber(kWrongArguments));
    case DISP_E_PARAMNOTOPTIONAL: return vb::Error(kArgumentNotOptional, describeNumber(kArgumentNotOptional));
    case DISP_E_PARAMNOTFOUND: return vb::Error(kNamedArgumentNotFound, describeNumber(kNamedArgumentNotFound));
    case E_INVALIDARG: return vb::Error(vb::kInvalidCall);
    case E_OUTOFMEMORY: return vb::Error(7, describeNumber(7));
    case E_NOINTERFACE: return vb::Error(430, describeNumber(430));
    // The program's process has ended (closed by the user, or crashed) under its objects.
    case RPC_E_SERVER_DIED:
    case RPC_E_SERVER_DIED_DNE:
    case kRpcServerUnavailable:
    case kRpcCallFailed:
      return vb::Error(kServerUnavailable, describeNumber(kServerUnavailable));
    case RPC_E_CALL_REJECTED:
    case RPC_E_SERVERCALL_RETRYLATER:
      return vb::Error(static_cast<int>(hr), automationErrorText(hr) + ": the program is busy and rejected the call");
    default: break;
  }
  if (carriesErrorNumber(hr)) {
    int number = HRESULT_CODE(hr);
    return vb::Error(number, describeNumber(number));
  }
  // Shown as the runtime shows it: the HRESULT as a negative number.
  return vb::Error(static_cast<int>(hr), automationErrorText(hr));
}

}  // namespace

vb::Error automationError(HRESULT hr, EXCEPINFO* exception) {
  if (!exception) return fromHresult(hr);
  if (hr != DISP_E_EXCEPTION) {
    // Nothing to read in it, but a server may have filled it anyway.
    SysFreeString(exception->bstrDescription);
    SysFreeString(exception->bstrSource);
    SysFreeString(exception->bstrHelpFile);
    exception->bstrDescription = exception->bstrSource = exception->bstrHelpFile = nullptr;
    return fromHresult(hr);
  }
  if (exception->pfnDeferredFillIn) {
    exception->pfnDeferredFillIn(exception);
    exception->pfnDeferredFillIn = nullptr;
  }
  std::string description = takeText(exception->bstrDescription);
  SysFreeString(exception->bstrSource);
  SysFreeString(exception->bstrHelpFile);
  exception->bstrSource = exception->bstrHelpFile = nullptr;

  int number;
  std::string fallback;
  if (exception->wCode != 0) {
    number = exception->wCode;
    fallback = describeNumber(number);
  } else if (carriesErrorNumber(exception->scode)) {
    number = HRESULT_CODE(exception->scode);
    fallback = describeNumber(number);
  } else if (FAILED(exception->scode)) {
    number = static_cast<int>(exception->scode);
    fallback = automationErrorText(exception->scode);
  } else {
    number = static_cast<int>(hr);
    fallback = automationErrorText(hr);
  }
  return vb::Error(number, description.empty() ? fallback : description);
}

void raiseAutomationError(HRESULT hr, EXCEPINFO* exception) { throw automationError(hr, exception); }

}  // namespace platform::win
