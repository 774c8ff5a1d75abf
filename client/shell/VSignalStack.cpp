#include "shell/VSignalStack.h"

#include <dlfcn.h>
#include <errno.h>
#include <pthread.h>
#include <signal.h>
#include <sys/mman.h>

#include <new>

namespace {

// The calling thread's stack, given back when the thread ends (its thread-local
// objects are destroyed on every way out, pthread_exit included).
class ThreadStack {
 public:
  ThreadStack() = default;
  ThreadStack(const ThreadStack&) = delete;
  ThreadStack& operator=(const ThreadStack&) = delete;
  ~ThreadStack() {
    if (!m_memory) return;
    stack_t off{};
    off.ss_flags = SS_DISABLE;
    sigaltstack(&off, nullptr);
    munmap(m_memory, VSignalStack::kSize);
  }
  void adopt(void* memory) { m_memory = memory; }

 private:
  void* m_memory = nullptr;
};

thread_local ThreadStack t_stack;

using CreateFunction = int (*)(pthread_t*, const pthread_attr_t*, void* (*)(void*), void*);

struct Start {
  void* (*routine)(void*);
  void* argument;
};

void* StartWithSignalStack(void* pending) {
  const Start start = *static_cast<Start*>(pending);
  delete static_cast<Start*>(pending);
  VSignalStack::ensureForThisThread();
  return start.routine(start.argument);
}

}  // namespace

bool VSignalStack::thisThreadHasOne() {
  stack_t current{};
  return sigaltstack(nullptr, &current) == 0 && !(current.ss_flags & SS_DISABLE);
}

bool VSignalStack::ensureForThisThread() {
  if (thisThreadHasOne()) return true;
  void* memory =
      mmap(nullptr, kSize, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS | MAP_STACK, -1, 0);
  if (memory == MAP_FAILED) return false;
  stack_t stack{};
  stack.ss_sp = memory;
  stack.ss_size = kSize;
  if (sigaltstack(&stack, nullptr) != 0) {
    munmap(memory, kSize);
    return false;
  }
  t_stack.adopt(memory);
  return true;
}

// Every thread of the process starts here: the C library's pthread_create is called
// with a start routine that first sets up the new thread's alternate stack.
extern "C" int pthread_create(pthread_t* thread, const pthread_attr_t* attributes,
                              void* (*routine)(void*), void* argument) {
  static const CreateFunction create =
      reinterpret_cast<CreateFunction>(dlsym(RTLD_NEXT, "pthread_create"));
  if (!create) return EAGAIN;
  auto* start = new (std::nothrow) Start{routine, argument};
  if (!start) return create(thread, attributes, routine, argument);
  const int result = create(thread, attributes, &StartWithSignalStack, start);
  if (result != 0) delete start;
  return result;
}
