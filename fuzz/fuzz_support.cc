#include "fuzz/fuzz_support.h"

#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>

#include "base/text.h"

namespace orvanta::fuzz {
namespace {

std::string* folder = nullptr;

void RemoveFolder() {
  std::error_code ignored;
  std::filesystem::remove_all(*folder, ignored);
}

}  // namespace

const std::string& ScratchFolder() {
  if (folder == nullptr) {
    // libFuzzer ends a failing run without the atexit handlers: tools/fuzz
    // gives every run a folder of its own and removes it afterwards.
    const char* base = std::getenv("ORVANTA_FUZZ_SCRATCH");
    if (base == nullptr && access("/dev/shm", W_OK) == 0) base = "/dev/shm";
    if (base == nullptr) base = std::getenv("TMPDIR");
    if (base == nullptr) base = "/tmp";
    std::string pattern = std::string(base) + "/orvanta-fuzz-XXXXXX";
    if (mkdtemp(pattern.data()) == nullptr) {
      std::perror("mkdtemp");
      std::abort();
    }
    folder = new std::string(pattern);
    std::atexit(RemoveFolder);
  }
  return *folder;
}

std::u16string PutScratchFile(std::string_view name, std::string_view bytes) {
  const std::string path = ScratchFolder() + "/" + std::string(name);
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
  if (!out.flush()) Broken("cannot write the scratch file");
  return Utf8ToUtf16(path);
}

void RemoveScratchFile(std::string_view name) {
  std::remove((ScratchFolder() + "/" + std::string(name)).c_str());
}

std::string ReadScratchFile(std::string_view name) {
  std::ifstream in(ScratchFolder() + "/" + std::string(name), std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), {});
}

void Broken(std::string_view what, std::u16string_view detail) {
  std::fprintf(stderr, "invariant broken: %.*s", static_cast<int>(what.size()),
               what.data());
  if (!detail.empty()) {
    const std::string text = Utf16ToUtf8(detail);
    std::fprintf(stderr, " [%s]", text.c_str());
  }
  std::fputc('\n', stderr);
  std::abort();
}

std::u16string CodeUnits(const uint8_t* data, size_t size) {
  std::u16string text;
  text.reserve(size / 2);
  for (size_t i = 0; i + 1 < size; i += 2) {
    text.push_back(static_cast<char16_t>(data[i] | (data[i + 1] << 8)));
  }
  return text;
}

}  // namespace orvanta::fuzz
