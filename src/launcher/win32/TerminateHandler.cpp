// Linked into launcher.exe only, ahead of the C++ runtime library.
//
// The runtime's default terminate handler prints the name of the uncaught
// exception's type, demangled, to standard error, which a windowed program does
// not have; it brings the whole demangler and a printf along (about 70 KB of
// the stub). Defining the handler here keeps the runtime's own out of the link.
// What the process does is unchanged: std::terminate still ends in abort().
#include <cstdlib>
#include <exception>

namespace __gnu_cxx {

void __verbose_terminate_handler() { std::abort(); }

}  // namespace __gnu_cxx
