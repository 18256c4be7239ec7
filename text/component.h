// An in-process automation component: an object that lists its members by name
// and kind and carries out a call on one of them. AutomationObject reaches
// components only through this interface.
#pragma once

#include <string_view>
#include <vector>

#include "text/variant.h"

namespace oc {

enum class MemberKind { Function, PropertyGet, PropertyPut, PropertyPutRef };

// Why the last automation call of a thread failed; None after a success.
enum class AutomationFailure {
    None,
    NotRegistered,     // createObject with a name the registry lacks
    EmptyHolder,       // a member call on an empty AutomationObject
    UnknownMember,     // no member of that name binds
    BadArgumentCount,  // more arguments than declared, or a required one missing
    TypeMismatch,      // an argument of a kind the member cannot use
    ComponentError,    // the component refused the call (bad state, bad index, bad pattern)
};

// One member as the component declares it: a property's get and put are two
// members sharing an id. Parameters list their declared kinds (Any for a plain
// variant parameter); the last optionalCount of them may be left off.
struct MemberInfo {
    std::string_view name;
    int id = 0;
    MemberKind kind = MemberKind::Function;
    std::vector<VariantType> parameters;
    int optionalCount = 0;
};

using Arguments = std::vector<Variant>;

class Component {
  public:
    virtual ~Component() = default;
    virtual const std::vector<MemberInfo>& members() const = 0;
    // Carries out one call. The layer has already checked the argument count and
    // converted each argument to its declared kind where it could.
    virtual AutomationFailure invoke(int id, MemberKind kind, const Arguments& args,
                                     Variant& result) = 0;
};

// Argument i as a T, or nullptr when it is missing or of another kind.
template <typename T>
const T* argumentAs(const Arguments& args, std::size_t i) {
    return i < args.size() ? args[i].get<T>() : nullptr;
}

}  // namespace oc
