#pragma once

#include "FileResult.h"
#include "Publisher.h"

#include <condition_variable>
#include <deque>
#include <functional>
#include <memory>
#include <mutex>
#include <thread>
#include <vector>

// With --delete, retires the bitmaps of published JPEGs (Publisher::retire)
// on threads of its own. A retirement mostly waits for the disk (the JPEG
// and its directory are flushed); one after the other they would hold up the
// whole run, while flushes that overlap cost little more than one. The
// results come back in the order they were added, those with nothing to
// retire too.
class Retirer {
public:
    // Without --delete, or when no thread starts, nothing runs in the
    // background: add() retires at once. A short list (a watch's new
    // screenshot) starts no more threads than it has files.
    Retirer(const Publisher& publisher, std::size_t files);
    ~Retirer(); // finishes every retirement it was given

    Retirer(const Retirer&) = delete;
    Retirer& operator=(const Retirer&) = delete;

    void add(FileResult result);

    // Hands over the finished results at the front, in order, then waits
    // for more until at most `keep` are left.
    void handOver(const std::function<void(const FileResult&)>& take, std::size_t keep);

private:
    struct Job {
        FileResult result;
        bool done = false;
    };
    void work();

    const Publisher& m_publisher;
    std::mutex m_mutex;
    std::condition_variable m_changed;
    std::deque<std::unique_ptr<Job>> m_inOrder;
    std::deque<Job*> m_toDo;
    bool m_stop = false;
    std::vector<std::jthread> m_threads;
};
