// collect/FileDigestOpenSsl.cpp - SHA-256 through OpenSSL's libcrypto
//
// libcrypto is large and only a collect hashes, so it is opened by the first digest rather
// than at the start of every run; its own code is kept for its speed (SHA extensions) on
// files of gigabytes.
#include <openssl/evp.h>

#include <stdexcept>

#include "collect/FileDigest.h"
#include "core/SystemLibrary.h"
#include "core/Translation.h"

namespace pexol {

namespace detail {

/// The few calls a digest makes, found once for the process.
struct Crypto {
  SystemLibrary library{"libcrypto.so.3"};
  decltype(EVP_MD_CTX_new)* newContext = library.Find<decltype(EVP_MD_CTX_new)>("EVP_MD_CTX_new");
  decltype(EVP_MD_CTX_free)* freeContext =
      library.Find<decltype(EVP_MD_CTX_free)>("EVP_MD_CTX_free");
  decltype(EVP_sha256)* sha256 = library.Find<decltype(EVP_sha256)>("EVP_sha256");
  decltype(EVP_DigestInit_ex)* init =
      library.Find<decltype(EVP_DigestInit_ex)>("EVP_DigestInit_ex");
  decltype(EVP_DigestUpdate)* update = library.Find<decltype(EVP_DigestUpdate)>("EVP_DigestUpdate");
  decltype(EVP_DigestFinal_ex)* final =
      library.Find<decltype(EVP_DigestFinal_ex)>("EVP_DigestFinal_ex");

  bool Complete() const { return newContext && freeContext && sha256 && init && update && final; }
};

}  // namespace detail

namespace {

using detail::Crypto;

const Crypto& TheCrypto() {
  static const Crypto crypto;
  return crypto;
}

}  // namespace

struct Sha256::State {
  const Crypto& crypto = TheCrypto();
  struct Free {
    decltype(EVP_MD_CTX_free)* free;
    void operator()(EVP_MD_CTX* context) const { free(context); }
  };
  std::unique_ptr<EVP_MD_CTX, Free> context{crypto.Complete() ? crypto.newContext() : nullptr,
                                            Free{crypto.freeContext}};
};

Sha256::Sha256() : state_(std::make_unique<State>()) {
  if (!state_->crypto.Complete())
    throw std::runtime_error(
        std::string(Tr("OpenSSL's libcrypto (libcrypto.so.3) is not installed")));
  if (!state_->context ||
      state_->crypto.init(state_->context.get(), state_->crypto.sha256(), nullptr) != 1)
    throw std::runtime_error(std::string(Tr("OpenSSL cannot start a SHA-256 digest")));
}

Sha256::~Sha256() = default;

void Sha256::Add(const void* bytes, std::size_t size) {
  state_->crypto.update(state_->context.get(), bytes, size);
}

std::string Sha256::HexDigest() {
  unsigned char digest[EVP_MAX_MD_SIZE];
  unsigned int size = 0;
  state_->crypto.final(state_->context.get(), digest, &size);
  return HexOf(digest, size);
}

}  // namespace pexol
