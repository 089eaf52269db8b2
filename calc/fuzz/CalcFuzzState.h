// What the readers of the network data need for one fuzz input: fresh tables
// over a fresh calculation context (nothing carried over from the previous
// input), quiet message boxes, and a scratch file to read from.
#pragma once

#include "calc/model/CalcModel.h"
#include "calc/model/NetworkTables.h"
#include "platform/testing/FuzzSupport.h"

#include <memory>
#include <string>

namespace arv::fuzz {

struct TCalcState {
    TCalcState()
        : Context(std::make_unique<TCalcContext>()),
          Tables(std::make_unique<TNetworkTables>(*Context)) {
        InstallQuietServices();
        Tables->InitTables();
    }
    std::unique_ptr<TCalcContext> Context;
    std::unique_ptr<TNetworkTables> Tables;
};

// A file of this process under the temporary folder, with the given
// extension, holding the bytes; removed by the destructor.
class TScratchFile {
public:
    TScratchFile(const uint8_t* data, size_t size, const std::string& extension);
    ~TScratchFile();
    const std::string& Name() const { return name_; }
    std::string Read() const;

private:
    std::string name_;
};

// The sample mine's tables as a user typed them.
void FillSampleMine(TCalcState& state);

} // namespace arv::fuzz
