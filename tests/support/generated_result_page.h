// A made-up search result page of realistic size: UTF-8 HTML, mostly Chinese
// text in result blocks, each abstract with one em-highlighted fragment, as the
// engines send them. The same seed gives the same page, byte for byte.
#pragma once

#include <cstdint>
#include <string>

namespace oc::testing {

// Whose result markup carries the results: Baidu's div.c-container blocks,
// or 360's li.res-list blocks with the target in the title link's data-mdurl.
enum class ResultMarkup { Baidu, So360 };

struct GeneratedPageShape {
    int blocks = 200;
    // The abstracts are sized so that the whole page comes to about this size.
    std::size_t targetBytes = 300 * 1024;
    ResultMarkup markup = ResultMarkup::Baidu;
};

// The page (UTF-8); the same seed and sizes give the same results in either
// markup, at about the same size. Some fragments are long runs taken from
// generatedArticleUtf8 of the same seed, so a check finds real hits in it.
std::string generatedResultPage(std::uint32_t seed, const GeneratedPageShape& shape = {});

// An article of `chars` Chinese characters with punctuation and line breaks
// (UTF-8), drawn from the same characters as the page.
std::string generatedArticleUtf8(std::uint32_t seed, int chars);

}  // namespace oc::testing
