#pragma once
#include <cstdint>

// The cookie that every function with a local array, or a local whose address is taken, keeps below its return
// address and compares before it returns. The programs' files carry this value; each start replaces it, before
// any constructor of the program runs, with one that no one who reads the file can know.
inline constexpr std::uintptr_t stackGuardInFile = 0x2B992DDFA232;
extern "C" std::uintptr_t __stack_chk_guard;
