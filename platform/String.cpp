#include "platform/String.h"

#include <cstdlib>
#include <cstring>

String::String(const char* text) { Append(text ? text : ""); }

String::String(const char* text, std::size_t length) { Append(text, length); }

String::String(const String& other) { Append(other.c_str(), other.size_); }

String::String(String&& other) noexcept : data_(other.data_), size_(other.size_), capacity_(other.capacity_)
{
    other.data_ = nullptr;
    other.size_ = other.capacity_ = 0;
}

String& String::operator=(const String& other)
{
    if (this != &other) {
        size_ = 0;
        Append(other.c_str(), other.size_);
    }
    return *this;
}

String& String::operator=(String&& other) noexcept
{
    if (this != &other) {
        std::free(data_);
        data_ = other.data_;
        size_ = other.size_;
        capacity_ = other.capacity_;
        other.data_ = nullptr;
        other.size_ = other.capacity_ = 0;
    }
    return *this;
}

String::~String() { std::free(data_); }

void String::Reserve(std::size_t capacity)
{
    if (data_ && capacity <= capacity_)
        return;
    std::size_t grown = capacity_ * 2 > capacity ? capacity_ * 2 : capacity;
    char* data = static_cast<char*>(std::realloc(data_, grown + 1));
    if (!data)
        std::abort();
    data_ = data;
    capacity_ = grown;
}

String& String::Append(const char* text) { return Append(text, std::strlen(text)); }

String& String::Append(const char* text, std::size_t length)
{
    Reserve(size_ + length);
    if (length)
        std::memmove(data_ + size_, text, length);
    size_ += length;
    data_[size_] = '\0';
    return *this;
}

bool String::operator==(const char* text) const { return std::strcmp(c_str(), text ? text : "") == 0; }

String operator+(const String& left, const char* right)
{
    String joined(left);
    joined.Append(right);
    return joined;
}
