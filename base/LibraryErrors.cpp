// How the standard library's own checks raise their errors in the Windows program.
//
// Its versions of these functions build std::logic_error and its kin, which carry the old
// reference-counted string: linking them brings a second string implementation, a random device
// and their unwind tables into the program, about a third of its code. A failed check (a string
// longer than it may grow, an empty function called) is a fault of the program either way; here
// it comes as the program's own error, which the general error report shows like any other.
#include <cstddef>
#include <new>

#include "base/AppError.h"

namespace std {

void __throw_bad_alloc() { throw bad_alloc(); }
void __throw_bad_array_new_length() { throw bad_array_new_length(); }
void __throw_length_error(const char* what) { throw perchette::AppError(what); }
void __throw_logic_error(const char* what) { throw perchette::AppError(what); }
void __throw_out_of_range_fmt(const char* format, ...) { throw perchette::AppError(format); }
void __throw_bad_function_call() { throw perchette::AppError("bad_function_call"); }

}  // namespace std
