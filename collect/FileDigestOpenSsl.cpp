// collect/FileDigestOpenSsl.cpp - SHA-256 through OpenSSL's libcrypto
#include <openssl/evp.h>

#include <stdexcept>

#include "collect/FileDigest.h"

namespace pexol {

struct Sha256::State {
  struct Free {
    void operator()(EVP_MD_CTX* context) const { EVP_MD_CTX_free(context); }
  };
  std::unique_ptr<EVP_MD_CTX, Free> context{EVP_MD_CTX_new()};
};

Sha256::Sha256() : state_(std::make_unique<State>()) {
  if (!state_->context || EVP_DigestInit_ex(state_->context.get(), EVP_sha256(), nullptr) != 1)
    throw std::runtime_error("OpenSSL cannot start a SHA-256 digest");
}

Sha256::~Sha256() = default;

void Sha256::Add(const void* bytes, std::size_t size) {
  EVP_DigestUpdate(state_->context.get(), bytes, size);
}

std::string Sha256::HexDigest() {
  unsigned char digest[EVP_MAX_MD_SIZE];
  unsigned int size = 0;
  EVP_DigestFinal_ex(state_->context.get(), digest, &size);
  return HexOf(digest, size);
}

}  // namespace pexol
