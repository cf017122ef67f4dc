// SHA-256 with Windows CNG (BCrypt hash objects).
#include <windows.h>
#include <bcrypt.h>

#include <vector>

#include "platform/digest.h"

namespace tanavo {

namespace {

constexpr DWORD kFilePieceBytes = 1 << 20;

// One hash object for the life of the value; NT_SUCCESS without its header.
class CngSha256 {
 public:
  CngSha256() {
    if (BCryptOpenAlgorithmProvider(&alg_, BCRYPT_SHA256_ALGORITHM, nullptr, 0) < 0) {
      alg_ = nullptr;
      return;
    }
    // Since Windows 7 CNG keeps the hash object's memory itself.
    if (BCryptCreateHash(alg_, &hash_, nullptr, 0, nullptr, 0, 0) < 0) hash_ = nullptr;
  }
  ~CngSha256() {
    if (hash_) BCryptDestroyHash(hash_);
    if (alg_) BCryptCloseAlgorithmProvider(alg_, 0);
  }
  CngSha256(const CngSha256&) = delete;
  CngSha256& operator=(const CngSha256&) = delete;

  bool Ready() const { return hash_ != nullptr; }
  bool Add(const void* bytes, ULONG n) {
    return BCryptHashData(hash_, static_cast<PUCHAR>(const_cast<void*>(bytes)), n, 0) >= 0;
  }
  bool Finish(Sha256Digest* digest) {
    return BCryptFinishHash(hash_, digest->data(), static_cast<ULONG>(digest->size()), 0) >= 0;
  }

 private:
  BCRYPT_ALG_HANDLE alg_ = nullptr;
  BCRYPT_HASH_HANDLE hash_ = nullptr;
};

}  // namespace

struct Sha256Stream::State {
  CngSha256 hash;
};

Sha256Stream::Sha256Stream() : state_(std::make_unique<State>()) { failed_ = !state_->hash.Ready(); }
Sha256Stream::~Sha256Stream() = default;

bool Sha256Stream::Add(std::string_view bytes) {
  // ULONG counts: a piece over 4 GiB goes in parts.
  for (std::size_t at = 0; !failed_ && at < bytes.size(); at += kFilePieceBytes) {
    const std::size_t n = bytes.size() - at < kFilePieceBytes ? bytes.size() - at : kFilePieceBytes;
    if (!state_->hash.Add(bytes.data() + at, static_cast<ULONG>(n))) failed_ = true;
  }
  return !failed_;
}

bool Sha256Stream::Finish(Sha256Digest* digest) { return !failed_ && state_->hash.Finish(digest); }

bool Sha256OfBytes(std::string_view bytes, Sha256Digest* digest) {
  CngSha256 h;
  if (!h.Ready()) return false;
  // ULONG counts: a text over 4 GiB goes in pieces.
  for (std::size_t at = 0; at < bytes.size(); at += kFilePieceBytes) {
    const std::size_t n = bytes.size() - at < kFilePieceBytes ? bytes.size() - at : kFilePieceBytes;
    if (!h.Add(bytes.data() + at, static_cast<ULONG>(n))) return false;
  }
  return h.Finish(digest);
}

bool Sha256OfFile(const std::string& path, Sha256Digest* digest, std::uint64_t* size) {
  CngSha256 h;
  if (!h.Ready()) return false;
  HANDLE f = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                         FILE_ATTRIBUTE_NORMAL | FILE_FLAG_SEQUENTIAL_SCAN, nullptr);
  if (f == INVALID_HANDLE_VALUE) return false;
  std::vector<unsigned char> piece(kFilePieceBytes);
  std::uint64_t total = 0;
  bool ok = true;
  for (;;) {
    DWORD got = 0;
    if (!ReadFile(f, piece.data(), kFilePieceBytes, &got, nullptr)) {
      ok = false;
      break;
    }
    if (got == 0) break;
    total += got;
    if (!h.Add(piece.data(), got)) {
      ok = false;
      break;
    }
  }
  CloseHandle(f);
  if (!ok || !h.Finish(digest)) return false;
  *size = total;
  return true;
}

}  // namespace tanavo
