// SHA-256 with OpenSSL's libcrypto (EVP) for tanavo-cli on Linux.
#ifndef _WIN32
#include <fcntl.h>
#include <openssl/evp.h>
#include <unistd.h>

#include <cerrno>
#include <memory>
#include <vector>

#include "platform/digest.h"

namespace tanavo {

namespace {

constexpr std::size_t kFilePieceBytes = 1 << 20;

struct ContextFree {
  void operator()(EVP_MD_CTX* c) const { EVP_MD_CTX_free(c); }
};
using Context = std::unique_ptr<EVP_MD_CTX, ContextFree>;

Context StartSha256() {
  Context c(EVP_MD_CTX_new());
  if (c && EVP_DigestInit_ex(c.get(), EVP_sha256(), nullptr) != 1) c.reset();
  return c;
}

bool FinishSha256(EVP_MD_CTX* c, Sha256Digest* digest) {
  unsigned int n = 0;
  return EVP_DigestFinal_ex(c, digest->data(), &n) == 1 && n == kSha256Bytes;
}

}  // namespace

struct Sha256Stream::State {
  Context context = StartSha256();
};

Sha256Stream::Sha256Stream() : state_(std::make_unique<State>()) { failed_ = !state_->context; }
Sha256Stream::~Sha256Stream() = default;

bool Sha256Stream::Add(std::string_view bytes) {
  if (!failed_ && EVP_DigestUpdate(state_->context.get(), bytes.data(), bytes.size()) != 1) failed_ = true;
  return !failed_;
}

bool Sha256Stream::Finish(Sha256Digest* digest) {
  return !failed_ && FinishSha256(state_->context.get(), digest);
}

bool Sha256OfBytes(std::string_view bytes, Sha256Digest* digest) {
  Context c = StartSha256();
  return c && EVP_DigestUpdate(c.get(), bytes.data(), bytes.size()) == 1 && FinishSha256(c.get(), digest);
}

bool Sha256OfFile(const std::string& path, Sha256Digest* digest, std::uint64_t* size) {
  Context c = StartSha256();
  if (!c) return false;
  const int fd = ::open(path.c_str(), O_RDONLY);
  if (fd < 0) return false;
  std::vector<unsigned char> piece(kFilePieceBytes);
  std::uint64_t total = 0;
  bool ok = true;
  for (;;) {
    const ssize_t n = ::read(fd, piece.data(), piece.size());
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) ok = false;
    if (n <= 0) break;
    total += static_cast<std::uint64_t>(n);
    if (EVP_DigestUpdate(c.get(), piece.data(), static_cast<std::size_t>(n)) != 1) {
      ok = false;
      break;
    }
  }
  ::close(fd);
  if (!ok || !FinishSha256(c.get(), digest)) return false;
  *size = total;
  return true;
}

}  // namespace tanavo
#endif
