// The one-field dialog as a window.
#pragma once

#include "calc/window/FieldDialog.h"

namespace arv {

class TQtFieldDialog : public IFieldDialog {
public:
    int ShowModal(TFDialog1& dialog) override;
};

} // namespace arv
