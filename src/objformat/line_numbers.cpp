#include "objformat/line_numbers.h"

#include <algorithm>
#include <array>
#include <atomic>
#include <condition_variable>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <memory>
#include <mutex>
#include <new>
#include <system_error>
#include <thread>
#include <utility>

#include "objformat/table_storage.h"
#include "objformat/text_scanner.h"

#if defined(__x86_64__) && (defined(__GNUC__) || defined(__clang__))
#define TARVOSK_WIDE_LINES 1
#if !defined(__clang__)
// GCC's own intrinsics start from a deliberately undefined vector, which its flow analysis
// then reports as maybe used uninitialized.
#pragma GCC diagnostic ignored "-Wmaybe-uninitialized"
#endif
#include "objformat/line_numbers_wide.h"
#endif

namespace tarvosk::scan {

#if defined(TARVOSK_WIDE_LINES)

namespace {
using WideReader = const char* (*)(const char*, const char*, float*);

template <unsigned... counts>
constexpr auto makeReaders(std::integer_sequence<unsigned, counts...>) {
    return std::array<WideReader, sizeof...(counts)>{&readLine<counts + 1, float>...};
}

// One reader per count, 1 to kMaxLineNumbers.
constexpr auto kWideReaders = makeReaders(std::make_integer_sequence<unsigned, kMaxLineNumbers>{});

// The first bytes of a line that starts with `keyword` and a space, as one masked word.
struct LineHead {
    uint64_t bytes = 0;
    uint64_t mask = 0;
    size_t length = 0;  // the keyword's; its numbers' window starts at the space after it
};

LineHead makeHead(std::string_view keyword) {
    LineHead head;
    head.length = keyword.size();
    for (size_t i = 0; i <= keyword.size(); ++i) {
        const uint64_t byte = i < keyword.size() ? static_cast<unsigned char>(keyword[i]) : ' ';
        head.bytes |= byte << (8 * i);
        head.mask |= uint64_t{0xFF} << (8 * i);
    }
    return head;
}

// Lines one after another, each read as the keyword's handler and skipLine would read it;
// none that starts at or after `stopAt`. `cancel`, when given, is looked at every 1024 lines.
template <unsigned count, typename Out>
TARVOSK_WIDE LineRun readRun(const char* p, const char* end, const char* stopAt, LineHead head,
                             size_t maxLines, Out* out, const std::atomic<bool>* cancel = nullptr) {
    LineRun run;
    run.next = p;
    while (run.lines < maxLines && p < stopAt && end - p >= 8) {
        if (cancel && (run.lines & 1023) == 1023 && cancel->load(std::memory_order_relaxed)) break;
        uint64_t first;
        std::memcpy(&first, p, sizeof first);
        if ((first & head.mask) != head.bytes) break;
        // The hardware's own prefetching stays too close behind a reading this fast.
        if (end - p > kPrefetchAhead) __builtin_prefetch(p + kPrefetchAhead);
        const char* after = readLine<count>(p + head.length, end, out + run.lines * count);
        if (!after) break;
        // skipLine: the rest of the line (the numbers stop at a blank or its end), then every
        // blank and empty line after it.
        p = lineStartAfter(after, end);
        ++run.lines;
        run.next = p;
    }
    return run;
}

// A run over more than this many bytes is read by two threads, a half each, once its
// first kFirstLines lines have shown it to be a run at all. A large object's index lines,
// some 8 MB per million indices, are worth the thread too.
constexpr ptrdiff_t kSplitBytes = ptrdiff_t{4} << 20;
constexpr size_t kFirstLines = 4096;

// The second half's numbers, until they are copied behind the first half's. Kept from read
// to read like the file buffer, and only ever used by the thread that reads objects.
template <typename Out>
struct SecondHalf {
    std::unique_ptr<Out[]> numbers;
    size_t capacity = 0;
};

template <typename Out>
SecondHalf<Out>& secondHalf() {
    static SecondHalf<Out> half;
    return half;
}

LineRun joined(const LineRun& first, const LineRun& second) {
    return {first.lines + second.lines, second.lines ? second.next : first.next};
}

// Reads a long run as two: this thread from `p` up to a line start near the middle, a helper
// thread from there on into a buffer of its own. Where this thread's half reaches that line,
// the helper's lines follow on; otherwise the run ended before it, the helper is told to stop
// and its lines are dropped.
template <unsigned count, typename Out>
LineRun readHalves(const char* p, const char* end, LineHead head, size_t maxLines, Out* out) {
    // The run holds at most maxLines lines. Their length is taken from a few lines about
    // halfway: index lines grow longer as the indices grow, so the first lines would put the
    // middle too early.
    const size_t bytes = static_cast<size_t>(end - p);
    auto spanOf = [&](size_t lineLength) {
        return maxLines < bytes / lineLength ? maxLines * lineLength : bytes;
    };
    auto meanLength = [&](const char* at) {
        constexpr size_t kSample = 16;
        const char* q = at;
        for (size_t i = 0; i < kSample && q < end; ++i) q = lineStartFrom(q, end);
        return std::max<size_t>(1, static_cast<size_t>(q - at) / kSample);
    };
    const size_t firstGuess = spanOf(meanLength(p));
    const size_t span = spanOf(meanLength(lineStartFrom(p + firstGuess / 2, end)));
    const char* middle = lineStartFrom(p + span / 2, end);
    // A line of the taken shape has the keyword, a space and a digit a number, and a line end.
    const size_t tailLines =
        std::min(maxLines, static_cast<size_t>(end - middle) / (head.length + 2 * count + 1) + 1);
    SecondHalf<Out>& half = secondHalf<Out>();
    if (half.capacity < tailLines * count) {
        half.numbers.reset(new (std::nothrow) Out[tailLines * count]);
        half.capacity = half.numbers ? tailLines * count : 0;
        if (!half.numbers) return readRun<count>(p, end, end, head, maxLines, out);
        adviseLargePages(half.numbers.get(), half.capacity * sizeof(Out));
    }
    // Kept up to a size no real object reaches, like the file buffer.
    struct Release {
        SecondHalf<Out>& half;
        ~Release() {
            if (half.capacity * sizeof(Out) > (size_t{128} << 20)) half = SecondHalf<Out>{};
        }
    } release{half};

    // Once both halves are read, this thread copies the first half of the helper's numbers
    // behind its own and the helper the rest, side by side: one copy alone costs a tenth of
    // the reading.
    struct Handover {
        std::mutex mutex;
        std::condition_variable changed;
        bool helperDone = false;     // `tail` is final
        bool decided = false;        // the fields below are set
        Out* destination = nullptr;  // null: the helper's numbers are dropped
        size_t from = 0, to = 0;     // the helper's share of them
    } handover;
    LineRun tail;
    std::atomic<bool> cancel{false};
    std::thread helper;
    try {
        helper = std::thread([&] {
            tail = readRun<count>(middle, end, end, head, tailLines, half.numbers.get(), &cancel);
            std::unique_lock<std::mutex> lock(handover.mutex);
            handover.helperDone = true;
            handover.changed.notify_all();
            handover.changed.wait(lock, [&] { return handover.decided; });
            if (!handover.destination) return;
            std::memcpy(handover.destination + handover.from, half.numbers.get() + handover.from,
                        (handover.to - handover.from) * sizeof(Out));
        });
    } catch (const std::system_error&) {
        return readRun<count>(p, end, end, head, maxLines, out);  // no thread to be had
    }
    const LineRun run = readRun<count>(p, end, middle, head, maxLines, out);
    const bool reached = run.next == middle && run.lines < maxLines;
    if (!reached) cancel.store(true, std::memory_order_relaxed);
    size_t mine = 0;  // numbers this thread copies
    {
        std::unique_lock<std::mutex> lock(handover.mutex);
        handover.changed.wait(lock, [&] { return handover.helperDone; });
        if (reached && tail.lines <= maxLines - run.lines) {
            handover.destination = out + run.lines * count;
            handover.to = tail.lines * count;
            mine = handover.to / 2;
            handover.from = mine;
        }
        handover.decided = true;
    }
    handover.changed.notify_all();
    if (mine) std::memcpy(out + run.lines * count, half.numbers.get(), mine * sizeof(Out));
    helper.join();
    if (!reached) return run;
    if (tail.lines > maxLines - run.lines) {
        // The table fills inside the second half: read on from its start instead.
        return joined(run, readRun<count>(middle, end, end, head, maxLines - run.lines,
                                          out + run.lines * count));
    }
    return joined(run, tail);
}

template <unsigned count, typename Out>
LineRun readLongRun(const char* p, const char* end, LineHead head, size_t maxLines, Out* out) {
    const LineRun first = readRun<count>(p, end, end, head, std::min(maxLines, kFirstLines), out);
    if (first.lines < kFirstLines || first.lines == maxLines) return first;
    const size_t more = maxLines - first.lines;
    Out* rest = out + first.lines * count;
    if (end - first.next <= kSplitBytes) {
        return joined(first, readRun<count>(first.next, end, end, head, more, rest));
    }
    return joined(first, readHalves<count>(first.next, end, head, more, rest));
}

template <typename Out>
LineRun readLines(const char* p, const char* end, std::string_view keyword, unsigned count,
                  size_t maxLines, Out* out) {
    // The keyword and its space must fit the first word, which must lie in the buffer.
    if (keyword.size() > 7) return {};
    const LineHead head = makeHead(keyword);
    const bool split = end - p > kSplitBytes;
    switch (count) {
        case 6:
            return split ? readLongRun<6>(p, end, head, maxLines, out)
                         : readRun<6>(p, end, end, head, maxLines, out);
        case 8:
            return split ? readLongRun<8>(p, end, head, maxLines, out)
                         : readRun<8>(p, end, end, head, maxLines, out);
        case 10:
            return split ? readLongRun<10>(p, end, head, maxLines, out)
                         : readRun<10>(p, end, end, head, maxLines, out);
        default:
            return {};
    }
}

bool detectWide() {
    __builtin_cpu_init();
    return __builtin_cpu_supports("avx512f") && __builtin_cpu_supports("avx512bw") &&
           __builtin_cpu_supports("avx512vl") && __builtin_cpu_supports("avx512vbmi") &&
           __builtin_cpu_supports("avx512vbmi2") && __builtin_cpu_supports("bmi") &&
           __builtin_cpu_supports("bmi2");
}

const bool kWide = detectWide();

}  // namespace

const char* readLineNumbers(const char* p, const char* end, unsigned count, float* out) {
    if (!kWide || count == 0 || count > kMaxLineNumbers) return nullptr;
    return kWideReaders[count - 1](p, end, out);
}

LineRun readFloatLines(const char* p, const char* end, std::string_view keyword, unsigned count,
                       size_t maxLines, float* out) {
    if (!kWide) return {};
    return readLines(p, end, keyword, count, maxLines, out);
}

LineRun readIndexLines(const char* p, const char* end, std::string_view keyword, unsigned count,
                       size_t maxLines, int32_t* out) {
    if (!kWide) return {};
    return readLines(p, end, keyword, count, maxLines, out);
}

bool lineNumbersAccelerated() {
    return kWide;
}

#else

const char* readLineNumbers(const char*, const char*, unsigned, float*) {
    return nullptr;
}

LineRun readFloatLines(const char*, const char*, std::string_view, unsigned, size_t, float*) {
    return {};
}

LineRun readIndexLines(const char*, const char*, std::string_view, unsigned, size_t, int32_t*) {
    return {};
}

bool lineNumbersAccelerated() {
    return false;
}

#endif

}  // namespace tarvosk::scan
