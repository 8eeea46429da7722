// Feeds arbitrary bytes to the interface-text file reader (UTF-8, UTF-16 LE and BE with their
// byte-order marks) and to the plugin-name extraction. Keys and values must come out as valid
// UTF-8 from UTF-16 files; nothing may crash.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "kernel/filters/IntTextLoad_FLT.h"
#include "orthd/TemplateInit_FLT.h"
#include "text/Utf16Conversion.h"

namespace {

// Valid UTF-8, and only valid UTF-8, survives the round trip through UTF-16 unchanged.
bool IsValidUtf8(const std::string& text) { return Utf16ToUtf8(Utf8ToUtf16(text)) == text; }

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string bytes(reinterpret_cast<const char*>(data), size);
    const auto texts = IntTextLoad_FLT::ParseTextFile(bytes);
    if (texts.replaceExisting) {
        for (const auto& [key, value] : texts.entries) {
            if (!IsValidUtf8(key) || !IsValidUtf8(value)) std::abort();
        }
    }
    const size_t split = bytes.find('\n');
    if (split != std::string::npos) {
        try {
            const std::string star = orthd::TemplateInit_FLT::matchNameTemplate(
                bytes.substr(0, split), bytes.substr(split + 1));
            if (star.size() > size) std::abort();
        } catch (const orthd::TemplateInit_FLT::EInvalidTemplate&) {
        } catch (const orthd::TemplateInit_FLT::ENotMatch&) {
        }
    }
    return 0;
}
