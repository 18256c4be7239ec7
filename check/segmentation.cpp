#include "check/segmentation.h"

#include "check/sentence_pieces.h"
#include "services/byte_sets.h"
#include "services/conversions.h"
#include "text/article_filters.h"

namespace oc {

const Text kSegmentMarker =
    "\xA1\xF1\xA1\xF4\xA1\xF1\xA1\xF1\xA1\xF4\xA1\xF1\xA1\xF1\xA1\xF1";  // ●◆●●◆●●●

int articleCharCount(const Text& prepared) {
    return static_cast<int>(prepared.size() / 2);
}

Text cutSegments(const Text& prepared, int segmentBytes) {
    const long long L = segmentBytes > 0 ? segmentBytes : 2 * kMaxSegmentChars;
    const long long n = static_cast<long long>(prepared.size());
    const long long slots = (n + L - 1) / L + 1;
    Text out;
    out.reserve(prepared.size() + static_cast<std::size_t>(slots) * kSegmentMarker.size());
    long long p = 1;  // 1-based position of the next character
    for (long long k = 1; k <= slots; ++k) {
        std::size_t segmentStart = static_cast<std::size_t>(p - 1);
        while (p < k * L && p <= n) {
            bool twoBytes = isLeadByte(prepared[static_cast<std::size_t>(p - 1)]) && p < n;
            p += twoBytes ? 2 : 1;
        }
        out.append(prepared, segmentStart, static_cast<std::size_t>(p - 1) - segmentStart);
        out += kSegmentMarker;
    }
    out.resize(out.size() - kSegmentMarker.size());
    return out;
}

SegmentList splitSegments(const Text& joined) {
    SegmentList list;
    for (ByteSet& piece : splitBytes(ByteSet(joined), ByteSet(kSegmentMarker))) {
        list.push_back(toText(piece));
    }
    return list;
}

ArticleCut cutArticle(const Text& article, const CheckSettings& settings) {
    ArticleCut cut;
    if (settings.mode == CheckMode::Sentence) {
        SentenceCut pieces = cutSentencePieces(article, settings.segmentChars);
        cut.segments.assign(std::make_move_iterator(pieces.pieces.begin()),
                            std::make_move_iterator(pieces.pieces.end()));
        cut.chars = pieces.chars;
        return cut;
    }
    const Text prepared = prepareArticle(article);
    cut.chars = articleCharCount(prepared);
    cut.segments = splitSegments(cutSegments(prepared, 2 * settings.segmentChars));
    return cut;
}

}  // namespace oc
