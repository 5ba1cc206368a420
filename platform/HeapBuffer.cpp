#include "platform/Owners.h"

#include <cstdlib>

HeapBuffer& HeapBuffer::operator=(HeapBuffer&& other) noexcept
{
    if (this != &other) {
        Free();
        data_ = std::exchange(other.data_, nullptr);
        size_ = std::exchange(other.size_, 0);
    }
    return *this;
}

bool HeapBuffer::Allocate(std::size_t size)
{
    Free();
    data_ = static_cast<unsigned char*>(std::calloc(size ? size : 1, 1));
    size_ = data_ ? size : 0;
    return data_ != nullptr;
}

void HeapBuffer::Free()
{
    std::free(data_);
    data_ = nullptr;
    size_ = 0;
}
