#pragma once
// Request-scoped store of typed values under small integer keys (see InternalDataKeys.h).
//
// Contract:
//  - Insert never overwrites: when the key is present the new value is discarded. To change a
//    stored value, Get<T> it and assign through the reference (or use Set).
//  - Get<T> throws ValueNotFound when the key is absent and TypeMismatch when the stored value
//    is not exactly a Value<T>.
//  - Copying an InternalData clones every value.
// Used by the request thread only.
#include <map>
#include <memory>
#include <utility>

class InternalData {
  public:
    struct ValueNotFound {};
    struct TypeMismatch {};

    class ValueBase {
      public:
        virtual std::unique_ptr<ValueBase> clone() const = 0;
        virtual ~ValueBase() = default;
    };

    template <typename T>
    class Value final : public ValueBase {
      public:
        Value() = default;
        explicit Value(T v) : value(std::move(v)) {}
        std::unique_ptr<ValueBase> clone() const override { return std::make_unique<Value>(*this); }
        T value;
    };

    InternalData() = default;
    InternalData(const InternalData& other) { copyFrom(other); }
    InternalData& operator=(const InternalData& other) {
        if (this != &other) {
            values_.clear();
            copyFrom(other);
        }
        return *this;
    }
    InternalData(InternalData&&) = default;
    InternalData& operator=(InternalData&&) = default;

    template <typename T>
    void Insert(int key, const Value<T>& value) {
        if (!Find(key)) values_.emplace(key, value.clone());
    }
    // Moves `value` into the store: no copy of what may be a large value (white lists, texts).
    template <typename T>
    void Insert(int key, T value) {
        if (!Find(key)) values_.emplace(key, std::make_unique<Value<T>>(std::move(value)));
    }

    // Changes the stored value when the key exists, inserts it otherwise. The stored type must
    // match when the key exists.
    template <typename T>
    void Set(int key, T value) {
        if (Find(key))
            Get<T>(key) = std::move(value);
        else
            values_.emplace(key, std::make_unique<Value<T>>(std::move(value)));
    }

    template <typename T>
    T& Get(int key) {
        auto it = values_.find(key);
        if (it == values_.end()) throw ValueNotFound{};
        auto* typed = dynamic_cast<Value<T>*>(it->second.get());
        if (typed == nullptr) throw TypeMismatch{};
        return typed->value;
    }
    template <typename T>
    const T& Get(int key) const {
        return const_cast<InternalData*>(this)->Get<T>(key);
    }

    // Returns the value, or `fallback` when the key is absent or of another type.
    // Answers without throwing: optional values are read on every request, and the first
    // exception of a process is costly (the unwinder loads its tables).
    template <typename T>
    T GetOr(int key, T fallback) const {
        const auto it = values_.find(key);
        if (it == values_.end()) return fallback;
        const auto* typed = dynamic_cast<const Value<T>*>(it->second.get());
        return typed ? typed->value : fallback;
    }

    bool Find(int key) const { return values_.count(key) != 0; }
    void Erase(int key) { values_.erase(key); }
    size_t size() const { return values_.size(); }

  private:
    void copyFrom(const InternalData& other) {
        for (const auto& [key, value] : other.values_) values_.emplace(key, value->clone());
    }

    std::map<int, std::unique_ptr<ValueBase>> values_;
};
