#include "workbook/filemapping.h"

#include <array>
#include <atomic>
#include <mutex>
#include <signal.h>
#include <sys/mman.h>
#include <unistd.h>

namespace analysis {

namespace {

// The mappings the handler looks after. Only lock-free atomics are touched
// inside the handler.
struct Slot {
    std::atomic<bool> taken{false};
    std::atomic<std::uintptr_t> begin{0};
    std::atomic<std::uintptr_t> end{0};
    std::atomic<bool> cut{false};
};

constexpr int SlotCount = 16;
constexpr std::uintptr_t ReleaseBatch = 2u << 20;
std::array<Slot, SlotCount> mappedSlots;
struct sigaction previousAction;
std::uintptr_t pageSize = 4096;
bool handlerInstalled = false;

void passOn(int signal, siginfo_t *info, void *context) {
    if (previousAction.sa_flags & SA_SIGINFO) {
        if (previousAction.sa_sigaction) {
            previousAction.sa_sigaction(signal, info, context);
            return;
        }
    } else if (previousAction.sa_handler != SIG_DFL && previousAction.sa_handler != SIG_IGN) {
        previousAction.sa_handler(signal);
        return;
    }
    // The default: once the handler returns, the faulting access repeats and
    // ends the process as if no handler had been there.
    struct sigaction fallback {};
    fallback.sa_handler = SIG_DFL;
    sigemptyset(&fallback.sa_mask);
    sigaction(SIGBUS, &fallback, nullptr);
}

void onBusError(int signal, siginfo_t *info, void *context) {
    const auto address = reinterpret_cast<std::uintptr_t>(info->si_addr);
    for (Slot &slot : mappedSlots) {
        const std::uintptr_t begin = slot.begin.load(std::memory_order_acquire);
        const std::uintptr_t end = slot.end.load(std::memory_order_acquire);
        if (begin == 0 || address < begin || address >= end) continue;
        // From the faulting page on, the file is gone: map zeros there so that
        // the access can complete, and tell the mapping's owner.
        const std::uintptr_t page = address & ~(pageSize - 1);
        void *zeros = mmap(reinterpret_cast<void *>(page), end - page, PROT_READ,
                           MAP_PRIVATE | MAP_ANONYMOUS | MAP_FIXED, -1, 0);
        if (zeros == MAP_FAILED) break;
        slot.cut.store(true, std::memory_order_release);
        return;
    }
    passOn(signal, info, context);
}

bool installHandler() {
    static std::once_flag once;
    std::call_once(once, [] {
        const long size = sysconf(_SC_PAGESIZE);
        if (size > 0) pageSize = std::uintptr_t(size);
        struct sigaction action {};
        action.sa_sigaction = &onBusError;
        action.sa_flags = SA_SIGINFO | SA_RESTART;
        sigemptyset(&action.sa_mask);
        handlerInstalled = sigaction(SIGBUS, &action, &previousAction) == 0;
    });
    return handlerInstalled;
}

} // namespace

std::unique_ptr<FileMapping> FileMapping::map(int fd, std::uint64_t size) {
    if (size == 0 || size > std::uint64_t(SIZE_MAX) || !installHandler()) return nullptr;
    int slot = 0;
    while (slot < SlotCount && mappedSlots[std::size_t(slot)].taken.exchange(true))
        ++slot;
    if (slot == SlotCount) return nullptr;
    Slot &mine = mappedSlots[std::size_t(slot)];

    const auto length = std::size_t(size);
    void *data = mmap(nullptr, length, PROT_READ, MAP_SHARED, fd, 0);
    if (data == MAP_FAILED) {
        mine.taken.store(false);
        return nullptr;
    }
    const auto begin = reinterpret_cast<std::uintptr_t>(data);
    mine.cut.store(false);
    mine.end.store((begin + length + pageSize - 1) & ~(pageSize - 1), std::memory_order_release);
    mine.begin.store(begin, std::memory_order_release);
    return std::unique_ptr<FileMapping>(
        new FileMapping(static_cast<const std::uint8_t *>(data), length, slot));
}

FileMapping::~FileMapping() {
    Slot &mine = mappedSlots[std::size_t(m_slot)];
    mine.begin.store(0, std::memory_order_release);
    mine.end.store(0, std::memory_order_release);
    munmap(const_cast<std::uint8_t *>(m_data), m_length);
    mine.taken.store(false, std::memory_order_release);
}

void FileMapping::release(const std::uint8_t *data, std::size_t length) {
    const auto begin = reinterpret_cast<std::uintptr_t>(data);
    const auto mapped = reinterpret_cast<std::uintptr_t>(m_data);
    if (begin < mapped || length > m_length - (begin - mapped)) return;
    // Each call costs a page-table walk and a TLB flush, so neighbouring
    // stretches are let go together.
    if (m_releasedEnd != begin) {
        dropPages(m_releasedBegin, m_releasedEnd);
        m_releasedBegin = begin;
    }
    m_releasedEnd = begin + length;
    if (m_releasedEnd - m_releasedBegin >= ReleaseBatch) {
        dropPages(m_releasedBegin, m_releasedEnd);
        m_releasedBegin = m_releasedEnd;
    }
}

void FileMapping::dropPages(std::uintptr_t begin, std::uintptr_t end) const {
    const std::uintptr_t first = (begin + pageSize - 1) & ~(pageSize - 1);
    const std::uintptr_t last = end & ~(pageSize - 1);
    if (first < last) madvise(reinterpret_cast<void *>(first), last - first, MADV_DONTNEED);
}

bool FileMapping::intact() const {
    return !mappedSlots[std::size_t(m_slot)].cut.load(std::memory_order_acquire);
}

} // namespace analysis
