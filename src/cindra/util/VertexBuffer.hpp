// Vertex arrays that the console fills every frame: the same interface whether the data
// lives in an OpenGL buffer object or in a client-side array.
#pragma once

#include <algorithm>
#include <cstddef>
#include <limits>
#include <memory>
#include <span>
#include <type_traits>

namespace cindra::util {

template <typename T> class VertexBuffer {
public:
    virtual ~VertexBuffer() = default;
    // Storage of count elements to fill; the caller writes every element and reads none.
    virtual std::span<T> map() = 0;
    virtual void unmap() = 0;
    // Makes this the current source of vertex data; returns the pointer for gl*Pointer.
    virtual const void* bind() = 0;
    virtual void unbind() = 0;
};

// Client-side storage: float elements start as not-a-number, byte elements as 0.
template <typename T> class VertexBuffer_VA final : public VertexBuffer<T> {
public:
    explicit VertexBuffer_VA(std::size_t elements)
        : data(std::make_unique<T[]>(elements)), count(elements) {
        std::fill_n(data.get(), count, initialValue());
    }
    std::span<T> map() override { return {data.get(), count}; }
    void unmap() override {}
    const void* bind() override { return data.get(); }
    void unbind() override {}

private:
    static constexpr T initialValue() {
        if constexpr (std::is_floating_point_v<T>) {
            return std::numeric_limits<T>::quiet_NaN();
        } else {
            return T{};
        }
    }
    std::unique_ptr<T[]> data;
    std::size_t count;
};

} // namespace cindra::util
