// The script regular-expression component ("VBScript.RegExp"): properties
// Pattern, IgnoreCase, Global and Multiline; Execute gives a match collection
// (Count, Item(i) with Value, FirstIndex, Length and SubMatches), Replace fills
// in $-style replacements, Test tells whether the pattern matches. It works on
// whole characters, so a pattern sees characters, not GBK bytes; indexes and
// lengths count characters.
#pragma once

#include "text/variant.h"

namespace oc {

ComponentRef makeScriptRegExpComponent();

}  // namespace oc
