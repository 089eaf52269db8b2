// The number parsers and formatters on any text: a parse either fails with a
// conversion error or gives a value that formats and reads back.
#include "platform/Errors.h"
#include "platform/NumberFormat.h"
#include "platform/NumberParse.h"
#include "platform/testing/FuzzSupport.h"

#include <cmath>
#include <cstdlib>

using namespace arv;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    std::string_view text = fuzz::AsText(data, size);
    int i = 0;
    (void)TryStrToInt(text, i);
    int64_t i64 = 0;
    (void)TryStrToInt64(text, i64);
    (void)StrToIntDef(text, -1);
    for (char sep : {',', '.'}) {
        double v = 0;
        if (!TryStrToFloat(text, v, sep)) continue;
        try {
            (void)Round(v);
            (void)Trunc(v);
        } catch (const EConvertError&) {
        }
        if (std::isfinite(v)) {
            // The shortest form reads back as the same number.
            double back = 0;
            if (!TryStrToFloat(FloatToStr(v, sep), back, sep)) std::abort();
            (void)FormatFloat("##0.00", v);
            (void)Format("%8.2f", {v});
        }
    }
    double real = 0;
    int code = 0;
    Val(text, real, code);
    Val(text, i, code);
    Val(text, i64, code);
    try {
        (void)FormatFloat(text, 1234.5678);
    } catch (const EConvertError&) {
    }
    return 0;
}

std::vector<std::string> ArvFuzzSeeds() {
    return {"12", " -7", "$FF", "0x1f", "2,5", "1.25E+003", "-0,001", "1e30", "##0.00;(#);zero"};
}
