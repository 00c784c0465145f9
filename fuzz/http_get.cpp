// The update check's HTTP transfer against a server whose every byte comes
// from the input: a transfer is complete only with the whole announced
// body, never passes its limit, and hands on exactly what it counted.
#include "update/http_get.h"
#include "support/fuzz_check.h"
#include "support/scripted_peer.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>

namespace {

constexpr long long Limit = 4096;

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static ScriptedPeer peer;
    static bool direct = [] { return unsetenv("http_proxy") == 0 && unsetenv("HTTP_PROXY") == 0; }();
    FUZZ_CHECK(direct);
    peer.Serve(std::string(reinterpret_cast<const char*>(data), size));
    std::string body;
    HttpGetResult result = HttpGet("http://127.0.0.1:" + std::to_string(peer.Port()) + "/update.htm", Limit, 5000,
                                   [&](std::string_view block, long long received, std::optional<long long>) {
                                       body.append(block);
                                       FUZZ_CHECK(received == static_cast<long long>(body.size()));
                                       return true;
                                   });
    peer.Finish();
    FUZZ_CHECK(result.Received == static_cast<long long>(body.size()));
    FUZZ_CHECK(result.Received <= Limit);
    if (result.Complete) {
        FUZZ_CHECK(result.Error.empty());
        FUZZ_CHECK(!result.Length || *result.Length == result.Received);
    } else {
        FUZZ_CHECK(!result.Error.empty());
    }
    return 0;
}
