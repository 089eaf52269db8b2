// Any bytes as a report file: the reader never fails, and what it read
// writes and reads back to the same document.
#include "platform/testing/FuzzSupport.h"
#include "reports/RtfDocument.h"

#include <cstdlib>

using namespace arv;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    TRtfDocument d = ReadRtf(std::string_view(reinterpret_cast<const char*>(data), size));
    if (!(ReadRtf(WriteRtf(d)) == d)) std::abort();
    return 0;
}

std::vector<std::string> ArvFuzzSeeds() {
    TRtfDocument d;
    TRtfParagraph p;
    TRtfCharFormat f;
    f.Bold = true;
    f.Color = 0x00FF00;
    p.Runs.push_back({f, u"\u0410\t\u03a9\u2028\f"});
    p.Bullet = true;
    d.Paragraphs.push_back(p);
    return {WriteRtf(d),
            "{\\rtf1{\\fonttbl{\\f0 Arial;}}{\\colortbl;\\red1\\green2\\blue3;}\\f0\\cf1 a\\par}",
            "{\\rtf1\\uc2\\u1040\\'3f\\'3fb{\\*\\x y}\\par"};
}
