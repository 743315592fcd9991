// The name of the program or shared library that holds an address, as the
// loader knows it: what Windows calls the module's base name.
#pragma once

#include <string>

namespace platform {

// The module's file name without folder and extension ("SaveCore30" for
// SaveCore30.so); the program's own name for an address in the program.
std::string strModuleBaseName(const void* pvAddress);

}  // namespace platform
