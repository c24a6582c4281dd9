// The decoder of the whole frame kept beside the record (the picture's
// "Glyphoria.frame" label), over any bytes. Input: the label's text.
//
// Checked: a copy that is accepted keeps the rules a restore relies on (text
// in every run, the end marker last, a box of positive size, angles within
// their limits, no label of a try) and is a fixed point: written again, it
// reads back to the same copy, and writing that gives the same text. A
// refused one always says why. The decoder never reads past its input.
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "sampling/frame_copy.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string text(reinterpret_cast<const char*>(data), size);
    glyphoria::FrameCopy copy;
    std::string why;
    if (!glyphoria::DecodeFrameCopy(text, &copy, &why)) {
        if (why.empty()) std::abort();
        return 0;
    }
    if (copy.runs.empty() || copy.runs.back().text.back() != '\r') std::abort();
    for (const glyphoria::TextRun& run : copy.runs)
        if (run.text.empty() || !(run.point_size > 0) || !std::isfinite(run.point_size))
            std::abort();
    if (!(copy.right > copy.left) || !(copy.bottom > copy.top)) std::abort();
    if (!(std::fabs(copy.rotation) <= glyphoria::kMaxRotation) ||
        !(std::fabs(copy.shear) < glyphoria::kMaxShear))
        std::abort();
    for (const auto& label : copy.labels)
        if (label.first.empty() || glyphoria::IsTryLabelKey(label.first)) std::abort();

    const std::string written = glyphoria::EncodeFrameCopy(copy);
    // Numbers are written with their fraction ("1" becomes "1.0"), so a copy
    // at the limit may come out past it; the try never writes one again.
    if (written.size() > glyphoria::kFrameCopyMaxBytes) return 0;
    glyphoria::FrameCopy again;
    if (!glyphoria::DecodeFrameCopy(written, &again, &why) || !(again == copy)) std::abort();
    if (glyphoria::EncodeFrameCopy(again) != written) std::abort();
    return 0;
}
