#ifndef ORVANTA_FUZZ_FUZZ_SUPPORT_H_
#define ORVANTA_FUZZ_FUZZ_SUPPORT_H_

// What the fuzz targets share: a scratch folder for the files they feed to
// the code under test, and a way to stop on a broken invariant so that
// libFuzzer records the input.

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace orvanta::fuzz {

// A folder of this process's own, inside $ORVANTA_FUZZ_SCRATCH when set,
// else in memory where the machine has /dev/shm (the settings code flushes
// every file it writes); removed at a normal exit.
const std::string& ScratchFolder();

// Replaces the file `name` in the scratch folder with `bytes`; returns its
// path.
std::u16string PutScratchFile(std::string_view name, std::string_view bytes);
void RemoveScratchFile(std::string_view name);
std::string ReadScratchFile(std::string_view name);

// Prints what broke and aborts.
[[noreturn]] void Broken(std::string_view what,
                         std::u16string_view detail = {});

// Every other byte pair of the input as one UTF-16 code unit (little end
// first); an odd last byte is dropped.
std::u16string CodeUnits(const uint8_t* data, size_t size);

}  // namespace orvanta::fuzz

#endif  // ORVANTA_FUZZ_FUZZ_SUPPORT_H_
