// The keys under which a local document and an article segment are compared:
// both are prepared as the article is (so digits and Latin words drop out on
// both sides alike), then compared under the match keys with full-width forms
// folded; what folds to ASCII, white space and line ends drop out too, so a
// passage matches across the line breaks of either side.
#pragma once

#include "corpus/code_points.h"
#include "services/text_types.h"

namespace oc::corpus {

// The keys of GBK text as it stands (a segment already prepared).
CodePoints localKeys(const Text& gbk);

// The keys of a whole document's GBK text: prepared as the article, then keyed.
CodePoints documentKeys(const Text& gbk);

}  // namespace oc::corpus
