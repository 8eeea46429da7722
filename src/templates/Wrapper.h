#pragma once
// wrapper<T>: a shared, counted reference to an object (the object goes with the last copy).
// Using an empty wrapper throws wrapper<T>::ENullPointer ("Null pointer access violation").
#include <exception>
#include <memory>
#include <utility>

template <typename T>
class wrapper {
  public:
    class ENullPointer : public std::exception {
      public:
        const char* what() const noexcept override { return "Null pointer access violation"; }
    };

    wrapper() = default;
    explicit wrapper(std::shared_ptr<T> object) : object_(std::move(object)) {}

    template <typename U, typename... Args>
    static wrapper make(Args&&... args) {
        return wrapper(std::make_shared<U>(std::forward<Args>(args)...));
    }

    T& operator*() const { return checked(); }
    T* operator->() const { return &checked(); }
    explicit operator bool() const noexcept { return object_ != nullptr; }
    long use_count() const noexcept { return object_.use_count(); }

  private:
    T& checked() const {
        if (!object_) throw ENullPointer();
        return *object_;
    }

    std::shared_ptr<T> object_;
};
