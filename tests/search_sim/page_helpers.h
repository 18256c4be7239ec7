// Small helpers the simulator's tests share: encoding a query as the passes
// do and reading the highlighted fragments of a page.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace oc::sim::testing {

// Every byte as "%" and two upper-case hexadecimal digits.
std::string encodeEveryByte(std::string_view bytes);

// Group 1 of every "<em>(.*?)</em>" on the page, in page order.
std::vector<std::string> emFragments(const std::string& html);

}  // namespace oc::sim::testing
