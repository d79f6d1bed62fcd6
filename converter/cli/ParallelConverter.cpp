#include "ParallelConverter.h"

#include "Interrupts.h"
#include "Reporter.h"
#include "Retirer.h"
#include "core/JpegEncoder.h"
#include "core/ReadError.h"
#include "core/ScreenshotFile.h"
#include "core/ScreenshotList.h"

#include <chrono>
#include <condition_variable>
#include <memory>
#include <mutex>
#include <optional>
#include <system_error>
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

// A worker's answer for one screenshot: the JPEG's bytes, also written to a
// temporary file of the output directory when that worked, or why there are
// none.
struct Encoded {
    bool ok = false;
    std::vector<std::uint8_t> jpeg;
    SafeFile::Prepared prepared;
    FileResult result;
};

QString ruleReason(ScreenshotList::RuleSkip rule, const ScreenshotFormat& format)
{
    switch (rule) {
    case ScreenshotList::RuleSkip::ShortName:
        return QString("name of %1 characters or fewer").arg(ScreenshotList::kShortestName);
    case ScreenshotList::RuleSkip::SmallFile:
        return QString(format.pictureOf ? "smaller than %1 bytes as a bitmap" : "smaller than %1 bytes")
            .arg(ScreenshotList::kMinBytes);
    case ScreenshotList::RuleSkip::None: break;
    }
    return {};
}

class Worker {
public:
    explicit Worker(const ParallelConverter::Settings& settings) : m_settings(settings) {}

    Encoded encode(const QString& name)
    {
        Encoded e;
        FileResult& r = e.result;
        r.kind = FileResult::Kind::Skipped;
        r.bitmap = name;
        ScreenshotFile shot(m_settings.files.inputDir, name);
        const ScreenshotFormat& format = *shot.format(); // listed: it has one
        // The name alone, before the file is opened.
        auto rule = ScreenshotList::ruleSkip(name, ScreenshotList::kMinBytes);
        if (rule != ScreenshotList::RuleSkip::None) {
            r.reason = ruleReason(rule, format);
            return e;
        }
        try {
            std::uint8_t* destination = nullptr;
            const bool read = shot.read(
                [&](int width, int height) {
                    return destination = m_buffer.reserve(std::size_t(PixelLayout{width, height}.bytes()));
                },
                [&](std::int64_t ruleBytes) {
                    rule = ScreenshotList::ruleSkip(name, ruleBytes);
                    return rule == ScreenshotList::RuleSkip::None;
                });
            if (read) {
                encodePicture(e, destination, shot.picture());
                r.held = shot.held();
            } else
                r.reason = ruleReason(rule, format);
        } catch (const StillBeingWritten& error) {
            r.source = FileResult::Source::StillWritten;
            r.reason = QString::fromStdString(error.reason());
        } catch (const ReadError& error) {
            r.reason = QString::fromStdString(error.reason()); // the line names the file already
        } catch (const std::exception& error) {
            r.kind = FileResult::Kind::Failed;
            r.reason = QString::fromStdString(error.what());
        }
        // A watch does not take the file it opened again, even when its
        // reader refused it, until it changes.
        if (shot.identity() && r.source == FileResult::Source::Unread) {
            r.identity = *shot.identity();
            r.source = FileResult::Source::Read;
        }
        return e;
    }

private:
    void encodePicture(Encoded& e, const std::uint8_t* bgr, const PixelLayout& picture)
    {
        e.result.pixels = qint64(picture.width) * picture.height;
        if (!m_settings.files.dryRun) {
            if (!m_encoder)
                m_encoder.emplace(m_settings.coding);
            const auto bytes =
                m_encoder->encode({bgr, picture.width, picture.height, int(picture.rowBytes()), PixelLayout::kBottomUp},
                                  m_settings.quality);
            e.jpeg.assign(bytes.begin(), bytes.end());
            // Several workers write their files at once, so that the
            // publisher only names them; a single worker leaves it to the
            // publisher, which runs beside it. When this fails, the
            // publisher writes the bytes and says why.
            // With --delete, flushed here too, before the bitmap is set
            // aside for it.
            if (m_settings.jobs > 1)
                e.prepared = SafeFile::prepare(m_settings.files.outputDir, e.jpeg,
                                               m_settings.files.deleteAfter ? SafeFile::Durability::Now
                                                                            : SafeFile::Durability::Later);
        }
        e.ok = true;
    }

    const ParallelConverter::Settings& m_settings;
    PixelBuffer m_buffer;
    std::optional<JpegEncoder> m_encoder;
};

// The hand-over between the workers and the publisher.
class Batch {
public:
    // Results wait in a ring of `window` slots: bitmap i in slot i % window.
    Batch(std::size_t count, std::size_t window) : m_results(window), m_count(count), m_window(window) {}

    // The next bitmap to encode, once the publisher has room for it; nothing
    // when all are taken or the batch stops.
    std::optional<std::size_t> take()
    {
        std::unique_lock lock(m_mutex);
        m_changed.wait(lock,
                       [this] { return m_stop || m_nextToTake >= m_count || m_nextToTake < m_published + m_window; });
        if (m_stop || m_nextToTake >= m_count)
            return std::nullopt;
        return m_nextToTake++;
    }

    void put(std::size_t index, Encoded encoded)
    {
        {
            const std::lock_guard lock(m_mutex);
            m_results[index % m_window] = std::move(encoded);
        }
        m_changed.notify_all();
    }

    std::size_t window() const { return m_window; }

    // Waits for the bitmap at index and moves it out; false when a signal
    // came first.
    bool collect(std::size_t index, Encoded& out)
    {
        std::unique_lock lock(m_mutex);
        // Signals cannot notify a condition variable: look every 50 ms.
        std::optional<Encoded>& slot = m_results[index % m_window];
        while (!slot && !Interrupts::received())
            m_changed.wait_for(lock, 50ms);
        if (!slot || Interrupts::received())
            return false;
        out = std::move(*slot);
        slot.reset();
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
    std::size_t m_count;
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

ParallelConverter::End ParallelConverter::run(const QStringList& bitmaps,
                                              const std::function<void(const FileResult&)>& seen)
{
    const std::size_t count = std::size_t(bitmaps.size());
    const std::size_t wanted = std::min(std::size_t(m_settings.jobs), count);
    if (wanted == 0)
        return End::Done;
    Batch batch(count, 2 * wanted);
    Publisher publisher(m_settings.files, [this](const QString& line) { m_reporter.note(line); });
    {
        std::vector<std::jthread> threads;
        // Releases workers waiting for room on every way out, before they are joined.
        const struct StopOnExit {
            Batch& batch;
            ~StopOnExit() { batch.stop(); }
        } stopOnExit{batch};
        try {
            for (std::size_t w = 0; w < wanted; ++w) {
                threads.emplace_back([&] {
                    Worker worker(m_settings);
                    while (const auto index = batch.take())
                        batch.put(*index, worker.encode(bitmaps[qsizetype(*index)]));
                });
            }
        } catch (const std::system_error& e) {
            // Out of threads (a process limit, a container): fewer will do.
            if (threads.empty()) {
                m_reporter.error(QString("framewright-convert: cannot start a thread: %1").arg(e.what()));
                return End::NoThreads;
            }
            m_reporter.note(
                QString("Converting on %1 threads instead of %2: %3").arg(threads.size()).arg(wanted).arg(e.what()));
        }
        // After a signal, what is encoded but not published is dropped (its
        // temporary file too); what is published is still retired.
        Retirer retirer(publisher, count);
        const auto report = [&](const FileResult& result) {
            m_reporter.file(result);
            if (seen)
                seen(result);
        };
        Encoded e;
        for (std::size_t i = 0; i < count && batch.collect(i, e); ++i) {
            retirer.add(e.ok ? publisher.publish(std::move(e.result), e.jpeg, e.prepared) : std::move(e.result));
            retirer.handOver(report, batch.window());
        }
        retirer.handOver(report, 0);
    } // the workers finish the picture in hand and end
    return Interrupts::received() == 0 ? End::Done : End::Interrupted;
}
