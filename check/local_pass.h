// The pass of the local engine: each segment against the documents of the
// folder. Called through runEnginePass and recheckEnginePass, which tell the
// listener how it ended.
#pragma once

#include "check/check_pass.h"

namespace oc {

PassEnd runLocalPass(const CheckRequest& request, const PassEnvironment& env, PassOutcome& outcome);
PassEnd recheckLocalPass(const CheckRequest& request, const PassEnvironment& env,
                         PassOutcome& outcome);

}  // namespace oc
