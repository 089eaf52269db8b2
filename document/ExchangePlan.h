// What the exchange text exports take of the plan: the node positions, the
// PLA marks of the branch figures and the bends of polyline branches.
#pragma once

#include "calc/files/ExchangeExport.h"
#include "document/Document.h"

namespace arv {

TExchangePlan BuildExchangePlan(const TGCollFigure& doc);

} // namespace arv
