// Symbol text (".uo" files and the drawing's symbol block) on any bytes:
// every symbol read can be found and turned at any size.
#include "document/SymbolLibrary.h"
#include "platform/testing/FuzzSupport.h"

using namespace arv;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    TGCollUO lib;
    std::vector<std::string> log;
    ParseSymbolText(lib, fuzz::AsText(data, size), &log);
    for (int32_t i = 0; i < lib.Count(); ++i) {
        TSymbolRecord out;
        for (int32_t symbolSize : {1, 40, 80, 1000})
            for (int32_t angle : {0, 45, 90, 270}) TransformSymbol(lib, i, symbolSize, out, angle);
    }
    return 0;
}

std::vector<std::string> ArvFuzzSeeds() {
    return {"B;Вентилятор;\r\nL;-20;0;20;0;\r\nC;0;0;15;\r\nA;-20;20;20;-20;-20;-20;20;20;\r\nT;-5;"
            "-5;F;\r\nE\r\n",
            "B;Дверь\r\nR;-10;-10;10;10;\r\nE\r\nB;2;\r\nP;0;0;10;0;10;10;\r\n"};
}
