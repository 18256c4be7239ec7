// Bringing an article into the article box: from the clipboard, from a file
// chosen or dropped. What was lost on the way (bytes that are no UTF-8,
// characters GBK lacks) or a file too large is said in a message box.
#pragma once

#include <QString>

#include "services/article_decoding.h"
#include "services/platform.h"

class QPlainTextEdit;

namespace oc {

// Replaces the box's whole text as one step Ctrl+Z takes back.
void replaceArticleText(QPlainTextEdit& box, const QString& text);

// Puts the decoded article into the box (one undoable step), then names every
// warning in one message; an article too large leaves the box as it was and
// says so. False when the box was left as it was.
bool loadArticle(QPlainTextEdit& box, Platform& platform, const DecodedArticle& article);

// The clipboard's text, as 复制进来 pastes it; an empty clipboard changes
// nothing and says so. False when the box was left as it was.
bool pasteArticleFromClipboard(QPlainTextEdit& box, Platform& platform);

// A document (.txt, .md, .html, .htm, .docx, .pdf, as the command line reads
// it). False, with a message naming the file and the reason, when it cannot
// be read; the box is then left as it was.
bool openArticleFile(QPlainTextEdit& box, Platform& platform, const QString& path);

}  // namespace oc
