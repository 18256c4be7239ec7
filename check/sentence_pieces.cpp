#include "check/sentence_pieces.h"

#include <algorithm>
#include <string_view>

#include "corpus/code_points.h"
#include "services/boundary_text.h"

namespace oc {
namespace {

using corpus::CodePoints;

// [begin, end) in a paragraph's characters.
struct Span {
    std::size_t begin = 0;
    std::size_t end = 0;
};

bool isWhiteSpace(char32_t c) {
    return c <= 0x20 || c == 0x3000 || c == 0x7F || c == 0xA0;
}

bool isLineEnd(char32_t c) {
    return c == U'\n' || c == U'\r' || c == 0x2028 || c == 0x2029;
}

bool endsSentence(char32_t c) {
    return std::u32string_view(U"。！？；!?;").find(c) != std::u32string_view::npos;
}

bool closesSentence(char32_t c) {
    return std::u32string_view(U"”’」』）)】》〉］]｝}\"'").find(c) != std::u32string_view::npos;
}

// GBK bytes of a character: an ASCII one counts half a character.
std::size_t widthOf(char32_t c) {
    return c < 0x80 ? 1 : 2;
}

// A paragraph: its characters with white space runs made one space and none
// at either end.
class Paragraph {
  public:
    // Copied, not moved: GCC 12 takes the moved string's small buffer for
    // uninitialised in a Release build (a false -Wmaybe-uninitialized).
    explicit Paragraph(const CodePoints& text) : text_(text) {
        offsets_.assign(text_.size() + 1, 0);
        for (std::size_t i = 0; i < text_.size(); ++i) {
            offsets_[i + 1] = offsets_[i] + widthOf(text_[i]);
        }
    }

    const CodePoints& text() const { return text_; }
    std::size_t size() const { return text_.size(); }

    // The span without the spaces at its ends.
    Span trimmed(Span span) const {
        while (span.begin < span.end && text_[span.begin] == U' ') {
            ++span.begin;
        }
        while (span.end > span.begin && text_[span.end - 1] == U' ') {
            --span.end;
        }
        return span;
    }
    std::size_t bytes(Span span) const {
        span = trimmed(span);
        return offsets_[span.end] - offsets_[span.begin];
    }
    // The furthest end from `begin` (toward `limit`) within `budget` bytes,
    // at least one character past begin.
    std::size_t advance(std::size_t begin, std::size_t limit, std::size_t budget) const {
        std::size_t end = begin;
        while (end < limit && offsets_[end + 1] - offsets_[begin] <= budget) {
            ++end;
        }
        return std::max(end, std::min(begin + 1, limit));
    }
    // The earliest begin (from `floor`) whose span to `end` is within budget.
    std::size_t retreat(std::size_t end, std::size_t floor, std::size_t budget) const {
        std::size_t begin = end;
        while (begin > floor && offsets_[end] - offsets_[begin - 1] <= budget) {
            --begin;
        }
        return std::min(begin, end > floor ? end - 1 : floor);
    }

  private:
    CodePoints text_;
    std::vector<std::size_t> offsets_;  // bytes before each character
};

std::vector<Paragraph> paragraphsOf(const CodePoints& article) {
    std::vector<Paragraph> paragraphs;
    CodePoints line;
    bool pendingSpace = false;
    auto endLine = [&] {
        if (!line.empty()) {
            paragraphs.emplace_back(line);
        }
        line.clear();
        pendingSpace = false;
    };
    for (char32_t c : article) {
        if (isLineEnd(c)) {
            endLine();
        } else if (isWhiteSpace(c)) {
            pendingSpace = !line.empty();
        } else {
            if (pendingSpace) {
                line += U' ';
                pendingSpace = false;
            }
            line += c;
        }
    }
    endLine();
    return paragraphs;
}

// The sentences of a paragraph, in order, covering it.
std::vector<Span> sentencesOf(const Paragraph& paragraph) {
    const CodePoints& text = paragraph.text();
    std::vector<Span> sentences;
    std::size_t begin = 0;
    for (std::size_t i = 0; i < text.size();) {
        const bool ellipsis = text[i] == U'…' && i + 1 < text.size() && text[i + 1] == U'…';
        if (!endsSentence(text[i]) && !ellipsis) {
            ++i;
            continue;
        }
        // The marks that end it, and the quotes and brackets closing after them.
        while (i < text.size() &&
               (endsSentence(text[i]) || text[i] == U'…' || closesSentence(text[i]))) {
            ++i;
        }
        sentences.push_back({begin, i});
        begin = i;
    }
    if (begin < text.size()) {
        sentences.push_back({begin, text.size()});
    }
    return sentences;
}

// The pieces of one paragraph before the short ones are joined.
std::vector<Span> packSentences(const Paragraph& paragraph, std::size_t budget) {
    std::vector<Span> pieces;
    bool openPiece = false;  // the last piece holds whole sentences and may take more
    for (Span sentence : sentencesOf(paragraph)) {
        if (paragraph.bytes(sentence) == 0) {
            continue;  // a lone space
        }
        if (paragraph.bytes(sentence) > budget) {
            // Windows from its start, the last one ending at its end.
            sentence = paragraph.trimmed(sentence);
            std::size_t at = sentence.begin;
            while (paragraph.bytes({at, sentence.end}) > budget) {
                std::size_t end = paragraph.advance(at, sentence.end, budget);
                pieces.push_back({at, end});
                at = end;
            }
            if (at > sentence.begin) {
                at = paragraph.retreat(sentence.end, sentence.begin, budget);
            }
            pieces.push_back({at, sentence.end});
            openPiece = false;
            continue;
        }
        if (openPiece && paragraph.bytes({pieces.back().begin, sentence.end}) <= budget) {
            pieces.back().end = sentence.end;
        } else {
            pieces.push_back(sentence);
            openPiece = true;
        }
    }
    return pieces;
}

Span joined(Span a, Span b) {
    return {std::min(a.begin, b.begin), std::max(a.end, b.end)};
}

// A piece under kShortPieceChars joins the next piece when both fit, else the
// one before; one that fits neither stays alone.
void joinShortPieces(const Paragraph& paragraph, std::vector<Span>& pieces, std::size_t budget) {
    const std::size_t shortBytes = 2 * kShortPieceChars;
    for (std::size_t i = 0; i < pieces.size();) {
        if (paragraph.bytes(pieces[i]) >= shortBytes) {
            ++i;
            continue;
        }
        if (i + 1 < pieces.size() && paragraph.bytes(joined(pieces[i], pieces[i + 1])) <= budget) {
            pieces[i] = joined(pieces[i], pieces[i + 1]);
            pieces.erase(pieces.begin() + static_cast<std::ptrdiff_t>(i) + 1);
            continue;  // it may still be short
        }
        if (i > 0 && paragraph.bytes(joined(pieces[i - 1], pieces[i])) <= budget) {
            pieces[i - 1] = joined(pieces[i - 1], pieces[i]);
            pieces.erase(pieces.begin() + static_cast<std::ptrdiff_t>(i));
            continue;
        }
        ++i;
    }
}

Text gbkOf(const Paragraph& paragraph, Span span) {
    span = paragraph.trimmed(span);
    return gbkFromUtf8(corpus::encodeUtf8(
        std::u32string_view(paragraph.text()).substr(span.begin, span.end - span.begin)));
}

// Bytes of the paragraph that some piece holds.
std::size_t coveredBytes(const Paragraph& paragraph, const std::vector<Span>& pieces) {
    std::vector<bool> covered(paragraph.size(), false);
    std::size_t bytes = 0;
    for (Span piece : pieces) {
        piece = paragraph.trimmed(piece);
        for (std::size_t i = piece.begin; i < piece.end; ++i) {
            if (!covered[i]) {
                covered[i] = true;
                bytes += widthOf(paragraph.text()[i]);
            }
        }
    }
    return bytes;
}

}  // namespace

SentenceCut cutSentencePieces(const Text& article, int segmentChars) {
    const std::size_t budget = 2 * static_cast<std::size_t>(std::max(segmentChars, 1));
    const std::size_t shortBytes = 2 * kShortPieceChars;
    struct Cut {
        std::vector<Text> pieces;
        std::size_t bytes = 0;  // of the paragraph's own text
    };
    std::vector<Cut> cuts;
    std::size_t bytes = 0;
    for (const Paragraph& paragraph : paragraphsOf(corpus::decodeUtf8(utf8FromGbk(article)))) {
        std::vector<Span> spans = packSentences(paragraph, budget);
        joinShortPieces(paragraph, spans, budget);
        Cut cut;
        for (Span span : spans) {
            cut.pieces.push_back(gbkOf(paragraph, span));
        }
        cut.bytes = paragraph.bytes({0, paragraph.size()});
        bytes += coveredBytes(paragraph, spans);
        cuts.push_back(std::move(cut));
    }
    // A short paragraph (a title) joins the next one, the last one the one before.
    static const Text space = " ";
    for (std::size_t p = 0; p < cuts.size(); ++p) {
        Cut& cut = cuts[p];
        if (cut.bytes >= shortBytes || cut.pieces.size() != 1) {
            continue;
        }
        if (p + 1 < cuts.size()) {
            Text& first = cuts[p + 1].pieces.front();
            if (cut.pieces.front().size() + 1 + first.size() <= budget) {
                first = cut.pieces.front() + space + first;
                cuts[p + 1].bytes += cut.bytes + 1;  // it may join on in turn
                cut.pieces.clear();
            }
        } else if (p > 0 && !cuts[p - 1].pieces.empty()) {
            Text& last = cuts[p - 1].pieces.back();
            if (last.size() + 1 + cut.pieces.front().size() <= budget) {
                last += space + cut.pieces.front();
                cut.pieces.clear();
            }
        }
    }
    SentenceCut result;
    for (Cut& cut : cuts) {
        for (Text& piece : cut.pieces) {
            result.pieces.push_back(std::move(piece));
        }
    }
    result.chars = static_cast<int>(bytes / 2);
    return result;
}

}  // namespace oc
