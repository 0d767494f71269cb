// The repair's scan of a broken file's movie data and the plan made from it,
// fed in two pieces split where the input's first byte says, as the copy's
// buffers feed it.

#include "recordings/RecorderLayout.h"
#include "recordings/RepairPlan.h"

#include <cstdlib>
#include <span>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const std::span<const uint8_t> bytes(data, size);
    const size_t split = size > 0 ? std::min<size_t>(size, data[0] * 61u) : 0;
    MoviScanner scanner(size, 100000);
    scanner.Feed(0, bytes.first(split));
    scanner.Feed(split, bytes.subspan(split));
    if (scanner.StopPosition() > size + 8 + 0xFFFFFFFFull)
        std::abort();
    RecorderLayout::HasRecorderLayout(bytes);
    const std::optional<RepairPlan> plan = MakeRepairPlan(scanner.Entries(), size);
    if (plan && size >= RecorderLayout::kHeaderBytes) {
        const std::vector<uint8_t> header = plan->PatchedHeader(bytes.first(RecorderLayout::kHeaderBytes));
        if (header.size() != RecorderLayout::kHeaderBytes || plan->newLength < plan->oldLength)
            std::abort();
    }
    return 0;
}
