#include "app/desktop/article_marking.h"

#include "app/desktop/qt_text.h"
#include "check/report_builder.h"
#include "check/window_port.h"

namespace oc {
namespace {

// For each code unit of the article as displaySpans counts it, the position
// in the box's text where its character starts, and the end of the text
// last. The box may hold a line break as CR LF, and a character GBK lacks is
// one "?" in the article however many units it takes in the box.
std::vector<int> positionsOfUnits(const QString& text) {
    std::vector<int> positions;
    const int n = static_cast<int>(text.size());
    for (int i = 0; i < n;) {
        positions.push_back(i);
        if (text[i] == QLatin1Char('\r') && i + 1 < n && text[i + 1] == QLatin1Char('\n')) {
            i += 2;
        } else if (text[i].isHighSurrogate() && i + 1 < n && text[i + 1].isLowSurrogate()) {
            if (gbkFromQString(text.mid(i, 2)).size() == 4) {
                positions.push_back(i);  // a four-byte character counts two units
            }
            i += 2;
        } else {
            ++i;
        }
    }
    positions.push_back(n);
    return positions;
}

QString tipHtml(const std::string& tip) {
    // Titles and addresses come from web pages: escaped, never taken as markup.
    QString html = QString::fromUtf8(tip.data(), static_cast<qsizetype>(tip.size()))
                       .toHtmlEscaped()
                       .replace(QLatin1Char('\n'), QStringLiteral("<br>"));
    // A fixed width: the lines wrap there rather than into a narrow column.
    return QStringLiteral("<table width=\"560\"><tr><td>") + html +
           QStringLiteral("</td></tr></table>");
}

}  // namespace

std::vector<BoxMark> boxMarksOf(const QString& boxText, const Text& article,
                                const std::vector<PassageMark>& passages) {
    std::vector<std::optional<ArticleSpan>> spans;
    for (const PassageMark& passage : passages) {
        spans.push_back(passage.span);
    }
    spans = displaySpans(article, spans);
    const std::vector<int> positions = positionsOfUnits(boxText);
    std::vector<BoxMark> marks;
    for (std::size_t i = 0; i < passages.size(); ++i) {
        if (!spans[i] || spans[i]->end >= positions.size()) {
            continue;
        }
        const std::uint32_t colour =
            passages[i].status == RowStatus::Hit ? kColourHitRow : kColourUnverifiedRow;
        marks.push_back({positions[spans[i]->begin], positions[spans[i]->end],
                         colorFromColorRef(colour), tipHtml(passages[i].tip)});
    }
    return marks;
}

void markArticle(ArticleBox& box, const Text& article,
                 const std::map<Engine, PassOutcome>& outcomes) {
    const QString text = box.toPlainText();
    if (article.empty() || articleTextOf(text) != article) {
        box.clearMarks();
        return;
    }
    std::vector<ReportPass> passes;
    for (const auto& [engine, outcome] : outcomes) {
        passes.push_back(reportPassOf(engine, outcome, false));
    }
    std::vector<const ReportPass*> shown;
    for (const ReportPass& pass : passes) {
        shown.push_back(&pass);
    }
    box.setMarks(boxMarksOf(text, article, markedPassages(article, shown)));
}

}  // namespace oc
