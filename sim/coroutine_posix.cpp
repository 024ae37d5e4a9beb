#include "sim/coroutine.h"

#include <cstddef>
#include <memory>
#include <ucontext.h>

#if defined(__SANITIZE_ADDRESS__)
#define SIM_ASAN 1
#endif
#if defined(__SANITIZE_THREAD__)
#define SIM_TSAN 1
#endif
#if defined(__has_feature)
#if __has_feature(address_sanitizer)
#define SIM_ASAN 1
#endif
#if __has_feature(thread_sanitizer)
#define SIM_TSAN 1
#endif
#endif
#ifdef SIM_ASAN
#include <sanitizer/common_interface_defs.h>
#endif
#ifdef SIM_TSAN
#include <sanitizer/tsan_interface.h>
#endif

namespace sim::coroutine {
namespace {

// The sanitizers are told of every switch, so that they follow the two stacks.
constexpr std::size_t stackSize = 1 << 20;
ucontext_t hostContext;
ucontext_t scriptContext;
std::unique_ptr<char[]> scriptStack;
void (*scriptEntry)() = nullptr;
#ifdef SIM_ASAN
void* hostFakeStack = nullptr;
void* scriptFakeStack = nullptr;
const void* hostStackBottom = nullptr;
std::size_t hostStackSize = 0;
#endif
#ifdef SIM_TSAN
void* hostFiber = nullptr;
void* scriptFiber = nullptr;
#endif

void trampoline() {
#ifdef SIM_ASAN
    __sanitizer_finish_switch_fiber(nullptr, &hostStackBottom, &hostStackSize);
#endif
    scriptEntry();
}

} // namespace

void start(void (*entry)()) {
    scriptEntry = entry;
    scriptStack = std::make_unique<char[]>(stackSize);
    getcontext(&scriptContext);
    scriptContext.uc_stack.ss_sp = scriptStack.get();
    scriptContext.uc_stack.ss_size = stackSize;
    scriptContext.uc_link = nullptr;
    makecontext(&scriptContext, trampoline, 0);
#ifdef SIM_TSAN
    scriptFiber = __tsan_create_fiber(0);
#endif
}

void enter() {
#ifdef SIM_ASAN
    __sanitizer_start_switch_fiber(&hostFakeStack, scriptStack.get(), stackSize);
#endif
#ifdef SIM_TSAN
    hostFiber = __tsan_get_current_fiber();
    __tsan_switch_to_fiber(scriptFiber, 0);
#endif
    swapcontext(&hostContext, &scriptContext);
#ifdef SIM_ASAN
    __sanitizer_finish_switch_fiber(hostFakeStack, nullptr, nullptr);
#endif
}

void leave(bool forGood) {
#ifdef SIM_ASAN
    __sanitizer_start_switch_fiber(forGood ? nullptr : &scriptFakeStack, hostStackBottom,
                                   hostStackSize);
#else
    (void)forGood;
#endif
#ifdef SIM_TSAN
    __tsan_switch_to_fiber(hostFiber, 0);
#endif
    swapcontext(&scriptContext, &hostContext);
#ifdef SIM_ASAN
    __sanitizer_finish_switch_fiber(scriptFakeStack, &hostStackBottom, &hostStackSize);
#endif
}

void finish() {
#ifdef SIM_TSAN
    if (scriptFiber) __tsan_destroy_fiber(scriptFiber);
    scriptFiber = nullptr;
#endif
    scriptStack.reset();
}

} // namespace sim::coroutine
