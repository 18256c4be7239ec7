// Cutting an article into query pieces of whole sentences (检测方式 整句): the
// article's characters as written, cut where its sentences end, so that a copied
// sentence is asked for whole and an edit of one paragraph moves no other
// paragraph's pieces.
#pragma once

#include <vector>

#include "services/text_types.h"

namespace oc {

// A piece shorter than this many characters joins a neighbour when they fit.
inline constexpr int kShortPieceChars = 12;

struct SentenceCut {
    // GBK, in article order: runs of white space inside a line made one
    // space, no space at either end; a short paragraph joined to its neighbour
    // with one space between.
    std::vector<Text> pieces;
    // Characters of all pieces, each counted once (half a character for an
    // ASCII one, overlapping windows not doubled), truncated.
    int chars = 0;
};

// Paragraphs are the lines holding anything but white space. A sentence ends
// after 。！？；!?; or …… and the closing quotes or brackets that follow, or at
// its paragraph's end. Whole sentences are packed from each paragraph's start
// into pieces of at most 2 × segmentChars GBK bytes; a longer sentence is cut
// into windows of that size from its start, the last one ending at the
// sentence's end. A piece under kShortPieceChars characters joins the next
// piece of its paragraph when both fit, else the one before; a paragraph that
// short joins the next paragraph (the last one the paragraph before) when the
// result fits.
SentenceCut cutSentencePieces(const Text& article, int segmentChars);

}  // namespace oc
