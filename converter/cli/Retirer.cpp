#include "Retirer.h"

#include <algorithm>
#include <system_error>

namespace {

// Enough overlapping flushes to hide the disk's latency behind the
// encoding; more add nothing measurable.
constexpr std::size_t kThreads = 4;

} // namespace

Retirer::Retirer(const Publisher& publisher, std::size_t files) : m_publisher(publisher)
{
    if (!publisher.retires())
        return;
    try {
        for (std::size_t i = 0; i < std::min(kThreads, files); ++i)
            m_threads.emplace_back([this] { work(); });
    } catch (const std::system_error&) {
        // Out of threads: those that started do the work, or add() does.
    }
}

Retirer::~Retirer()
{
    handOver([](const FileResult&) {}, 0);
    {
        const std::lock_guard lock(m_mutex);
        m_stop = true;
    }
    m_changed.notify_all();
}

void Retirer::add(FileResult result)
{
    auto job = std::make_unique<Job>(Job{std::move(result)});
    const bool toRetire = job->result.kind == FileResult::Kind::Converted && m_publisher.retires();
    if (toRetire && m_threads.empty())
        m_publisher.retire(job->result);
    job->done = !toRetire || m_threads.empty();
    {
        const std::lock_guard lock(m_mutex);
        if (!job->done)
            m_toDo.push_back(job.get());
        m_inOrder.push_back(std::move(job));
    }
    m_changed.notify_all();
}

void Retirer::handOver(const std::function<void(const FileResult&)>& take, std::size_t keep)
{
    std::unique_lock lock(m_mutex);
    for (;;) {
        m_changed.wait(lock, [&] { return m_inOrder.size() <= keep || m_inOrder.front()->done; });
        if (m_inOrder.empty() || !m_inOrder.front()->done)
            return;
        const std::unique_ptr<Job> job = std::move(m_inOrder.front());
        m_inOrder.pop_front();
        lock.unlock();
        take(job->result);
        lock.lock();
    }
}

void Retirer::work()
{
    std::unique_lock lock(m_mutex);
    for (;;) {
        m_changed.wait(lock, [this] { return m_stop || !m_toDo.empty(); });
        if (m_toDo.empty())
            return;
        Job* job = m_toDo.front();
        m_toDo.pop_front();
        lock.unlock();
        m_publisher.retire(job->result);
        lock.lock();
        job->done = true;
        m_changed.notify_all();
    }
}
