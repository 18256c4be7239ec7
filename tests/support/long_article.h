// A long article made up for tests and benchmarks: paragraphs of Chinese
// characters with punctuation, ASCII words and line breaks, as a pasted
// article has them.
#pragma once

#include "services/text_types.h"

namespace oc::testing {

// `chars` characters as the article is read (GBK; a line break is one): Chinese characters and what
// a writer puts between them; the same text for the same count.
Text longArticle(int chars);

}  // namespace oc::testing
