// The test desk of a program with windows: no printer either, unless a
// test gives its own list.
#pragma once

#include "platform/qt/QtServices.h"
#include "platform/testing/TestDesk.h"

namespace arv::test {

struct TQtTestDesk : TTestDesk {
    TQtTestDesk() : TTestDesk([] { InstallPrinterList([] { return QStringList(); }); }) {}
};

} // namespace arv::test
