#pragma once

// The OpenGL side of one device: its context, the back buffer and the
// pipeline that plays Direct3D's fixed-function stage. Shared between the
// device and the textures made on it, the way COM references would be.
#include "D3DTypes.h"

#include <QImage>
#include <QOffscreenSurface>
#include <QOpenGLBuffer>
#include <QOpenGLContext>
#include <QOpenGLExtraFunctions>
#include <QOpenGLFramebufferObject>
#include <QOpenGLShaderProgram>
#include <QOpenGLVertexArrayObject>
#include <memory>

namespace d3d {

class GlCore {
public:
    // Null when no context can be made current on this platform.
    static std::shared_ptr<GlCore> create();
    ~GlCore();

    bool makeCurrent();
    QOpenGLExtraFunctions& gl() { return *m_context.extraFunctions(); }
    bool isValid() const { return m_context.isValid(); }
    QString rendererName() const { return m_renderer; }

    // Recreates the back buffer; false when the framebuffer cannot be made.
    bool resizeBackBuffer(QSize size);
    QSize backBufferSize() const { return m_backBuffer ? m_backBuffer->size() : QSize(); }
    bool bindBackBuffer();
    QImage readBackBuffer();

    QOpenGLShaderProgram& program() { return *m_program; }
    QOpenGLBuffer& vertexBuffer() { return m_vertices; }
    GLuint whiteTexture() const { return m_white; }

    GlCore(const GlCore&) = delete;
    GlCore& operator=(const GlCore&) = delete;

private:
    GlCore() = default;
    bool initialise();

    QOpenGLContext m_context;
    QOffscreenSurface m_surface;
    std::unique_ptr<QOpenGLShaderProgram> m_program;
    QOpenGLBuffer m_vertices{QOpenGLBuffer::VertexBuffer};
    QOpenGLVertexArrayObject m_vao;
    std::unique_ptr<QOpenGLFramebufferObject> m_backBuffer;
    GLuint m_white = 0;
    QString m_renderer;
};

// One texture's pixels (the managed copy) and its GL object.
struct TextureData {
    TextureData(std::shared_ptr<GlCore> core, QImage image, D3DFORMAT format);
    ~TextureData();
    TextureData(const TextureData&) = delete;
    TextureData& operator=(const TextureData&) = delete;

    std::shared_ptr<GlCore> core;
    QImage image; // level 0; row 0 is the top row, texture coordinate v = 0
    D3DFORMAT format;
    GLuint id = 0;
    bool dirty = true; // the GL copy is older than image
};

} // namespace d3d
