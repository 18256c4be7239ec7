#include "check/check_comparison.h"

#include <map>

namespace oc {
namespace {

const StoredPass* passOf(const StoredCheck& check, Engine engine) {
    for (const StoredPass& pass : check.passes) {
        if (pass.summary.engine == engine) {
            return &pass;
        }
    }
    return nullptr;
}

EngineComparison compareRows(Engine engine, const StoredPass* before, const StoredPass* after) {
    EngineComparison comparison;
    comparison.engine = engine;
    comparison.valueBefore = before ? before->summary.value : std::string();
    comparison.valueAfter = after ? after->summary.value : std::string();
    // The earlier rows of each text not yet matched, in order.
    std::map<std::string, std::vector<const StoredRow*>> unmatched;
    if (before) {
        for (auto row = before->rows.rbegin(); row != before->rows.rend(); ++row) {
            unmatched[row->text].push_back(&*row);
        }
    }
    if (after) {
        for (const StoredRow& row : after->rows) {
            auto earlier = unmatched.find(row.text);
            if (earlier == unmatched.end() || earlier->second.empty()) {
                comparison.changes.push_back({row.text, std::nullopt, row.status});
                continue;
            }
            const StoredRow* match = earlier->second.back();
            earlier->second.pop_back();
            if (match->status != row.status) {
                comparison.changes.push_back({row.text, match->status, row.status});
            }
        }
    }
    if (before) {
        // Matching took the first occurrences of each text: the last ones
        // left unmatched are gone, listed in the earlier order.
        std::map<std::string, std::size_t> total;
        for (const StoredRow& row : before->rows) {
            ++total[row.text];
        }
        std::map<std::string, std::size_t> seen;
        for (const StoredRow& row : before->rows) {
            const std::size_t occurrence = seen[row.text]++;
            if (occurrence >= total[row.text] - unmatched[row.text].size()) {
                comparison.changes.push_back({row.text, row.status, std::nullopt});
            }
        }
    }
    return comparison;
}

}  // namespace

std::vector<EngineComparison> compareChecks(const StoredCheck& before, const StoredCheck& after) {
    std::vector<EngineComparison> comparisons;
    for (Engine engine : {Engine::Baidu, Engine::So360, Engine::Local}) {
        const StoredPass* earlier = passOf(before, engine);
        const StoredPass* later = passOf(after, engine);
        if (earlier != nullptr || later != nullptr) {
            comparisons.push_back(compareRows(engine, earlier, later));
        }
    }
    return comparisons;
}

}  // namespace oc
