#include "GlCore.h"

#include <QGuiApplication>

namespace d3d {

namespace {

// Direct3D's fixed-function pipeline as the viewer uses it. The matrix is a
// Direct3D row-major matrix uploaded as it is, which GL reads as its
// transpose: M^T * p equals Direct3D's p * M.
const char* const kVertexShader = R"(
attribute vec3 aPosition;
attribute vec4 aDiffuse;   // the bytes B, G, R, A of a D3DCOLOR
attribute vec2 aTexCoord;
uniform mat4 uWorldViewProj;
uniform vec2 uPixelCentre;
uniform bool uLighting;
varying vec4 vDiffuse;
varying vec2 vTexCoord;
void main()
{
    vec4 clip = uWorldViewProj * vec4(aPosition, 1.0);
    // Direct3D keeps depths from 0 to w, OpenGL from -w to w: without this
    // the near plane would sit at about half its distance.
    clip.z = 2.0 * clip.z - clip.w;
    // Row 0 of the back buffer is the top of the picture, as in Direct3D.
    clip.y = -clip.y;
    // Direct3D samples pixels at integer coordinates, OpenGL at half pixels.
    clip.xy += uPixelCentre * clip.w;
    gl_Position = clip;
    vec4 colour = aDiffuse.zyxw;
    // No lights can be set here: a lit vertex keeps only the zero ambient.
    vDiffuse = uLighting ? vec4(0.0, 0.0, 0.0, colour.a) : colour;
    vTexCoord = aTexCoord;
}
)";

// Texture stage 0 at its defaults: colour = texture x diffuse, alpha =
// texture alpha.
const char* const kFragmentShader = R"(
#ifdef GL_ES
precision mediump float;
#endif
uniform sampler2D uTexture;
varying vec4 vDiffuse;
varying vec2 vTexCoord;
void main()
{
    vec4 texel = texture2D(uTexture, vTexCoord);
    gl_FragColor = vec4(texel.rgb * vDiffuse.rgb, texel.a);
}
)";

} // namespace

std::shared_ptr<GlCore> GlCore::create()
{
    std::shared_ptr<GlCore> core(new GlCore);
    if (!core->initialise())
        return nullptr;
    return core;
}

bool GlCore::initialise()
{
    if (!QGuiApplication::instance() || !m_context.create())
        return false;
    m_surface.setFormat(m_context.format());
    m_surface.create();
    if (!m_surface.isValid() || !m_context.makeCurrent(&m_surface))
        return false;

    auto& f = gl();
    m_renderer = QString::fromLatin1(reinterpret_cast<const char*>(f.glGetString(GL_RENDERER)));

    m_program = std::make_unique<QOpenGLShaderProgram>();
    if (!m_program->addShaderFromSourceCode(QOpenGLShader::Vertex, kVertexShader)
        || !m_program->addShaderFromSourceCode(QOpenGLShader::Fragment, kFragmentShader))
        return false;
    m_program->bindAttributeLocation("aPosition", 0);
    m_program->bindAttributeLocation("aDiffuse", 1);
    m_program->bindAttributeLocation("aTexCoord", 2);
    if (!m_program->link())
        return false;

    // A core profile needs a vertex array object; older contexts may lack one.
    if (m_vao.create())
        m_vao.bind();
    if (!m_vertices.create())
        return false;
    m_vertices.setUsagePattern(QOpenGLBuffer::StreamDraw);

    // Stands in for a stage without a texture, so vertex colours still show.
    const quint32 white = 0xFFFFFFFFu;
    f.glGenTextures(1, &m_white);
    f.glBindTexture(GL_TEXTURE_2D, m_white);
    f.glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA, 1, 1, 0, GL_RGBA, GL_UNSIGNED_BYTE, &white);
    return f.glGetError() == GL_NO_ERROR;
}

GlCore::~GlCore()
{
    // GL objects go while their context is current; without one they went
    // with it.
    if (!makeCurrent())
        return;
    m_backBuffer.reset();
    if (m_white)
        gl().glDeleteTextures(1, &m_white);
    m_vertices.destroy();
    m_vao.destroy();
    m_program.reset();
    m_context.doneCurrent();
}

bool GlCore::makeCurrent()
{
    if (QOpenGLContext::currentContext() == &m_context)
        return true;
    return m_context.isValid() && m_context.makeCurrent(&m_surface);
}

bool GlCore::resizeBackBuffer(QSize size)
{
    if (!makeCurrent() || size.isEmpty())
        return false;
    m_backBuffer.reset();
    // No alpha channel, like the X8R8G8B8 back buffer it stands for: what
    // reaches the screen is always opaque.
    auto fbo = std::make_unique<QOpenGLFramebufferObject>(size, QOpenGLFramebufferObject::NoAttachment, GL_TEXTURE_2D,
                                                          GL_RGB8);
    if (!fbo->isValid())
        return false;
    m_backBuffer = std::move(fbo);
    return true;
}

bool GlCore::bindBackBuffer()
{
    if (!m_backBuffer || !makeCurrent() || !m_backBuffer->bind())
        return false;
    gl().glViewport(0, 0, m_backBuffer->width(), m_backBuffer->height());
    return true;
}

QImage GlCore::readBackBuffer()
{
    if (!bindBackBuffer())
        return {};
    // Row 0 of the framebuffer is the top row already: no mirroring needed.
    QImage frame(m_backBuffer->size(), QImage::Format_RGBX8888);
    auto& f = gl();
    f.glPixelStorei(GL_PACK_ALIGNMENT, 4);
    f.glReadPixels(0, 0, frame.width(), frame.height(), GL_RGBA, GL_UNSIGNED_BYTE, frame.bits());
    return f.glGetError() == GL_NO_ERROR ? frame : QImage();
}

TextureData::TextureData(std::shared_ptr<GlCore> c, QImage img, D3DFORMAT fmt)
    : core(std::move(c)), image(std::move(img)), format(fmt)
{
}

TextureData::~TextureData()
{
    if (id && core->makeCurrent())
        core->gl().glDeleteTextures(1, &id);
}

} // namespace d3d
