#include "core/ScreenshotFile.h"

#include "core/ReadError.h"
#include "core/ScreenshotList.h"

ScreenshotFile::ScreenshotFile(const QString& directory, QString name)
    : m_name(std::move(name)), m_path(ScreenshotList::pathIn(directory, m_name)),
      m_format(ScreenshotFormats::of(m_name))
{
}

bool ScreenshotFile::read(const PixelAllocator& allocate, const Accept& accept, const SourceFile::Wait& wait)
{
    if (!m_format)
        throw ReadError(m_path, "not a screenshot format");
    SourceFile source(m_path, wait);
    m_identity = source.identity();
    if (accept && !accept(m_format->ruleBytes(source.file())))
        return false;
    m_format->decode(source.file(), [&](int width, int height) {
        m_picture = {width, height};
        return allocate(width, height);
    });
    // A writer that set the size first and filled the pixels while they
    // were read would leave a torn picture: it is taken later.
    source.checkUnchanged();
    m_held = source.release();
    return true;
}
