#pragma once
// A signing key with its certificate, as loaded from a PKCS#12 file or a PKCS#11 token.
#include <openssl/evp.h>
#include <openssl/x509.h>

#include <memory>

struct EvpPkeyFree {
    void operator()(EVP_PKEY *k) const { EVP_PKEY_free(k); }
};
struct X509Free {
    void operator()(X509 *x) const { X509_free(x); }
};
struct X509StackFree {
    void operator()(STACK_OF(X509) *s) const { sk_X509_pop_free(s, X509_free); }
};

struct SigningIdentity {
    // Keeps alive what the key needs (the token's session); released last.
    std::shared_ptr<void> keeper;
    std::unique_ptr<EVP_PKEY, EvpPkeyFree> key;
    std::unique_ptr<X509, X509Free> certificate;
    std::unique_ptr<STACK_OF(X509), X509StackFree> chain;  // further certificates to carry; may be null
};
