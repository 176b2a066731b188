// A name for a control that takes none from the system: a list or an edit box
// is named after a label before it, and a group box is not one.
#pragma once

#include <windows.h>

#include <oleacc.h>

namespace platform {

using SysAllocStringFn = BSTR(WINAPI*)(const OLECHAR*);

// A new accessible object, holding its one reference for the caller, that
// answers get_accName for the control itself with `name` and passes every
// other call to `standard` (the control's object from CreateStdAccessibleObject),
// which it keeps a reference to until its own last release. `name` must
// outlive it. Null when memory is short.
IAccessible* namedAccessible(IAccessible* standard, const wchar_t* name, SysAllocStringFn allocate);

}  // namespace platform
