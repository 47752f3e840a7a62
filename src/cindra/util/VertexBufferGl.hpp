// Vertex buffers in OpenGL buffer objects, and the factory that picks buffer objects or
// client arrays according to the process-wide switch.
#pragma once

#include "cindra/util/VertexBuffer.hpp"

#include <cstdint>
#include <memory>

namespace cindra::util {

template <typename T> class VertexBuffer_VBO final : public VertexBuffer<T> {
public:
    // Allocates count elements of storage; stream selects the stream usage hint over static.
    VertexBuffer_VBO(std::uint32_t elements, bool stream);
    ~VertexBuffer_VBO() override;
    VertexBuffer_VBO(const VertexBuffer_VBO&) = delete;
    VertexBuffer_VBO& operator=(const VertexBuffer_VBO&) = delete;

    std::span<T> map() override;
    // Prints "VBO corrupted" when the driver reports the contents lost.
    void unmap() override;
    const void* bind() override;
    void unbind() override;

private:
    std::uint32_t name = 0;
    std::uint32_t count;
    bool mapped = false;
};

class VertexBufferFactory {
public:
    template <typename T> static std::unique_ptr<VertexBuffer<T>> create(std::uint32_t count);
};

extern template class VertexBuffer_VBO<float>;
extern template class VertexBuffer_VBO<std::uint8_t>;
extern template std::unique_ptr<VertexBuffer<float>>
    VertexBufferFactory::create<float>(std::uint32_t);
extern template std::unique_ptr<VertexBuffer<std::uint8_t>>
    VertexBufferFactory::create<std::uint8_t>(std::uint32_t);

} // namespace cindra::util
