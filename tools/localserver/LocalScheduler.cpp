#include "LocalScheduler.h"

#include <cstdio>
#include <exception>

LocalScheduler::LocalScheduler() : m_thread([this] { Run(); }) {}

LocalScheduler::~LocalScheduler() { Stop(); }

void LocalScheduler::After(int delayMs, std::function<void()> task) {
  {
    std::lock_guard<std::mutex> lock(m_mutex);
    if (m_stop) return;
    m_tasks.emplace(std::chrono::steady_clock::now() + std::chrono::milliseconds(delayMs),
                    std::move(task));
  }
  m_changed.notify_all();
}

void LocalScheduler::Stop() {
  {
    std::lock_guard<std::mutex> lock(m_mutex);
    m_stop = true;
    m_tasks.clear();
  }
  m_changed.notify_all();
  if (m_thread.joinable()) m_thread.join();
}

void LocalScheduler::Run() {
  std::unique_lock<std::mutex> lock(m_mutex);
  while (!m_stop) {
    if (m_tasks.empty()) {
      m_changed.wait(lock);
      continue;
    }
    auto first = m_tasks.begin();
    // A copy: the task (and its key) may go while the lock is released.
    const auto due = first->first;
    if (due > std::chrono::steady_clock::now()) {
      m_changed.wait_until(lock, due);
      continue;
    }
    std::function<void()> task = std::move(first->second);
    m_tasks.erase(first);
    lock.unlock();
    try {
      task();
    } catch (const std::exception& e) {
      std::fprintf(stderr, "scheduled task failed: %s\n", e.what());
    }
    lock.lock();
  }
}
