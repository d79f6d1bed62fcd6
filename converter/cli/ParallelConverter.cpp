#include "ParallelConverter.h"

#include "Interrupts.h"
#include "Reporter.h"
#include "engine/JpegEncoder.h"
#include "engine/ScreenshotList.h"
#include "engine/bmp/BmpDecoder.h"

#include <QDir>
#include <QFileInfo>
#include <chrono>
#include <condition_variable>
#include <memory>
#include <mutex>
#include <optional>
#include <thread>
#include <vector>

namespace {

using namespace std::chrono_literals;

// One worker's picture: grows to the largest screenshot seen and is reused,
// never cleared (the decoder writes every byte).
class PixelBuffer {
public:
    std::uint8_t* reserve(std::size_t bytes)
    {
        if (bytes > m_capacity) {
            m_data.reset();
            m_data = std::make_unique_for_overwrite<std::uint8_t[]>(bytes);
            m_capacity = bytes;
        }
        return m_data.get();
    }

private:
    std::unique_ptr<std::uint8_t[]> m_data;
    std::size_t m_capacity = 0;
};

// A worker's answer for one bitmap: the JPEG's bytes, or why there are none.
struct Encoded {
    bool ok = false;
    std::vector<std::uint8_t> jpeg;
    qint64 pixels = 0;
    FileResult notEncoded;
};

QString ruleReason(ScreenshotList::RuleSkip rule)
{
    switch (rule) {
    case ScreenshotList::RuleSkip::ShortName:
        return QString("name of %1 characters or fewer").arg(ScreenshotList::kShortestName);
    case ScreenshotList::RuleSkip::SmallFile:
        return QString("smaller than %1 bytes").arg(ScreenshotList::kMinBytes);
    case ScreenshotList::RuleSkip::None:
        break;
    }
    return {};
}

class Worker {
public:
    Worker(int quality, bool dryRun) : m_quality(quality), m_dryRun(dryRun) {}

    Encoded encode(const QString& directory, const QString& name)
    {
        Encoded e;
        e.notEncoded = {FileResult::Kind::Skipped, name, {}, 0, 0, {}};
        const QString path = QDir(directory).filePath(name);
        const QFileInfo info(path);
        if (!info.exists()) {
            e.notEncoded.reason = "file not found"; // deleted or renamed since it was listed
            return e;
        }
        const auto rule = ScreenshotList::ruleSkip(name, info.size());
        if (rule != ScreenshotList::RuleSkip::None) {
            e.notEncoded.reason = ruleReason(rule);
            return e;
        }
        try {
            JpegEncoder::Pixels pixels;
            DecodeBmpFile(path, [&](int width, int height) {
                const int pitch = (width * 3 + 3) & ~3;
                std::uint8_t* destination = m_buffer.reserve(std::size_t(pitch) * std::size_t(height));
                pixels = {destination, width, height, pitch, true};
                return destination;
            });
            e.pixels = qint64(pixels.width) * pixels.height;
            if (!m_dryRun) {
                if (!m_encoder)
                    m_encoder.emplace();
                const auto bytes = m_encoder->encode(pixels, m_quality);
                e.jpeg.assign(bytes.begin(), bytes.end());
            }
            e.ok = true;
        } catch (const BmpError& error) {
            e.notEncoded.reason = QString::fromStdString(error.reason()); // the line names the file already
        } catch (const std::exception& error) {
            e.notEncoded.kind = FileResult::Kind::Failed;
            e.notEncoded.reason = QString::fromStdString(error.what());
        }
        return e;
    }

private:
    int m_quality;
    bool m_dryRun;
    PixelBuffer m_buffer;
    std::optional<JpegEncoder> m_encoder;
};

// The hand-over between the workers and the publisher.
class Batch {
public:
    Batch(std::size_t count, std::size_t window) : m_results(count), m_window(window) {}

    // The next bitmap to encode, once the publisher has room for it; nothing
    // when all are taken or the batch stops.
    std::optional<std::size_t> take()
    {
        std::unique_lock lock(m_mutex);
        m_changed.wait(lock, [this] {
            return m_stop || m_nextToTake >= m_results.size() || m_nextToTake < m_published + m_window;
        });
        if (m_stop || m_nextToTake >= m_results.size())
            return std::nullopt;
        return m_nextToTake++;
    }

    void put(std::size_t index, Encoded encoded)
    {
        {
            const std::lock_guard lock(m_mutex);
            m_results[index] = std::move(encoded);
        }
        m_changed.notify_all();
    }

    // Waits for the bitmap at index and moves it out; false when a signal
    // came first.
    bool collect(std::size_t index, Encoded& out)
    {
        std::unique_lock lock(m_mutex);
        // Signals cannot notify a condition variable: look every 50 ms.
        while (!m_results[index] && !Interrupts::received())
            m_changed.wait_for(lock, 50ms);
        if (!m_results[index] || Interrupts::received())
            return false;
        out = std::move(*m_results[index]);
        m_results[index].reset();
        m_published = index + 1;
        lock.unlock();
        m_changed.notify_all();
        return true;
    }

    void stop()
    {
        {
            const std::lock_guard lock(m_mutex);
            m_stop = true;
        }
        m_changed.notify_all();
    }

private:
    std::mutex m_mutex;
    std::condition_variable m_changed;
    std::vector<std::optional<Encoded>> m_results;
    std::size_t m_window;
    std::size_t m_nextToTake = 0;
    std::size_t m_published = 0;
    bool m_stop = false;
};

} // namespace

ParallelConverter::ParallelConverter(Settings settings, Reporter& reporter)
    : m_settings(std::move(settings)), m_reporter(reporter)
{
}

bool ParallelConverter::run(const QStringList& bitmaps)
{
    const std::size_t count = std::size_t(bitmaps.size());
    const std::size_t workers = std::min(std::size_t(m_settings.jobs), count);
    Batch batch(count, 2 * workers);
    Publisher publisher(m_settings.files);
    const QString inputDir = m_settings.files.inputDir;
    {
        std::vector<std::jthread> threads;
        for (std::size_t w = 0; w < workers; ++w) {
            threads.emplace_back([&] {
                Worker worker(m_settings.quality, m_settings.files.dryRun);
                while (const auto index = batch.take())
                    batch.put(*index, worker.encode(inputDir, bitmaps[qsizetype(*index)]));
            });
        }
        // Releases workers waiting for room on every way out, before they are joined.
        const struct StopOnExit {
            Batch& batch;
            ~StopOnExit() { batch.stop(); }
        } stopOnExit{batch};
        for (std::size_t i = 0; i < count; ++i) {
            Encoded e;
            if (!batch.collect(i, e))
                break; // interrupted: what is encoded but not written is dropped
            m_reporter.file(e.ok ? publisher.publish(bitmaps[qsizetype(i)], e.jpeg, e.pixels) : e.notEncoded);
        }
    } // the workers finish the picture in hand and end
    return Interrupts::received() == 0;
}
