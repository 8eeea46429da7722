#pragma once
// Intrusive reference counting for pipeline stages. An object starts with count 0; ref_ptr does
// every acquire and release, and the last release deletes through the virtual destructor.
#include <cstdint>
#include <utility>

template <typename Base>
class ref_counted {
  public:
    void acquire() noexcept { ++refs_; }
    void release() noexcept {
        if (--refs_ == 0) delete static_cast<Base*>(this);
    }
    std::int32_t refs() const noexcept { return refs_; }

  protected:
    ref_counted() = default;
    ~ref_counted() = default;
    ref_counted(const ref_counted&) = delete;
    ref_counted& operator=(const ref_counted&) = delete;

  private:
    std::int32_t refs_ = 0;
};

template <typename T>
class ref_ptr {
  public:
    ref_ptr() = default;
    explicit ref_ptr(T* p) : p_(p) {
        if (p_) p_->acquire();
    }
    ref_ptr(const ref_ptr& o) : ref_ptr(o.p_) {}
    ref_ptr(ref_ptr&& o) noexcept : p_(std::exchange(o.p_, nullptr)) {}
    ref_ptr& operator=(ref_ptr o) noexcept {
        std::swap(p_, o.p_);
        return *this;
    }
    ~ref_ptr() {
        if (p_) p_->release();
    }

    T* get() const noexcept { return p_; }
    T* operator->() const noexcept { return p_; }
    T& operator*() const noexcept { return *p_; }
    explicit operator bool() const noexcept { return p_ != nullptr; }

  private:
    T* p_ = nullptr;
};
