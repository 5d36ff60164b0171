#include "edit/CheckQueue.h"

#include <QCoreApplication>
#include <QMetaObject>
#include <QObject>

#include <chrono>
#include <condition_variable>
#include <deque>
#include <map>
#include <memory>
#include <mutex>
#include <thread>

namespace htmlcheck {
namespace {

struct Entry {
    Delivery deliver;
    quint64 latest = 0;   // the generation last posted: an outcome of another one is stale
    bool pending = false;
    Job job;
};

class Queue {
public:
    static Queue* instance() {
        static Queue* queue = [] {
            auto* q = new Queue;
            // Ended with the application object (after its windows), never left running past it.
            qAddPostRoutine([] { instance()->stop(); });
            return q;
        }();
        return queue;
    }

    void post(QObject* receiver, Job job, Delivery deliver) {
        std::lock_guard lock(mutex_);
        if (stopping_) return;
        if (!thread_.joinable()) thread_ = std::thread([this] { run(); });
        Entry& e = entries_[receiver];
        e.deliver = std::move(deliver);
        e.latest = job.generation;
        if (!e.pending) order_.push_back(receiver);
        e.pending = true;
        e.job = std::move(job);
        wake_.notify_one();
    }

    void forget(QObject* receiver) {
        std::lock_guard lock(mutex_);
        entries_.erase(receiver);   // its place in 'order_' is skipped
    }

private:
    void run() {
        std::unique_lock lock(mutex_);
        for (;;) {
            wake_.wait(lock, [this] { return stopping_ || !order_.empty(); });
            if (stopping_) break;
            QObject* receiver = order_.front();
            order_.pop_front();
            auto it = entries_.find(receiver);
            if (it == entries_.end() || !it->second.pending) continue;
            Job job = std::move(it->second.job);
            it->second.pending = false;
            lock.unlock();
            const Result result = check(job.language, job.text, job.all, job.asked);
            job.text = QByteArray();
            lock.lock();
            it = entries_.find(receiver);
            if (stopping_) break;
            // Delivered only while the receiver lives (forget() takes this lock before it goes)
            // and still wants this text; a queued call to a receiver deleted later is dropped by Qt.
            if (it == entries_.end() || it->second.latest != job.generation) continue;
            Delivery deliver = it->second.deliver;
            QMetaObject::invokeMethod(
                receiver, [deliver, generation = job.generation, result] { deliver(generation, result); },
                Qt::QueuedConnection);
        }
        std::lock_guard doneLock(doneMutex_);
        done_ = true;
        doneCv_.notify_all();
    }

    void stop() {
        {
            std::lock_guard lock(mutex_);
            stopping_ = true;
            entries_.clear();
            order_.clear();
            wake_.notify_all();
        }
        if (!thread_.joinable()) return;
        // A check of a huge page may run on for a while: waited for a little, then left to end
        // with the process (it touches nothing of Qt's once stopped).
        std::unique_lock doneLock(doneMutex_);
        if (doneCv_.wait_for(doneLock, std::chrono::seconds(2), [this] { return done_; })) {
            doneLock.unlock();
            thread_.join();
        } else {
            thread_.detach();
        }
    }

    // Guarded by mutex_: everything below but the thread object (set under it, joined at exit).
    std::mutex mutex_;
    std::condition_variable wake_;
    std::map<QObject*, Entry> entries_;
    std::deque<QObject*> order_;
    bool stopping_ = false;
    std::thread thread_;
    // Set by the thread as it ends.
    std::mutex doneMutex_;
    std::condition_variable doneCv_;
    bool done_ = false;
};

} // namespace

void post(QObject* receiver, Job job, Delivery deliver) { Queue::instance()->post(receiver, std::move(job), std::move(deliver)); }

void forget(QObject* receiver) { Queue::instance()->forget(receiver); }

} // namespace htmlcheck
