#include "text/component_registry.h"

#include <string_view>

#include "services/ascii_case.h"
#include "text/script_regexp_component.h"
#include "text/stream_component.h"

namespace oc {
namespace {

struct Registration {
    std::string_view progId;
    std::string_view classId;
    ComponentRef (*make)();
};

constexpr Registration kRegistry[] = {
    {"VBScript.RegExp", "{3F4DACA4-160D-11D2-A8E9-00104B365C9F}", makeScriptRegExpComponent},
    {"ADODB.Stream", "{00000566-0000-0010-8000-00AA006D2EA4}", makeStreamComponent},
};

}  // namespace

ComponentRef createComponent(const Text& name) {
    bool isClassId = name.starts_with('{');
    for (const Registration& entry : kRegistry) {
        if (equalsIgnoringAsciiCase(isClassId ? entry.classId : entry.progId, name)) {
            return entry.make();
        }
    }
    return nullptr;
}

}  // namespace oc
