// The components built into the program, found by ProgID or by class id.
#pragma once

#include "services/text_types.h"
#include "text/variant.h"

namespace oc {

// A new instance of the component registered under `name`: a ProgID such as
// "VBScript.RegExp", or a class id in registry form ("{...}"); both compared
// without regard to ASCII case. Null for a name that is not registered.
ComponentRef createComponent(const Text& name);

}  // namespace oc
