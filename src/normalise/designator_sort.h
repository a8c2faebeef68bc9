#pragma once
// The rows of the change report on sheet 3 put into natural order of their designators
// (R2 before R10), by one key per row built in column F as scratch.
#include "normalise/change_report.h"

namespace normalise {

void sortByDesignator(const platform::ReportFlow& f);

}  // namespace normalise
