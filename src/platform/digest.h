// SHA-256 from the system's own implementation (CNG on Windows, libcrypto
// elsewhere): the checksums of the evidence export.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

namespace tanavo {

constexpr std::size_t kSha256Bytes = 32;
using Sha256Digest = std::array<unsigned char, kSha256Bytes>;

// False only when the system's hash could not be used.
bool Sha256OfBytes(std::string_view bytes, Sha256Digest* digest);
// The file read in pieces, opened for reading only (others may read and
// write it meanwhile), so a file of any size is hashed in little memory.
// *size receives the bytes hashed. False when it cannot be opened or read.
bool Sha256OfFile(const std::string& path, Sha256Digest* digest, std::uint64_t* size);

// SHA-256 of bytes given in pieces (a file as it is written).
class Sha256Stream {
 public:
  Sha256Stream();
  ~Sha256Stream();
  Sha256Stream(const Sha256Stream&) = delete;
  Sha256Stream& operator=(const Sha256Stream&) = delete;
  // False once the system's hash could not be used.
  bool Add(std::string_view bytes);
  bool Finish(Sha256Digest* digest);

 private:
  struct State;
  std::unique_ptr<State> state_;
  bool failed_ = false;
};

// Lower-case hexadecimal, as sha256sum writes it.
inline std::string HexDigest(const Sha256Digest& digest) {
  static constexpr char kHex[] = "0123456789abcdef";
  std::string hex;
  hex.reserve(2 * kSha256Bytes);
  for (unsigned char b : digest) {
    hex.push_back(kHex[b >> 4]);
    hex.push_back(kHex[b & 0x0F]);
  }
  return hex;
}

}  // namespace tanavo
