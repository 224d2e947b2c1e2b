// Each failure the standard library reports by throwing reaches a handler for std::exception
// with a message, and the memory failures still as std::bad_alloc. Prints a line per case;
// exits with the number of cases that went wrong.
#include <cstdint>
#include <cstdio>
#include <exception>
#include <memory>
#include <new>
#include <string>
#include <vector>

namespace {

// Read at run time, so that no case is decided while compiling.
volatile std::size_t g_huge = SIZE_MAX - 1, g_past_end = 9;
const char* volatile g_null = nullptr;

struct Case {
  const char* name;
  void (*fail)();
  bool bad_alloc;  // else any other std::exception with a message
};
const Case kCases[] = {
    {"string longer than it can be", [] { std::string().reserve(g_huge); }, true},
    {"vector longer than it can be", [] { std::vector<char>().reserve(g_huge); }, true},
    {"allocation beyond the address space", [] { (void)std::allocator<char>().allocate(g_huge); }, true},
    {"array of more bytes than exist", [] { (void)std::allocator<int>().allocate(g_huge); }, true},
    {"substring past the end", [] { (void)std::string("abc").substr(g_past_end); }, false},
    {"character past the end", [] { (void)std::string("abc").at(g_past_end); }, false},
    {"string from a null pointer", [] { std::string text(g_null); }, false},
};

}  // namespace

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
      outcome = e.what(), ok = !c.bad_alloc && e.what() && *e.what();
    } catch (...) {
      outcome = "not a std::exception";
    }
    std::printf("%s %s: %s\n", ok ? "ok  " : "FAIL", c.name, outcome);
    wrong += !ok;
  }
  return wrong;
}
