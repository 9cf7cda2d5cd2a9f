// collect/FileDigestWin32.cpp - SHA-256 through Windows' CNG (bcrypt.dll)
#include <windows.h>
// windows.h first: bcrypt.h needs its types.
#include <bcrypt.h>

#include <stdexcept>

#include "collect/FileDigest.h"
#include "core/Translation.h"

namespace pexol {

struct Sha256::State {
  BCRYPT_ALG_HANDLE algorithm = nullptr;
  BCRYPT_HASH_HANDLE hash = nullptr;
  ~State() {
    if (hash != nullptr) BCryptDestroyHash(hash);
    if (algorithm != nullptr) BCryptCloseAlgorithmProvider(algorithm, 0);
  }
};

Sha256::Sha256() : state_(std::make_unique<State>()) {
  if (!BCRYPT_SUCCESS(
          BCryptOpenAlgorithmProvider(&state_->algorithm, BCRYPT_SHA256_ALGORITHM, nullptr, 0)) ||
      !BCRYPT_SUCCESS(
          BCryptCreateHash(state_->algorithm, &state_->hash, nullptr, 0, nullptr, 0, 0)))
    throw std::runtime_error(std::string(Tr("Windows cannot start a SHA-256 digest")));
}

Sha256::~Sha256() = default;

void Sha256::Add(const void* bytes, std::size_t size) {
  // CNG takes at most 4 GiB a call.
  const auto* at = static_cast<const unsigned char*>(bytes);
  while (size > 0) {
    const ULONG piece = size > 0x40000000 ? 0x40000000 : static_cast<ULONG>(size);
    BCryptHashData(state_->hash, const_cast<PUCHAR>(at), piece, 0);
    at += piece;
    size -= piece;
  }
}

std::string Sha256::HexDigest() {
  unsigned char digest[32];
  BCryptFinishHash(state_->hash, digest, sizeof digest, 0);
  return HexOf(digest, sizeof digest);
}

}  // namespace pexol
