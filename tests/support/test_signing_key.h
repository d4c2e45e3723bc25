#pragma once
// A key pair made for one test, to sign files the way releases are signed.

#include <gtest/gtest.h>
#include <sodium.h>

#include <QByteArray>
#include <array>

#include "update/update_check.h"

namespace kesta::test {

struct TestSigningKey {
  PublicKey publicKey{};
  std::array<unsigned char, crypto_sign_SECRETKEYBYTES> secretKey{};
  TestSigningKey() {
    EXPECT_GE(sodium_init(), 0);
    crypto_sign_keypair(publicKey.data(), secretKey.data());
  }
  QByteArray Sign(const QByteArray& message) const {
    QByteArray signature(crypto_sign_BYTES, '\0');
    crypto_sign_detached(reinterpret_cast<unsigned char*>(signature.data()), nullptr,
                         reinterpret_cast<const unsigned char*>(message.constData()), message.size(),
                         secretKey.data());
    return signature;
  }
};

}  // namespace kesta::test
