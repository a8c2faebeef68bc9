#include "vb/error.h"

namespace vb {

std::string describe(int number) {
  switch (number) {
    case kInvalidCall: return "Invalid procedure call or argument";
    case kOverflow: return "Overflow";
    case kSubscript: return "Subscript out of range";
    case kTypeMismatch: return "Type mismatch";
    case kFileNotFound: return "File not found";
    case kBadFileMode: return "Bad file mode";
    case kPermissionDenied: return "Permission denied";
    case kPathAccess: return "Path/File access error";
    case kObjectNotSet: return "Object variable or With block variable not set";
    case kKeyExists: return "This key is already associated with an element of this collection";
    case kCannotCreate: return "ActiveX component can't create object";
    case kAppDefined: return "Application-defined or object-defined error";
    case kCancelled: return "Cancel was selected.";
    default: return "Application-defined or object-defined error";
  }
}

Error::Error(int number) : number_(number), description_(describe(number)) {}
Error::Error(int number, std::string description)
    : number_(number), description_(std::move(description)) {}

void raise(int number) { throw Error(number); }
void raise(int number, const std::string& description) { throw Error(number, description); }

}  // namespace vb
