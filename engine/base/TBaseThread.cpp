#include "base/TBaseThread.h"

TBaseThread::TBaseThread(Entry entry, void* arg, unsigned flags, unsigned stackSize)
    : m_entry(entry), m_arg(arg) {
  (void)flags;
  (void)stackSize;
  m_thread = std::thread(&TBaseThread::Run, this);
}

TBaseThread::~TBaseThread() { Join(); }

void TBaseThread::Run(TBaseThread* self) {
  self->m_threadId = tesmo::CurrentThreadId();
  if (self->m_entry) self->m_entry(self->m_arg);
  self->m_running = false;
}

void TBaseThread::Join() {
  if (!m_thread.joinable()) return;
  if (m_thread.get_id() == std::this_thread::get_id()) {
    m_thread.detach();
    return;
  }
  m_thread.join();
}

bool TBaseThread::Close() {
  Join();
  return true;
}

bool TBaseThread::Terminate(unsigned exitCode) {
  (void)exitCode;
  return false;
}
