#pragma once
// A key pair made for one test, to sign releases the way the release tool does.

#include <gtest/gtest.h>
#include <sodium.h>

#include <QByteArray>
#include <array>
#include <string>
#include <utility>

#include "update/update_check.h"

namespace kesta::test {

struct TestSigningKey {
  PublicKey publicKey{};
  std::array<unsigned char, crypto_sign_SECRETKEYBYTES> secretKey{};
  TestSigningKey() {
    EXPECT_GE(sodium_init(), 0);
    crypto_sign_keypair(publicKey.data(), secretKey.data());
  }
  // The manifest of a release of `installer` as `version`, and its signature.
  std::pair<QByteArray, QByteArray> SignRelease(const QByteArray& installer,
                                                const std::string& version) const {
    ReleaseManifest release{version, static_cast<std::uint64_t>(installer.size())};
    crypto_hash_sha256(release.sha256.data(), reinterpret_cast<const unsigned char*>(installer.constData()),
                       installer.size());
    const QByteArray text = QByteArray::fromStdString(ManifestText(release));
    return {text, Sign(text)};
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
