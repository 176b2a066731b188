// Resource identifiers and the version, shared by the resource script and the code.
#pragma once

#define IDI_APP 30001

#define APP_VERSION_BINARY 1, 0, 0, 0
#define APP_VERSION_TEXT "1.00"
