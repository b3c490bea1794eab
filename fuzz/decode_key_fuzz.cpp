// Keys from the bytes a terminal sends: any bytes decode to keys that each
// take at least one byte, a key once decided does not change when more bytes
// may follow, and a read that ends with a CR gives the same keys as when the
// bytes after it had come in the same read.
#include "fuzz_support.h"
#include "key_decoder.h"

#include <string_view>
#include <vector>

using morv_fuzz::require;

namespace {

bool is_key(int key) {
    return (key >= 1 && key <= 255) || (key >= morv::KEY_LEFT && key <= morv::KEY_IGNORED);
}

void decode_read(morv::KeyDecoder& decoder, std::string_view rest, std::vector<int>& keys) {
    while (!rest.empty()) {
        const morv::DecodedKey waiting = morv::decode_key(rest, true);
        const morv::DecodedKey decided = morv::decode_key(rest, false);
        require(waiting.consumed > 0 || rest[0] == 27, "only an ESC waits for more bytes");
        require(waiting.consumed == 0 ||
                    (waiting.key == decided.key && waiting.consumed == decided.consumed),
                "a decided key stays the same when no more bytes may come");
        const morv::DecodedKey decoded = morv::decode_key(decoder, rest, false);
        require(decoded.consumed >= 1 && decoded.consumed <= rest.size(),
                "a key takes at least one byte and no more than there are");
        require(is_key(decoded.key) || (decoded.key == morv::KEY_NONE && decoded.consumed == 1 &&
                                        (rest[0] == '\n' || rest[0] == 0)),
                "every key is a character or a known key; only an LF or a NUL may be none");
        if (decoded.key != morv::KEY_NONE) {
            keys.push_back(decoded.key);
        }
        rest.remove_prefix(decoded.consumed);
    }
}

std::vector<int> keys_of_reads(std::string_view bytes, std::size_t split) {
    morv::KeyDecoder decoder;
    std::vector<int> keys;
    decode_read(decoder, bytes.substr(0, split), keys);
    decode_read(decoder, bytes.substr(split), keys);
    return keys;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string bytes = morv_fuzz::as_text(data, size);
    const std::vector<int> whole = keys_of_reads(bytes, bytes.size());
    for (std::size_t split = 1; split < bytes.size(); ++split) {
        if (bytes[split - 1] == '\r') {
            require(keys_of_reads(bytes, split) == whole,
                    "a read ending with a CR changes no key after it");
        }
    }
    return 0;
}
