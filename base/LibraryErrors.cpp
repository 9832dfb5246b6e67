// How the standard library's own checks raise their errors in the Windows program.
//
// Why: libstdc++'s versions of these functions build std::logic_error and its kin, which carry the
// old reference-counted string. Linking them brings a second string implementation, a random device
// and their unwind tables into the program: with these replacements the code of the 32-bit program
// and its static runtime shrinks from about 198 000 to about 110 000 bytes (the text section,
// MinGW-w64 GCC 12). A failed check (a string longer than it may grow, a position past the end, an
// empty function called) is a fault of the program either way; here it comes as the program's own
// error, which the general error report shows like any other.
//
// What would break them: they replace the library's helpers by name at static link time, so a
// libstdc++ whose helpers change name or signature (the library's copies come back, or the link
// fails with duplicate symbols), linking the C++ runtime dynamically (the DLL keeps calling its
// own copies), or link-time optimisation that resolves the calls before these definitions are
// seen. Check the program's size after changing the toolchain.
#include <cstddef>
#include <new>

#include "base/AppError.h"

namespace std {

void __throw_bad_alloc() { throw bad_alloc(); }
void __throw_bad_array_new_length() { throw bad_array_new_length(); }
void __throw_length_error(const char* what) { throw perchette::AppError(what); }
void __throw_logic_error(const char* what) { throw perchette::AppError(what); }
// The library passes a printf format and its arguments; formatting them would bring the printf
// machinery back, and the raw format means nothing to a user.
void __throw_out_of_range_fmt(const char*, ...) {
  throw perchette::AppError("範囲の外の位置が指定されました");
}
void __throw_bad_function_call() { throw perchette::AppError("bad_function_call"); }

}  // namespace std
