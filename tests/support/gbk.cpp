#include "tests/support/gbk.h"

namespace oc::testing {

Text G(std::string_view utf8) { return gbkFromUtf8(utf8); }
std::string U(const Text& gbk) { return utf8FromGbk(gbk); }

}  // namespace oc::testing
