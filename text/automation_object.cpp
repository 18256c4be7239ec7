#include "text/automation_object.h"

#include <initializer_list>

#include "services/ascii_case.h"
#include "text/component_registry.h"

namespace oc {
namespace {

thread_local AutomationFailure lastFailure = AutomationFailure::None;

using BindOrder = std::initializer_list<MemberKind>;
constexpr BindOrder kReadOrder = {MemberKind::PropertyGet, MemberKind::Function};
constexpr BindOrder kWriteOrder = {MemberKind::PropertyPut, MemberKind::PropertyPutRef,
                                   MemberKind::Function};
constexpr BindOrder kCallOrder = {MemberKind::Function, MemberKind::PropertyGet,
                                  MemberKind::PropertyPut, MemberKind::PropertyPutRef};

const MemberInfo* bindMember(const Component& object, const Text& name, BindOrder order) {
    for (MemberKind kind : order) {
        for (const MemberInfo& member : object.members()) {
            if (member.kind == kind && equalsIgnoringAsciiCase(member.name, name)) {
                return &member;
            }
        }
    }
    return nullptr;
}

AutomationFailure invokeBound(Component& object, const MemberInfo& member, Arguments args,
                              Variant& result) {
    std::size_t declared = member.parameters.size();
    if (args.size() > declared ||
        args.size() + static_cast<std::size_t>(member.optionalCount) < declared) {
        return AutomationFailure::BadArgumentCount;
    }
    for (std::size_t i = 0; i < args.size(); ++i) {
        // A value that cannot be converted goes on as it is; the component decides.
        if (auto converted = changeVariantType(args[i], member.parameters[i])) {
            args[i] = std::move(*converted);
        }
    }
    return object.invoke(member.id, member.kind, args, result);
}

// Binds and calls; the result, or the empty value, with the thread's failure code set.
Variant dispatch(const ComponentRef& object, const Text& name, BindOrder order,
                 const Arguments& args) {
    Variant result;
    AutomationFailure failure = AutomationFailure::EmptyHolder;
    if (object) {
        const MemberInfo* member = bindMember(*object, name, order);
        failure =
            member ? invokeBound(*object, *member, args, result) : AutomationFailure::UnknownMember;
    }
    lastFailure = failure;
    return failure == AutomationFailure::None ? result : Variant();
}

// The result as the kind asked for; the empty value when it has no such form.
Variant resultAs(const Variant& result, VariantType type) {
    if (result.isEmpty() && lastFailure != AutomationFailure::None) {
        return result;
    }
    if (auto converted = changeVariantType(result, type)) {
        return *converted;
    }
    lastFailure = AutomationFailure::TypeMismatch;
    return Variant();
}

Text textResult(const Variant& result) {
    Variant text = resultAs(result, VariantType::Text);
    return text.isEmpty() ? Text() : gbkFromWide(*text.get<WideText>());
}

AutomationObject objectResult(const Variant& result) {
    Variant object = resultAs(result, VariantType::Object);
    return object.isEmpty() ? AutomationObject() : AutomationObject(*object.get<ComponentRef>());
}

}  // namespace

bool AutomationObject::createObject(const Text& progIdOrClassId) {
    ComponentRef created = createComponent(progIdOrClassId);
    if (!created) {
        lastFailure = AutomationFailure::NotRegistered;
        return false;
    }
    object_ = std::move(created);
    lastFailure = AutomationFailure::None;
    return true;
}

Text AutomationObject::getText(const Text& name, const Arguments& args) const {
    return textResult(dispatch(object_, name, kReadOrder, args));
}

double AutomationObject::getNumber(const Text& name, const Arguments& args) const {
    Variant number = resultAs(dispatch(object_, name, kReadOrder, args), VariantType::Double);
    return number.isEmpty() ? 0.0 : *number.get<double>();
}

AutomationObject AutomationObject::getObject(const Text& name, const Arguments& args) const {
    return objectResult(dispatch(object_, name, kReadOrder, args));
}

Variant AutomationObject::getVariant(const Text& name, const Arguments& args) const {
    return dispatch(object_, name, kReadOrder, args);
}

bool AutomationObject::setProperty(const Text& name, const Variant& value) const {
    dispatch(object_, name, kWriteOrder, {value});
    return lastFailure == AutomationFailure::None;
}

void AutomationObject::callMethod(const Text& name, const Arguments& args) const {
    dispatch(object_, name, kCallOrder, args);
}

Text AutomationObject::callText(const Text& name, const Arguments& args) const {
    return textResult(dispatch(object_, name, kCallOrder, args));
}

AutomationObject AutomationObject::callObject(const Text& name, const Arguments& args) const {
    return objectResult(dispatch(object_, name, kCallOrder, args));
}

AutomationFailure lastAutomationFailure() {
    return lastFailure;
}

}  // namespace oc
