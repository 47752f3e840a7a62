#include "cindra/util/VertexBufferGl.hpp"

#include "cindra/Output.hpp"
#include "cindra/SystemSdl.hpp"

namespace cindra::util {

template <typename T>
VertexBuffer_VBO<T>::VertexBuffer_VBO(std::uint32_t elements, bool stream) : count(elements) {
    const GlBufferFunctions& gl = glBuffers();
    gl.genBuffers(1, &name);
    gl.bindBuffer(GL_ARRAY_BUFFER_ARB, name);
    gl.bufferData(GL_ARRAY_BUFFER_ARB, static_cast<GLsizeiptrARB>(elements) * sizeof(T), nullptr,
                  stream ? GL_STREAM_DRAW_ARB : GL_STATIC_DRAW_ARB);
}

template <typename T> VertexBuffer_VBO<T>::~VertexBuffer_VBO() {
    if (glContext().glContextAlive) {
        glBuffers().deleteBuffers(1, &name);
    }
}

template <typename T> std::span<T> VertexBuffer_VBO<T>::map() {
    const GlBufferFunctions& gl = glBuffers();
    gl.bindBuffer(GL_ARRAY_BUFFER_ARB, name);
    void* memory = gl.mapBuffer(GL_ARRAY_BUFFER_ARB, GL_WRITE_ONLY_ARB);
    mapped = memory != nullptr;
    // A driver that gives no memory gets an empty span: the frame draws the old contents.
    return mapped ? std::span<T>(static_cast<T*>(memory), count) : std::span<T>();
}

template <typename T> void VertexBuffer_VBO<T>::unmap() {
    if (!mapped) {
        return;
    }
    mapped = false;
    if (glBuffers().unmapBuffer(GL_ARRAY_BUFFER_ARB) == GL_FALSE) {
        writeLine("VBO corrupted");
    }
}

template <typename T> const void* VertexBuffer_VBO<T>::bind() {
    glBuffers().bindBuffer(GL_ARRAY_BUFFER_ARB, name);
    return nullptr;
}

template <typename T> void VertexBuffer_VBO<T>::unbind() {
    glBuffers().bindBuffer(GL_ARRAY_BUFFER_ARB, 0);
}

template <typename T>
std::unique_ptr<VertexBuffer<T>> VertexBufferFactory::create(std::uint32_t elements) {
    if (glContext().useVBOs) {
        return std::make_unique<VertexBuffer_VBO<T>>(elements, false);
    }
    return std::make_unique<VertexBuffer_VA<T>>(elements);
}

template class VertexBuffer_VBO<float>;
template class VertexBuffer_VBO<std::uint8_t>;
template std::unique_ptr<VertexBuffer<float>> VertexBufferFactory::create<float>(std::uint32_t);
template std::unique_ptr<VertexBuffer<std::uint8_t>>
    VertexBufferFactory::create<std::uint8_t>(std::uint32_t);

} // namespace cindra::util
