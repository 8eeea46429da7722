#pragma once
// One property of a metabase key: identifier, attributes, user type, data type and value.
#include <cstdint>
#include <string>
#include <utility>
#include <variant>
#include <vector>

namespace vdirkit {

// The numbers are the metabase's own data type codes.
enum class MetabaseDataType : uint32_t {
    Number = 1,
    String = 2,
    Binary = 3,
    ExpandString = 4,
    MultiString = 5,
};

using MetabaseValue =
    std::variant<uint32_t, std::string, std::vector<std::string>, std::vector<uint8_t>>;

struct MetabaseRecord {
    uint32_t id = 0;
    uint32_t attributes = 0;
    uint32_t userType = 0;
    MetabaseDataType dataType = MetabaseDataType::String;
    // Number holds uint32_t; String and ExpandString std::string (UTF-8); MultiString
    // std::vector<std::string>; Binary std::vector<uint8_t>.
    MetabaseValue value = std::string();

    bool operator==(const MetabaseRecord&) const = default;

    // True when `value` holds the alternative that `dataType` names.
    bool IsConsistent() const {
        switch (dataType) {
            case MetabaseDataType::Number:
                return std::holds_alternative<uint32_t>(value);
            case MetabaseDataType::String:
            case MetabaseDataType::ExpandString:
                return std::holds_alternative<std::string>(value);
            case MetabaseDataType::MultiString:
                return std::holds_alternative<std::vector<std::string>>(value);
            case MetabaseDataType::Binary:
                return std::holds_alternative<std::vector<uint8_t>>(value);
        }
        return false;
    }

    static MetabaseRecord Text(uint32_t id, uint32_t attributes, uint32_t userType,
                               std::string text) {
        return {id, attributes, userType, MetabaseDataType::String, std::move(text)};
    }
    static MetabaseRecord Number(uint32_t id, uint32_t attributes, uint32_t userType,
                                 uint32_t number) {
        return {id, attributes, userType, MetabaseDataType::Number, number};
    }
    static MetabaseRecord Texts(uint32_t id, uint32_t attributes, uint32_t userType,
                                std::vector<std::string> texts) {
        return {id, attributes, userType, MetabaseDataType::MultiString, std::move(texts)};
    }
};

}  // namespace vdirkit
