// Small stand-ins for three corners of the C++ run-time library, linked into the programs only
// (the link wraps the library's symbols onto these; see vantrel_program in cmake/windows.cmake).
//
// Why: the library keeps each of its pieces in one object file, and the Windows linker keeps
// every function of an object it pulls in, used or not, because the exception tables name them
// all. Two small references drag in a great deal:
//  - the helpers that throw std::length_error, std::out_of_range and std::logic_error for the
//    containers sit beside every other such helper, whose exception classes carry a
//    reference-counted string type with all its members, and that pulls in std::random_device
//    and a second copy of std::string's members (about 85 KB in the 32-bit program);
//  - the default terminate handler names the escaping exception's type through the full C++
//    name demangler (about 45 KB).
//
// What changes: a container's "too long" now throws std::bad_alloc, and its "out of range" and
// "null pointer" throw LibraryError, a std::exception whose what() gives the library's message.
// The program catches std::exception or everything, never these types by name, so every catch
// handler still sees the failure with its message. An exception that escapes everything still
// ends the program through std::terminate; the note on the way out gives the type's name as
// the compiler spells it instead of the demangled one.
#include <cstdarg>
#include <cstddef>
#include <cstdio>
#include <exception>
#include <new>

namespace vantrel::app {
namespace {

class LibraryError final : public std::exception {
 public:
  // The library's message, which for the range errors is a format with its arguments.
  [[gnu::format(printf, 2, 0)]] LibraryError(const char* format, std::va_list arguments) noexcept {
    if (std::vsnprintf(what_, sizeof what_, format, arguments) < 0) what_[0] = '\0';
  }
  explicit LibraryError(const char* message) noexcept {
    std::snprintf(what_, sizeof what_, "%s", message ? message : "library error");
  }
  const char* what() const noexcept override { return what_; }

 private:
  char what_[160];
};

}  // namespace
}  // namespace vantrel::app

// The wrapped names are the library's own (mangled) symbols; the linker sends every reference
// to them here.
extern "C" {

[[noreturn]] void __wrap__ZSt20__throw_length_errorPKc(const char*) { throw std::bad_alloc(); }

[[noreturn, gnu::format(printf, 1, 2)]] void __wrap__ZSt24__throw_out_of_range_fmtPKcz(const char* format, ...) {
  std::va_list arguments;
  va_start(arguments, format);
  vantrel::app::LibraryError error(format, arguments);
  va_end(arguments);
  throw error;
}

[[noreturn]] void __wrap__ZSt19__throw_logic_errorPKc(const char* what) {
  throw vantrel::app::LibraryError(what);
}

[[noreturn]] void __wrap__ZSt17__throw_bad_allocv() { throw std::bad_alloc(); }

[[noreturn]] void __wrap__ZSt28__throw_bad_array_new_lengthv() { throw std::bad_array_new_length(); }

// The run-time's demangler: says it could not, so the caller prints the name as it stands.
char* __wrap___cxa_demangle(const char*, char*, std::size_t*, int* status) {
  if (status) *status = -1;  // "could not allocate": the caller then keeps the mangled name
  return nullptr;
}

}  // extern "C"
