// Reading the highlighted fragments of a page, as the simulator's tests do.
#pragma once

#include <string>
#include <vector>

namespace oc::sim::testing {

// Group 1 of every "<em>(.*?)</em>" on the page, in page order.
std::vector<std::string> emFragments(const std::string& html);

}  // namespace oc::sim::testing
