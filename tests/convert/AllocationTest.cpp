// The program list converts every program of the library to show its verdict; a conversion
// that finds nothing approximate must not touch the heap.

#include <gtest/gtest.h>

#include <atomic>
#include <cstdlib>
#include <new>

#include "convert/ProgramConverter.h"
#include "support/SyxBuilder.h"

namespace {
std::atomic<long> allocations{0};
}  // namespace

void* operator new(std::size_t size) {
    allocations.fetch_add(1, std::memory_order_relaxed);
    // The replacement of the global allocator has to deal in plain malloc and free.
    // NOLINTNEXTLINE(cppcoreguidelines-owning-memory)
    if (void* block = std::malloc(size == 0 ? 1 : size)) {
        return block;
    }
    throw std::bad_alloc();
}
void operator delete(void* block) noexcept {
    std::free(block);  // NOLINT(cppcoreguidelines-owning-memory)
}
void operator delete(void* block, std::size_t /*size*/) noexcept {
    std::free(block);  // NOLINT(cppcoreguidelines-owning-memory)
}

namespace patchferry {
namespace {

TEST(ConversionAllocation, ExactProgramsConvertWithoutAllocating) {
    for (const VoiceMode mode : {VoiceMode::Single, VoiceMode::Dual}) {
        Ms2kProgramImage source = testing::MakeImage("Quiet", mode);
        source[38 + 14] = 64;
        source[146 + 14] = 64;
        const long before = allocations.load();
        ProgramConverter converter(source);
        converter.Convert();
        converter.Convert();
        EXPECT_EQ(allocations.load() - before, 0) << static_cast<int>(mode);
        EXPECT_EQ(converter.Quality(), ConversionQuality::Good);
    }
}

}  // namespace
}  // namespace patchferry
