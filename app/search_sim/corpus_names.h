// The names of the corpus layer the simulator uses, as its own.
#pragma once

#include "corpus/bigram_index.h"
#include "corpus/code_points.h"
#include "corpus/corpus.h"
#include "corpus/shared_runs.h"

namespace oc::sim {

using corpus::BigramIndex;
using corpus::CodePoints;
using corpus::Corpus;
using corpus::decodeUtf8;
using corpus::Document;
using corpus::encodeUtf8;
using corpus::isPunctuationKey;
using corpus::kReplacementChar;
using corpus::loadCorpus;
using corpus::longestSharedRun;
using corpus::matchKey;
using corpus::matchKeys;
using corpus::RankedDocument;
using corpus::Ranking;
using corpus::SharedRun;
using corpus::sharedRuns;

}  // namespace oc::sim
