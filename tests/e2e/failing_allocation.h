// Makes one allocation of the program's own code fail, as memory running out
// would: this test program's operator new throws std::bad_alloc once, on the
// thread that asked, at the next allocation it makes.
#pragma once

namespace e2e {

void failNextAllocation();
// Whether an allocation was refused since failNextAllocation(); none is after this.
bool allocationRefused();

}  // namespace e2e
