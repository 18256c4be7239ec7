// The pass of the local engine: every segment against the user's documents.
#include "check/local_pass.h"
#include "check/page_class.h"
#include "check/pass_steps.h"
#include "check/pass_texts.h"
#include "corpus/archive_library.h"
#include "corpus/local_keys.h"
#include "services/http_fetch.h"

namespace oc {
namespace {

// The documents brought up to date with the folder: Unusable, with the
// message shown, when there are none to check against.
enum class Library { Ready, Unusable, Stopped };

Library prepareLibrary(const CheckRequest& request, const PassEnvironment& env,
                       corpus::DocumentLibrary& library) {
    const std::string& folder = request.settings.localFolder;
    // 停止检测 and the shutdown end the indexing too.
    corpus::LibraryUpdate update = library.update(
        folder, env.indexProgress, [&env] { return env.stopRequested() || fetchesAborted(); });
    if (!update.notice.empty()) {
        env.platform->messageBox(update.notice, kMbOk, pass_texts::hintTitle());
    }
    if (update.stopped) {
        return Library::Stopped;
    }
    if (env.skippedFiles) {
        env.skippedFiles(library.skipped());
    }
    if (update.problem != corpus::FolderProblem::None || library.documentCount() == 0) {
        env.platform->messageBox(pass_texts::localFolderProblem(update.problem, folder), kMbOk,
                                 pass_texts::hintTitle());
        return Library::Unusable;
    }
    return Library::Ready;
}

SegmentResult checkLocalSegment(const corpus::DocumentLibrary& library, const Text& segment,
                                int minRunChars) {
    SegmentResult result;
    corpus::LocalMatch match = library.match(corpus::localKeys(segment), minRunChars);
    result.hits = match.hits;
    result.status = match.hits > 0 ? SegmentStatus::Hit : SegmentStatus::Original;
    if (match.hits > 0) {
        // Grouped by file where the reports count sources by domain.
        result.source = SegmentSource{match.title, match.path, match.path};
    }
    return result;
}

// A row the pass did not check: 已停止 when the user stopped the check.
SegmentResult stoppedResult(const PassEnvironment& env) {
    SegmentResult result;
    result.reason = env.stopRequested() ? stoppedReason() : unverified_reason::cancelled();
    result.cancelled = true;
    return result;
}

// Checks the segments of `outcome` whose index `todo` lists, in order, writing
// their rows; the rows of those a stop leaves are marked 已取消.
PassEnd checkRows(const PassEnvironment& env, corpus::DocumentLibrary& library, int minRunChars,
                  PassOutcome& outcome, const std::vector<std::size_t>& todo) {
    const EngineIdentity& shown = engineIdentity(Engine::Local);
    const int total = static_cast<int>(todo.size());
    int done = 0;
    env.window->passProgress(shown.grid, done, total);
    if (env.listener != nullptr) {
        env.listener->passStarted(Engine::Local, total);
    }
    bool stopped = false;
    for (std::size_t i : todo) {
        stopped = stopped || env.stopRequested() || fetchesAborted();
        SegmentResult result = stopped
                                   ? stoppedResult(env)
                                   : checkLocalSegment(library, outcome.segments[i], minRunChars);
        recordSegment(env, Engine::Local, outcome, i, std::move(result));
        if (!stopped) {
            env.window->passProgress(shown.grid, ++done, total);
        }
    }
    finishPass(env, shown, outcome,
               !stopped              ? PassStop::Finished
               : env.stopRequested() ? PassStop::Stopped
                                     : PassStop::Cancelled);
    return stopped ? PassEnd::Cancelled : PassEnd::Normal;
}

// A pass's own library when the environment brings none.
corpus::DocumentLibrary& libraryOf(const PassEnvironment& env,
                                   std::unique_ptr<corpus::DocumentLibrary>& own) {
    if (env.library) {
        return *env.library;
    }
    own = std::make_unique<corpus::ArchiveLibrary>();
    return *own;
}

}  // namespace

PassEnd runLocalPass(const CheckRequest& request, const PassEnvironment& env,
                     PassOutcome& outcome) {
    const EngineIdentity& shown = engineIdentity(Engine::Local);
    std::optional<PreparedPass> pass = beginPass(request, env, shown);
    if (!pass) {
        return PassEnd::EmptyArticle;
    }
    std::unique_ptr<corpus::DocumentLibrary> own;
    corpus::DocumentLibrary& library = libraryOf(env, own);
    std::lock_guard lock(library.mutex());
    Library ready = prepareLibrary(request, env, library);
    if (ready == Library::Unusable) {
        if (env.releaseCheckButton) {
            env.window->setButtonDisabled(component::kCheckButton, false);
        }
        return PassEnd::NoDocuments;
    }
    std::vector<std::size_t> todo;
    for (Text& segment : pass->segments) {
        todo.push_back(outcome.segments.size());
        outcome.rows.push_back(appendSegmentRow(*env.window, shown.grid, segment));
        outcome.segments.push_back(std::move(segment));
        outcome.results.push_back(stoppedResult(env));
    }
    recordSkippedLast(env, Engine::Local, outcome, *pass);
    // A stop while indexing leaves every row 已取消.
    return checkRows(env, library, request.settings.check.minRunChars, outcome, todo);
}

PassEnd recheckLocalPass(const CheckRequest& request, const PassEnvironment& env,
                         PassOutcome& outcome) {
    const EngineIdentity& shown = engineIdentity(Engine::Local);
    env.window->setButtonDisabled(component::kCheckButton, true);
    env.window->setLabelCaption(shown.valueLabel, Text());
    env.window->setLabelCaption(shown.verdictLabel, Text());
    std::unique_ptr<corpus::DocumentLibrary> own;
    corpus::DocumentLibrary& library = libraryOf(env, own);
    std::lock_guard lock(library.mutex());
    if (prepareLibrary(request, env, library) == Library::Unusable) {
        finishPass(env, shown, outcome, PassStop::Finished);
        return PassEnd::NoDocuments;
    }
    std::vector<std::size_t> todo;
    for (std::size_t i = 0; i < outcome.results.size(); ++i) {
        if (outcome.results[i].status == SegmentStatus::Unverified) {
            todo.push_back(i);
        }
    }
    return checkRows(env, library, request.settings.check.minRunChars, outcome, todo);
}

}  // namespace oc
