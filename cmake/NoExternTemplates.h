/* Force-included into the launcher's own code on Windows (see CMakeLists.txt).

   libstdc++ declares its std::string (and stream) instantiations extern, so
   our objects call the copies in the library; linking one of them pulls in
   that library object whole, 30-35 KB each for char and wchar_t strings in
   the win32 stub, because the MinGW linker keeps every function that has
   unwind data. Without the extern declarations the compiler instantiates
   just the members we use, in our own objects. The value has no other
   effect: the library's configuration header sets it once, under an
   include guard. */
#include <bits/c++config.h>
#undef _GLIBCXX_EXTERN_TEMPLATE
#define _GLIBCXX_EXTERN_TEMPLATE 0
