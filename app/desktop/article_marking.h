// The marks of a check in the article box: the passages the engines found
// copied (light red) or could not verify (grey), placed on the box's text.
#pragma once

#include <QString>
#include <map>
#include <vector>

#include "app/desktop/article_box.h"
#include "check/passage_marks.h"
#include "check/segment_status.h"

namespace oc {

// The marks of `passages` of `article` (the article as the passes read it from
// the box, whose text is `boxText`), in positions of the box's text.
std::vector<BoxMark> boxMarksOf(const QString& boxText, const Text& article,
                                const std::vector<PassageMark>& passages);

// Marks what the passes of the last check left in the box, when it still
// holds the article they read; otherwise the box stays unmarked.
void markArticle(ArticleBox& box, const Text& article,
                 const std::map<Engine, PassOutcome>& outcomes);

}  // namespace oc
