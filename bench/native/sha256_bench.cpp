// SHA-256 throughput of every path of ours beside OpenSSL's, on the same
// buffer in the cache: SIZE_MIB (default 256) hashed as one message in
// 1 MiB updates. Paths that take two messages at once also hash a second
// message of the same length beside it ("<path>-pair", counting the bytes
// of both). Prints "sha256 <path>: G GB/s" (GB = 1e9 bytes) per path,
// OpenSSL's last: the best of five rounds, each round running every one
// once, so that a slow spell of the machine falls on all alike. Fails when
// the digests differ.
//
//   sha256_bench [SIZE_MIB]
#include <openssl/evp.h>
#include <stdio.h>
#include <stdlib.h>

#include <chrono>
#include <functional>
#include <string>
#include <vector>

#include "sha256.h"

namespace {

using Digest = sundrel::Sha256Digest;

struct Contender {
    std::string name;
    // The digest of every message it hashed at once.
    std::function<std::vector<Digest>(const std::vector<uint8_t>& update, int updates)> hash;
    double best;
};

Digest OpenSslSha256(const std::vector<uint8_t>& update, int updates)
{
    Digest digest{};
    EVP_MD_CTX* context = EVP_MD_CTX_new();
    EVP_DigestInit_ex(context, EVP_sha256(), nullptr);
    for (int i = 0; i < updates; ++i)
        EVP_DigestUpdate(context, update.data(), update.size());
    EVP_DigestFinal_ex(context, digest.data(), nullptr);
    EVP_MD_CTX_free(context);
    return digest;
}

}  // namespace

int main(int argc, char** argv)
{
    const int megabytes = argc > 1 ? atoi(argv[1]) : 256;
    if (megabytes <= 0) return 1;
    std::vector<uint8_t> update(1 << 20);
    for (size_t i = 0; i < update.size(); ++i) update[i] = (uint8_t)(i * 2654435761u >> 24);

    std::vector<Contender> contenders;
    size_t count = 0;
    const sundrel::Sha256Path* paths = sundrel::AvailableSha256Paths(&count);
    for (size_t p = 0; p < count; ++p) {
        const sundrel::Sha256Path path = paths[p];
        contenders.push_back({path.name, [path](const std::vector<uint8_t>& data, int updates) {
                                  sundrel::Sha256 hasher(path);
                                  for (int i = 0; i < updates; ++i) hasher.Update(data.data(), data.size());
                                  return std::vector<Digest>{hasher.Finish()};
                              }, 0});
        if (path.compressPair)
            contenders.push_back({std::string(path.name) + "-pair",
                                  [path](const std::vector<uint8_t>& data, int updates) {
                                      sundrel::Sha256 first(path), second(path);
                                      for (int i = 0; i < updates; ++i)
                                          sundrel::UpdatePair(first, data.data(), data.size(), second,
                                                              data.data(), data.size());
                                      return std::vector<Digest>{first.Finish(), second.Finish()};
                                  }, 0});
    }
    contenders.push_back({"openssl", [](const std::vector<uint8_t>& data, int updates) {
                              return std::vector<Digest>{OpenSslSha256(data, updates)};
                          }, 0});

    const Digest expected = OpenSslSha256(update, megabytes);
    for (int round = 0; round < 5; ++round)
        for (Contender& contender : contenders) {
            const auto start = std::chrono::steady_clock::now();
            const std::vector<Digest> digests = contender.hash(update, megabytes);
            const std::chrono::duration<double> seconds = std::chrono::steady_clock::now() - start;
            if (digests != std::vector<Digest>(digests.size(), expected)) {
                fprintf(stderr, "sha256_bench: %s gives a wrong digest\n", contender.name.c_str());
                return 1;
            }
            const double rate = digests.size() * megabytes * 1048576.0 / 1e9 / seconds.count();
            if (rate > contender.best) contender.best = rate;
        }
    for (const Contender& contender : contenders)
        printf("sha256 %s: %.2f GB/s\n", contender.name.c_str(), contender.best);
    return 0;
}
