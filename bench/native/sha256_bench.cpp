// SHA-256 throughput of every path of ours beside OpenSSL's, on the same
// buffer in the cache: SIZE_MIB (default 256) hashed as one message in
// 1 MiB updates. Prints "sha256 <path>: G GB/s" (GB = 1e9 bytes) per path,
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
    std::function<Digest(const std::vector<uint8_t>& update, int updates)> hash;
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
                                  return hasher.Finish();
                              }, 0});
    }
    contenders.push_back({"openssl", OpenSslSha256, 0});

    const Digest expected = OpenSslSha256(update, megabytes);
    for (int round = 0; round < 5; ++round)
        for (Contender& contender : contenders) {
            const auto start = std::chrono::steady_clock::now();
            const Digest digest = contender.hash(update, megabytes);
            const std::chrono::duration<double> seconds = std::chrono::steady_clock::now() - start;
            if (digest != expected) {
                fprintf(stderr, "sha256_bench: %s gives a wrong digest\n", contender.name.c_str());
                return 1;
            }
            const double rate = megabytes * 1048576.0 / 1e9 / seconds.count();
            if (rate > contender.best) contender.best = rate;
        }
    for (const Contender& contender : contenders)
        printf("sha256 %s: %.2f GB/s\n", contender.name.c_str(), contender.best);
    return 0;
}
