#pragma once
// What the process does with the memory it frees.

namespace app {

// The program builds workbooks of hundreds of thousands of cells and frees them when a
// command's work or a workbook ends. The C library would hand the freed top of its heap,
// and every large block, back to the system at once, and the next workbook would fault
// the same memory in again page by page (at 100,000 parts a quarter of the time of
// "Create"). The program keeps that memory for its next workbooks instead: blocks up to
// 32 MB come from the heap, and the heap shrinks only when a quarter of a gigabyte at its
// top is free. The largest the program ever holds does not change. Only the GNU C library
// is told; elsewhere nothing changes.
void keepFreedMemory();

}  // namespace app
