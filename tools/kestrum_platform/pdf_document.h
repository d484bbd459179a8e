#pragma once

#include <string>

namespace kestrum::platform {

// A PDF of `pageCount` letter pages (at least one), written out by hand with a correct
// cross-reference table, so the player's PDF kinds have a real document to open and print.
// Page N shows `line` (ASCII) and "page N of M" beside a solid block in the upper half,
// #1F64C8 on page 1, #28A050 on page 2, #E6781E on page 3 (then again), so a screen or a
// printout tells the pages apart.
std::string SamplePdf(const std::string& line, int pageCount);

}  // namespace kestrum::platform
