#include "platform/win32/mainthread.h"
#include "platform/rtl/clock.h"
#include <algorithm>
#include <chrono>
#include <condition_variable>
#include <deque>
#include <memory>
#include <mutex>
#include <thread>

namespace {
struct TCall {
    std::function<void()> Call;
    const void* Owner = nullptr;
    uint64_t Sequence = 0;
    bool Timed = false;
    uint32_t Due = 0;
    bool Done = false; // a worker blocks until then
};

struct TQueue {
    std::mutex Mutex;
    std::condition_variable Finished;
    std::deque<std::shared_ptr<TCall>> Calls;
    uint64_t NextSequence = 0;
    std::function<void()> Wake;
};

TQueue& Queue() {
    static auto* queue = new TQueue; // outlives every worker at exit
    return *queue;
}

const std::thread::id MainThreadId = std::this_thread::get_id();

// Tick counts wrap; a due tick counts as reached for half the range after it.
bool Reached(uint32_t now, uint32_t due) {
    return static_cast<int32_t>(now - due) >= 0;
}

void Enqueue(const std::shared_ptr<TCall>& call) {
    std::function<void()> wake;
    {
        std::lock_guard<std::mutex> guard(Queue().Mutex);
        call->Sequence = Queue().NextSequence++;
        Queue().Calls.push_back(call);
        wake = Queue().Wake;
    }
    if (wake) wake();
}
} // namespace

bool IsMainThread() {
    return std::this_thread::get_id() == MainThreadId;
}

void SynchronizeWithMainThread(const std::function<void()>& call, const std::atomic<bool>* cancel) {
    if (IsMainThread()) {
        call();
        return;
    }
    auto item = std::make_shared<TCall>();
    item->Call = call;
    Enqueue(item);
    TQueue& q = Queue();
    std::unique_lock<std::mutex> lock(q.Mutex);
    while (!item->Done) {
        if (cancel && cancel->load()) {
            // Withdrawn unless the main thread is running it right now.
            const auto it = std::find(q.Calls.begin(), q.Calls.end(), item);
            if (it != q.Calls.end()) {
                q.Calls.erase(it);
                return;
            }
        }
        q.Finished.wait_for(lock, std::chrono::milliseconds(5));
    }
}

void QueueToMainThread(std::function<void()> call, const void* owner) {
    if (IsMainThread()) {
        call();
        return;
    }
    auto item = std::make_shared<TCall>();
    item->Call = std::move(call);
    item->Owner = owner;
    Enqueue(item);
}

void PostToMainThread(std::function<void()> call, const void* owner, uint32_t delayMs) {
    auto item = std::make_shared<TCall>();
    item->Call = std::move(call);
    item->Owner = owner;
    if (delayMs > 0) {
        item->Timed = true;
        item->Due = GetTickCount() + delayMs;
    }
    Enqueue(item);
}

void RemoveQueuedCalls(const void* owner) {
    if (!owner) return;
    TQueue& q = Queue();
    std::lock_guard<std::mutex> guard(q.Mutex);
    std::erase_if(q.Calls, [owner](const auto& c) { return c->Owner == owner; });
}

bool CheckSynchronize() {
    TQueue& q = Queue();
    uint64_t end;
    {
        std::lock_guard<std::mutex> guard(q.Mutex);
        end = q.NextSequence;
    }
    const uint32_t now = GetTickCount();
    bool any = false;
    for (;;) {
        std::shared_ptr<TCall> item;
        {
            std::lock_guard<std::mutex> guard(q.Mutex);
            const auto it = std::find_if(q.Calls.begin(), q.Calls.end(), [&](const auto& c) {
                return c->Sequence < end && (!c->Timed || Reached(now, c->Due));
            });
            if (it == q.Calls.end()) return any;
            item = *it;
            q.Calls.erase(it);
        }
        any = true;
        struct TDone {
            TQueue& Q;
            TCall& C;
            ~TDone() {
                std::lock_guard<std::mutex> guard(Q.Mutex);
                C.Done = true;
                Q.Finished.notify_all();
            }
        } done{q, *item};
        item->Call();
    }
}

long NextQueuedCallDueMs() {
    TQueue& q = Queue();
    const uint32_t now = GetTickCount();
    std::lock_guard<std::mutex> guard(q.Mutex);
    long next = -1;
    for (const auto& c : q.Calls) {
        const long wait = !c->Timed || Reached(now, c->Due) ? 0 : long(c->Due - now);
        if (next < 0 || wait < next) next = wait;
    }
    return next;
}

void SetMainThreadWakeHook(std::function<void()> hook) {
    std::lock_guard<std::mutex> guard(Queue().Mutex);
    Queue().Wake = std::move(hook);
}
