// md5Encrypt and shaCrypt(SHA256) beside OpenSSL's EVP digest of the same bytes (plus the
// same hex formatting), over 1 KiB and 1 MiB texts.
#include "Compare.h"

#include <QVToolbox/QVToolbox.h>

#include <openssl/evp.h>

#include <cstdint>
#include <string>
#include <utility>

namespace {

std::string textOf(std::size_t size) {
    std::string s(size, 'a');
    for (std::size_t i = 0; i < size; ++i) s[i] = static_cast<char>('a' + i % 26);
    return s;
}

std::string evpHex(const EVP_MD* md, const std::string& text) {
    unsigned char out[EVP_MAX_MD_SIZE];
    unsigned int n = 0;
    EVP_Digest(text.data(), text.size(), out, &n, md, nullptr);
    static constexpr char digits[] = "0123456789abcdef";
    std::string hex;
    for (unsigned int i = 0; i < n; ++i) {
        hex.push_back(digits[out[i] >> 4]);
        hex.push_back(digits[out[i] & 15]);
    }
    return hex;
}

void md5Ours(benchmark::State& state, std::int64_t size) {
    const std::string text = textOf(static_cast<std::size_t>(size));
    for (auto _ : state) benchmark::DoNotOptimize(QVToolbox::hx(text).md5Encrypt(QVToolbox::MD5EncryptType::lowercase32));
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * size);
}
void md5Peer(benchmark::State& state, std::int64_t size) {
    const std::string text = textOf(static_cast<std::size_t>(size));
    const EVP_MD* md = EVP_md5();
    for (auto _ : state) benchmark::DoNotOptimize(evpHex(md, text));
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * size);
}
void shaOurs(benchmark::State& state, std::int64_t size) {
    const std::string text = textOf(static_cast<std::size_t>(size));
    for (auto _ : state) benchmark::DoNotOptimize(QVToolbox::hx(text).shaCrypt(QVToolbox::LuxSHAType::SHA256));
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * size);
}
void shaPeer(benchmark::State& state, std::int64_t size) {
    const std::string text = textOf(static_cast<std::size_t>(size));
    const EVP_MD* md = EVP_sha256();
    for (auto _ : state) benchmark::DoNotOptimize(evpHex(md, text));
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * size);
}

}  // namespace

int main(int argc, char** argv) {
    // Names without the size suffix that ->Arg would add, so that the pairs line up.
    for (const auto& [label, size] : {std::pair{"1KiB", std::int64_t{1} << 10}, std::pair{"1MiB", std::int64_t{1} << 20}}) {
        const std::string l = label;
        benchmark::RegisterBenchmark(("md5_" + l + "/ours").c_str(), [size](benchmark::State& s) { md5Ours(s, size); });
        benchmark::RegisterBenchmark(("md5_" + l + "/peer").c_str(), [size](benchmark::State& s) { md5Peer(s, size); });
        benchmark::RegisterBenchmark(("sha256_" + l + "/ours").c_str(), [size](benchmark::State& s) { shaOurs(s, size); });
        benchmark::RegisterBenchmark(("sha256_" + l + "/peer").c_str(), [size](benchmark::State& s) { shaPeer(s, size); });
    }
    return qvbench::run(argc, argv);
}
