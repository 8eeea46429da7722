#include "admin/MetabaseFile.h"

#include <algorithm>
#include <limits>
#include <nlohmann/json.hpp>

#include "admin/TextChecks.h"

namespace vdirkit {
namespace {

using nlohmann::ordered_json;

struct TypeName {
    MetabaseDataType type;
    const char* name;
};
constexpr TypeName kTypeNames[] = {{MetabaseDataType::Number, "number"},
                                   {MetabaseDataType::String, "string"},
                                   {MetabaseDataType::Binary, "binary"},
                                   {MetabaseDataType::ExpandString, "expandString"},
                                   {MetabaseDataType::MultiString, "multiString"}};

bool ReadUint32(const ordered_json& value, uint32_t& out) {
    if (!value.is_number_unsigned()) return false;
    const auto number = value.get<uint64_t>();
    if (number > std::numeric_limits<uint32_t>::max()) return false;
    out = static_cast<uint32_t>(number);
    return true;
}

int HexDigit(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

bool ReadValue(const ordered_json& json, MetabaseDataType type, MetabaseValue& out) {
    switch (type) {
        case MetabaseDataType::Number: {
            uint32_t number = 0;
            if (!ReadUint32(json, number)) return false;
            out = number;
            return true;
        }
        case MetabaseDataType::String:
        case MetabaseDataType::ExpandString:
            if (!json.is_string()) return false;
            out = json.get<std::string>();
            return true;
        case MetabaseDataType::MultiString: {
            if (!json.is_array()) return false;
            std::vector<std::string> texts;
            for (const auto& item : json) {
                if (!item.is_string()) return false;
                texts.push_back(item.get<std::string>());
            }
            out = std::move(texts);
            return true;
        }
        case MetabaseDataType::Binary: {
            if (!json.is_string()) return false;
            const auto& hex = json.get_ref<const std::string&>();
            if (hex.size() % 2 != 0) return false;
            std::vector<uint8_t> bytes;
            for (size_t i = 0; i < hex.size(); i += 2) {
                const int high = HexDigit(hex[i]), low = HexDigit(hex[i + 1]);
                if (high < 0 || low < 0) return false;
                bytes.push_back(static_cast<uint8_t>(high * 16 + low));
            }
            out = std::move(bytes);
            return true;
        }
    }
    return false;
}

bool ReadRecord(const ordered_json& json, MetabaseRecord& record) {
    if (!json.is_object() || !json.contains("type") || !json["type"].is_string() ||
        !json.contains("value"))
        return false;
    if (!ReadUint32(json.value("id", ordered_json()), record.id) ||
        !ReadUint32(json.value("attributes", ordered_json(0u)), record.attributes) ||
        !ReadUint32(json.value("userType", ordered_json(0u)), record.userType))
        return false;
    const auto& typeName = json["type"].get_ref<const std::string&>();
    const auto* type = std::find_if(std::begin(kTypeNames), std::end(kTypeNames),
                                    [&](const TypeName& t) { return typeName == t.name; });
    if (type == std::end(kTypeNames)) return false;
    record.dataType = type->type;
    return ReadValue(json["value"], record.dataType, record.value);
}

bool ReadKeys(const ordered_json& json, MetabaseKey& parent, size_t depth);

bool ReadKey(const ordered_json& json, MetabaseKey& parent, size_t depth) {
    if (!json.is_object() || !json.contains("name") || !json["name"].is_string()) return false;
    const auto& name = json["name"].get_ref<const std::string&>();
    if (!MetabaseKey::IsValidName(name)) return false;
    MetabaseKey* key = parent.AddChild(name);
    if (key == nullptr) return false;  // a duplicate name
    if (json.contains("properties")) {
        const auto& properties = json["properties"];
        if (!properties.is_array()) return false;
        for (const auto& item : properties) {
            MetabaseRecord record;
            if (!ReadRecord(item, record) || key->Record(record.id) != nullptr) return false;
            key->SetRecord(std::move(record));
        }
    }
    return !json.contains("keys") || ReadKeys(json["keys"], *key, depth + 1);
}

bool ReadKeys(const ordered_json& json, MetabaseKey& parent, size_t depth) {
    if (!json.is_array() || depth > MetabaseFile::kMaxKeyDepth) return false;
    for (const auto& item : json)
        if (!ReadKey(item, parent, depth)) return false;
    return true;
}

ordered_json WriteValue(const MetabaseValue& value) {
    if (const auto* bytes = std::get_if<std::vector<uint8_t>>(&value)) {
        static constexpr char kHex[] = "0123456789abcdef";
        std::string hex;
        for (const uint8_t b : *bytes) {
            hex += kHex[b >> 4];
            hex += kHex[b & 15];
        }
        return hex;
    }
    return std::visit([](const auto& v) { return ordered_json(v); }, value);
}

ordered_json WriteKey(const MetabaseKey& key) {
    ordered_json json = {{"name", key.name()}};
    if (!key.records().empty()) {
        auto& properties = json["properties"] = ordered_json::array();
        for (const auto& record : key.records()) {
            const auto* type =
                std::find_if(std::begin(kTypeNames), std::end(kTypeNames),
                             [&](const TypeName& t) { return record.dataType == t.type; });
            properties.push_back({{"id", record.id},
                                  {"attributes", record.attributes},
                                  {"userType", record.userType},
                                  {"type", type->name},
                                  {"value", WriteValue(record.value)}});
        }
    }
    if (!key.children().empty()) {
        auto& keys = json["keys"] = ordered_json::array();
        for (const auto& child : key.children()) keys.push_back(WriteKey(child));
    }
    return json;
}

}  // namespace

MetabaseKey MetabaseFile::FreshTree() {
    MetabaseKey root;
    root.Add(kSitesPath);
    return root;
}

MetabaseStatus MetabaseFile::Parse(std::string_view text, MetabaseKey& root) {
    if (text.size() > kMaxFileBytes) return MetabaseError::kInvalidData;
    if (text.find_first_not_of(" \t\r\n") == std::string_view::npos) {
        root = FreshTree();
        return MetabaseError::kSuccess;
    }
    const auto json = ordered_json::parse(text, nullptr, /*allow_exceptions=*/false);
    if (!json.is_object() || json.value("format", ordered_json()) != kFormatVersion)
        return MetabaseError::kInvalidData;
    MetabaseKey parsed;
    if (json.contains("keys") && !ReadKeys(json["keys"], parsed, 1))
        return MetabaseError::kInvalidData;
    root = std::move(parsed);
    return MetabaseError::kSuccess;
}

std::string MetabaseFile::Serialize(const MetabaseKey& root) {
    ordered_json json = {{"format", kFormatVersion}, {"keys", ordered_json::array()}};
    for (const auto& child : root.children()) json["keys"].push_back(WriteKey(child));
    // Replacement keeps a damaged text from throwing here; the metabase refuses such texts
    // before they are stored.
    return json.dump(2, ' ', false, ordered_json::error_handler_t::replace) + "\n";
}

}  // namespace vdirkit
