// A small owning ANSI string. The program needs little more than building paths and
// message texts; std::string would cost a couple of hundred KiB in the static exe.
#pragma once

#include <cstddef>

class String {
public:
    String() = default;
    String(const char* text);
    String(const char* text, std::size_t length);
    String(const String& other);
    String(String&& other) noexcept;
    String& operator=(const String& other);
    String& operator=(String&& other) noexcept;
    ~String();

    const char* c_str() const { return data_ ? data_ : ""; }
    std::size_t size() const { return size_; }
    bool empty() const { return size_ == 0; }

    String& Append(const char* text);
    String& Append(const char* text, std::size_t length);
    String& Append(char c) { return Append(&c, 1); }
    String& Append(const String& other) { return Append(other.c_str(), other.size()); }

    bool operator==(const char* text) const;
    bool operator==(const String& other) const { return *this == other.c_str(); }
    bool operator!=(const char* text) const { return !(*this == text); }

private:
    void Reserve(std::size_t capacity);

    char* data_ = nullptr;
    std::size_t size_ = 0;
    std::size_t capacity_ = 0;
};

String operator+(const String& left, const char* right);
