// Whole files by Windows path.
#include <string>

#include "commands.h"
#include "protocol.h"

namespace pwdriver {
namespace {

class File {
 public:
  explicit File(HANDLE h) : h_(h) {}
  ~File() {
    if (h_ != INVALID_HANDLE_VALUE) ::CloseHandle(h_);
  }
  File(const File&) = delete;
  File& operator=(const File&) = delete;
  HANDLE get() const { return h_; }
  bool ok() const { return h_ != INVALID_HANDLE_VALUE; }

 private:
  HANDLE h_;
};

}  // namespace

std::string ReadWholeFile(const std::string& path) {
  File f(::CreateFileW(Widen(path).c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                       FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!f.ok()) throw CommandError("cannot open " + path);
  LARGE_INTEGER size{};
  if (!::GetFileSizeEx(f.get(), &size)) throw CommandError("cannot size " + path);
  std::string bytes(static_cast<std::size_t>(size.QuadPart), '\0');
  DWORD read = 0;
  if (!bytes.empty() && (!::ReadFile(f.get(), bytes.data(), static_cast<DWORD>(bytes.size()), &read, nullptr) ||
                         read != bytes.size())) {
    throw CommandError("cannot read " + path);
  }
  return bytes;
}

void WriteWholeFile(const std::string& path, const std::string& bytes) {
  File f(::CreateFileW(Widen(path).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL,
                       nullptr));
  if (!f.ok()) throw CommandError("cannot create " + path);
  DWORD written = 0;
  if (!bytes.empty() &&
      (!::WriteFile(f.get(), bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr) ||
       written != bytes.size())) {
    throw CommandError("cannot write " + path);
  }
}

}  // namespace pwdriver
