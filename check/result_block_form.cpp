#include "check/result_block_form.h"

namespace oc {

// A class token, not a substring: "c-container-inner" is no c-container.
#define OC_CLASS_TOKEN(token) "contains(concat(' ', normalize-space(@class), ' '), ' " token " ')"

const ResultBlockForm& baiduBlockForm() {
    static const ResultBlockForm form{
        "//div[" OC_CLASS_TOKEN("c-container") "]", ".//h3//a[@href]", ".//h3", "mu", nullptr,
    };
    return form;
}

const ResultBlockForm& blockForm360() {
    static const ResultBlockForm form{
        "//li[" OC_CLASS_TOKEN("res-list") "]",
        ".//h3[" OC_CLASS_TOKEN("res-title") "]//a[@href]",
        ".//h3",
        nullptr,
        "data-mdurl",
    };
    return form;
}

#undef OC_CLASS_TOKEN

}  // namespace oc
