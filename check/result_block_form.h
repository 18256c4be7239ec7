// Where an engine's result page keeps its results: the blocks, their title
// links and the displayed target addresses.
#pragma once

namespace oc {

struct ResultBlockForm {
    // Every element whose class attribute holds this token is a result block.
    const char* blockXPath;
    // Relative to a block: its title link, else its heading.
    const char* titleLinkXPath;
    const char* headingXPath;
    // The block's own attribute holding the target address (Baidu's mu), or null.
    const char* blockAddressAttribute;
    // The title link's attribute holding the target address (360's data-mdurl), or null;
    // its href is taken when the attributes are absent or blank.
    const char* linkAddressAttribute;
};

const ResultBlockForm& baiduBlockForm();
const ResultBlockForm& blockForm360();

}  // namespace oc
