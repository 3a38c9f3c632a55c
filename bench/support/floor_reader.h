#pragma once

// The floor of the open benchmarks: the least any reader of a food list file
// can do. It reads the file with the standard library alone, splits each
// line on ";" into std::string fields and sorts the rows bytewise by name.

#include <string>
#include <vector>

using FloorRow = std::vector<std::string>;

std::vector<FloorRow> FloorOpen(const std::string &fileName);
