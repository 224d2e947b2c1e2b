// Each failure the standard library reports by throwing reaches a handler for std::exception
// with the library's message; the memory failures as std::bad_alloc. Exits with the number of
// cases that went wrong.
#include <cstdint>
#include <cstdio>
#include <exception>
#include <memory>
#include <new>
#include <string>

// Read at run time, so that no case is decided while compiling.
volatile std::size_t g_huge = SIZE_MAX - 1, g_past_end = 9;
const char* volatile g_null = nullptr;

struct Case {
  const char* name;
  void (*fail)();
  bool bad_alloc;  // else another std::exception with a message
} const kCases[] = {
    {"string longer than it can be", [] { std::string().reserve(g_huge); }, true},
    {"allocation beyond the address space", [] { (void)std::allocator<char>().allocate(g_huge); }, true},
    {"array of more bytes than exist", [] { (void)std::allocator<int>().allocate(g_huge); }, true},
    {"substring past the end", [] { (void)std::string("abc").substr(g_past_end); }, false},
    {"string from a null pointer", [] { std::string text(g_null); }, false},
};

int main() {
  int wrong = 0;
  for (const Case& c : kCases) {
    const char* outcome = "nothing thrown";
    bool ok = false;
    try {
      c.fail();
    } catch (const std::bad_alloc& e) {
      outcome = e.what(), ok = c.bad_alloc;
    } catch (const std::exception& e) {
      outcome = e.what(), ok = !c.bad_alloc && *e.what();
    } catch (...) {
      outcome = "not a std::exception";
    }
    std::printf("%s %s: %s\n", ok ? "ok  " : "FAIL", c.name, outcome);
    wrong += !ok;
  }
  return wrong;
}
