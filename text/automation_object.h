// A holder of one shared reference to an automation component, driven late-bound
// by member name. Every failure is silent: reads and calls give the empty value
// of the kind asked for, setProperty gives false, and the calling thread's
// failure code tells why. A holder is used on one thread only.
#pragma once

#include "text/component.h"

namespace oc {

class AutomationObject {
  public:
    AutomationObject() = default;
    explicit AutomationObject(ComponentRef object) : object_(std::move(object)) {}

    // Holds a new instance of the registered component; on failure keeps what it held.
    bool createObject(const Text& progIdOrClassId);
    void clearObject() { object_.reset(); }
    bool isEmpty() const { return object_ == nullptr; }
    const ComponentRef& component() const { return object_; }

    // Reads bind a property get, then a function.
    Text getText(const Text& name, const Arguments& args = {}) const;
    double getNumber(const Text& name, const Arguments& args = {}) const;
    AutomationObject getObject(const Text& name, const Arguments& args = {}) const;
    Variant getVariant(const Text& name, const Arguments& args = {}) const;

    // Binds a property put, a put-by-reference, then a function; true when written.
    bool setProperty(const Text& name, const Variant& value) const;

    // Calls bind a function, then a property get, put and put-by-reference.
    void callMethod(const Text& name, const Arguments& args = {}) const;
    Text callText(const Text& name, const Arguments& args = {}) const;
    AutomationObject callObject(const Text& name, const Arguments& args = {}) const;

  private:
    ComponentRef object_;
};

// Why the calling thread's last automation call failed (None after a success).
AutomationFailure lastAutomationFailure();

}  // namespace oc
