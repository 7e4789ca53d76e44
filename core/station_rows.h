#pragma once

#include <string>
#include <vector>

// The station rows in list order: the list box's, the list file's and the
// controller's common currency.
using StationRows = std::vector<std::string>;
